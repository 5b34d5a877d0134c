#include "core/shared/FieldText.h"

#include <sql.h>
#include <sqlext.h>

#include <QDate>

namespace kestrel {

namespace {

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

bool digitsAt(const QString &text, int from, int count)
{
    for (int i = from; i < from + count; ++i) {
        if (!text.at(i).isDigit())
            return false;
    }
    return true;
}

// The server's "yyyy-mm-dd" as a grid shows it. Long lists carry a date on
// every row, so this rearranges the text rather than going through QDate's
// formatter; the result is the same as fmt::gridDate.
QString gridDateFromIso(const QString &iso)
{
    if (iso.size() != 10 || iso.at(4) != QLatin1Char('-') || iso.at(7) != QLatin1Char('-')
        || !digitsAt(iso, 0, 4) || !digitsAt(iso, 5, 2) || !digitsAt(iso, 8, 2))
        return iso;
    if (!QDate::isValid(QStringView(iso).mid(0, 4).toInt(), QStringView(iso).mid(5, 2).toInt(),
                        QStringView(iso).mid(8, 2).toInt()))
        return iso; // a zero date is no calendar day: show it as stored
    QString text;
    text.reserve(13);
    text.append(QStringView(iso).mid(0, 4)).append(QLatin1String(". "));
    text.append(QStringView(iso).mid(5, 2)).append(QLatin1String(". "));
    text.append(QStringView(iso).mid(8, 2)).append(QLatin1Char('.'));
    return text;
}

} // namespace

QString fieldText(const db::Value &value, int sqlType)
{
    if (!value)
        return {};
    if (isDecimal(sqlType)) {
        QString text = *value;
        text.replace(QLatin1Char('.'), QLatin1Char(','));
        return text;
    }
    if (isDate(sqlType))
        return gridDateFromIso(*value);
    return *value;
}

} // namespace kestrel
