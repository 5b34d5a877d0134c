#include "core/shared/FieldText.h"

#include <sql.h>
#include <sqlext.h>

#include <QDate>

namespace kestrel {

bool isDecimal(int sqlType)
{
    switch (sqlType) {
    case SQL_DECIMAL:
    case SQL_NUMERIC:
    case SQL_FLOAT:
    case SQL_REAL:
    case SQL_DOUBLE:
        return true;
    default:
        return false;
    }
}

bool isDate(int sqlType)
{
    return sqlType == SQL_TYPE_DATE || sqlType == SQL_DATE;
}

namespace {

bool digitsAt(QByteArrayView text, int from, int count)
{
    for (int i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    return true;
}

int number(QByteArrayView digits)
{
    int value = 0;
    for (const char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

// The server's "yyyy-mm-dd" as a grid shows it. Long lists carry a date on
// every row, so this rearranges the text rather than going through QDate's
// formatter; the result is the same as fmt::gridDate.
QByteArrayView gridDateFromIso(QByteArrayView iso, QByteArray &scratch)
{
    if (iso.size() != 10 || iso[4] != '-' || iso[7] != '-' || !digitsAt(iso, 0, 4)
        || !digitsAt(iso, 5, 2) || !digitsAt(iso, 8, 2))
        return iso;
    if (!QDate::isValid(number(iso.sliced(0, 4)), number(iso.sliced(5, 2)),
                        number(iso.sliced(8, 2))))
        return iso; // a zero date is no calendar day: show it as stored
    scratch.resize(13);
    char *out = scratch.data();
    std::copy_n(iso.data(), 4, out);
    std::copy_n(". ", 2, out + 4);
    std::copy_n(iso.data() + 5, 2, out + 6);
    std::copy_n(". ", 2, out + 8);
    std::copy_n(iso.data() + 8, 2, out + 10);
    out[12] = '.';
    return scratch;
}

QByteArrayView decimalWithComma(QByteArrayView text, QByteArray &scratch)
{
    const qsizetype point = text.indexOf('.');
    if (point < 0)
        return text;
    scratch = text.toByteArray();
    scratch[point] = ',';
    return scratch;
}

} // namespace

QByteArrayView fieldText(QByteArrayView utf8, bool null, int sqlType, QByteArray &scratch)
{
    if (null)
        return {};
    if (isDecimal(sqlType))
        return decimalWithComma(utf8, scratch);
    if (isDate(sqlType))
        return gridDateFromIso(utf8, scratch);
    return utf8;
}

QString fieldText(const db::Value &value, int sqlType)
{
    if (!value)
        return {};
    if (!isDecimal(sqlType) && !isDate(sqlType))
        return *value;
    const QByteArray utf8 = value->toUtf8();
    QByteArray scratch;
    return QString::fromUtf8(fieldText(utf8, false, sqlType, scratch));
}

} // namespace kestrel
