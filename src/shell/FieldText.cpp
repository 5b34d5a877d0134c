#include "FieldText.h"

#include "Formats.h"

#include <sql.h>
#include <sqlext.h>

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
    if (isDate(sqlType)) {
        // A zero date ("0000-00-00") is no calendar day: show it as stored.
        const QDate date = QDate::fromString(*value, Qt::ISODate);
        return date.isValid() ? fmt::gridDate(date) : *value;
    }
    return *value;
}

} // namespace kestrel
