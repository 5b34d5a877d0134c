#include "core/editing/EditCells.h"

#include "core/shared/FieldText.h"
#include "core/shared/Formats.h"

#include <sql.h>
#include <sqlext.h>

#include <QLocale>
#include <QRegularExpression>

namespace kestrel::edit {

FieldKind fieldKind(int sqlType)
{
    switch (sqlType) {
    case SQL_TYPE_DATE:
    case SQL_DATE:
        return FieldKind::Date;
    case SQL_INTEGER:
    case SQL_SMALLINT:
    case SQL_TINYINT:
    case SQL_BIGINT:
        return FieldKind::Integer;
    case SQL_DECIMAL:
    case SQL_NUMERIC:
    case SQL_FLOAT:
    case SQL_REAL:
    case SQL_DOUBLE:
        return FieldKind::Decimal;
    default:
        return FieldKind::Text;
    }
}

QString cellText(const db::Value &value, int sqlType)
{
    return value ? fieldText(value, sqlType) : UnknownText;
}

QByteArrayView cellText(QByteArrayView utf8, bool null, int sqlType, QByteArray &scratch)
{
    static const QByteArray unknown = UnknownText.toUtf8();
    return null ? QByteArrayView(unknown) : fieldText(utf8, false, sqlType, scratch);
}

std::optional<QDate> cellDate(QStringView text)
{
    for (const QString &format : {QStringLiteral("yyyy. MM. dd."), QStringLiteral("yyyy-MM-dd")}) {
        const QDate date = QDate::fromString(text.toString(), format);
        if (date.isValid())
            return date;
    }
    return std::nullopt;
}

namespace {

std::optional<db::SqlValue> integerValue(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^\\s*-?[0-9]+\\s*$"));
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!digits.match(text).hasMatch() || !ok)
        return std::nullopt;
    return db::SqlValue::integer(value);
}

std::optional<db::SqlValue> decimalValue(const QString &text)
{
    if (!fmt::parseAmount(text))
        return std::nullopt;
    // Only plain digits with one separator: "1e5" and "inf" are numbers to
    // the parser but no amount anybody typed.
    const db::SqlValue value = db::SqlValue::decimal(fmt::amountForSql(text));
    if (value.isNull())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<db::SqlValue> cellValue(FieldKind kind, const QString &text)
{
    switch (kind) {
    case FieldKind::Text:
        return db::SqlValue::text(text);
    case FieldKind::Integer:
        return integerValue(text);
    case FieldKind::Decimal:
        return decimalValue(text);
    case FieldKind::Date:
        if (const std::optional<QDate> date = cellDate(text))
            return db::SqlValue::date(*date);
        return std::nullopt;
    }
    return std::nullopt;
}

bool sameValue(const db::Value &stored, int sqlType, QAnyStringView text)
{
    if (!stored)
        return text == UnknownText;
    const FieldKind kind = fieldKind(sqlType);
    if (kind == FieldKind::Text)
        return text == *stored;
    // The usual case: the cell still reads as the grid wrote the value.
    if (text == fieldText(stored, sqlType))
        return true;
    if (kind == FieldKind::Date) {
        const std::optional<QDate> typed = cellDate(text.toString());
        const QDate held = QDate::fromString(*stored, Qt::ISODate);
        return typed && held.isValid() && *typed == held;
    }
    const std::optional<double> typed = fmt::parseAmount(text.toString());
    bool ok = false;
    const double held = QLocale::c().toDouble(*stored, &ok);
    return typed && ok && *typed == held;
}

} // namespace kestrel::edit
