#include "core/database/RefusedValue.h"

#include "core/app/Log.h"
#include "core/database/ConnectionString.h"

#include <QRegularExpression>

namespace kestrel::db {

namespace {

bool isRefusal(const OdbcError &error)
{
    return error.sqlState().startsWith(QLatin1String("22"))
           || error.sqlState().startsWith(QLatin1String("23"));
}

// The server names the column as 'Price' or as `db`.`table`.`Price`; a
// broken CHECK by the constraint's name, which is the column's own where
// the check was declared with the column.
QString columnNamed(const QString &message)
{
    static const QRegularExpression named(
        QStringLiteral("(?:[Cc]olumn|CONSTRAINT) (?:[`'][^`']*[`']\\.)*[`']([^`']+)[`']"));
    return named.match(message).captured(1);
}

} // namespace

std::optional<Refusal> refusalOf(const std::function<void()> &work)
{
    try {
        work();
    } catch (const OdbcError &error) {
        if (!isRefusal(error))
            throw;
        log::append(
            withoutPasswords(QStringLiteral("value refused: SQLSTATE %1: %2; statement: %3")
                                 .arg(error.sqlState(), error.message(), error.statement())));
        return Refusal{error.sqlState(), columnNamed(error.message())};
    }
    return std::nullopt;
}

QString refusedValueMessage(const QString &where, const QString &value)
{
    return QStringLiteral("%1: the database refused \"%2\"! Nothing was saved!!!")
        .arg(where, value);
}

QString refusedRecordMessage(const QString &what)
{
    return QStringLiteral("The database refused %1! Nothing was saved!!!").arg(what);
}

} // namespace kestrel::db
