#include "core/database/ConnectionFailure.h"

#include "core/database/ConnectionString.h"
#include "core/database/Odbc.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <initializer_list>

namespace kestrel::db {

namespace {

// The client library's and the server's error numbers, as MariaDB documents them.
constexpr int CannotConnectLocally = 2002;
constexpr int CannotConnectOverTcp = 2003;
constexpr int UnknownHost = 2005;
constexpr int ServerGone = 2006;
constexpr int LostConnection = 2013;
constexpr int DatabaseAccessDenied = 1044;
constexpr int AccessDeniedError = 1045;
constexpr int UnknownDatabaseError = 1049;
constexpr int NoSuchTable = 1146;
constexpr int SocketAccessDenied = 1698;

const QString SettingsPlace = QStringLiteral("Setup > Connection Settings");

bool oneOf(int value, std::initializer_list<int> values)
{
    return std::find(values.begin(), values.end(), value) != values.end();
}

QString orDefault(const QString &value, const QString &fallback)
{
    return value.isEmpty() ? fallback : value;
}

QString driverHint(const ConnectionTarget &target)
{
    if (target.driverString.isEmpty())
        return QStringLiteral("There are no connection settings: fill them in under %1.")
            .arg(SettingsPlace);
    if (!target.dataSource.isEmpty())
        return QStringLiteral("The ODBC data source \"%1\" names a driver that cannot be loaded: "
                              "mend it, or leave Data Source Name empty under %2.")
            .arg(target.dataSource, SettingsPlace);
    if (target.driver == MariaDbDriver)
        return QStringLiteral("The ODBC driver \"%1\" is not installed: install the package %2.")
            .arg(MariaDbDriver, MariaDbDriverPackage);
    return QStringLiteral("The ODBC driver \"%1\" is not installed.").arg(target.driver);
}

QString hintFor(FailureKind kind, const std::exception *cause, const ConnectionTarget &target)
{
    const QString user = orDefault(target.user, QStringLiteral("(none)"));
    switch (kind) {
    case FailureKind::DriverMissing:
        return driverHint(target);
    case FailureKind::ServerUnreachable:
        return QStringLiteral("No database server answers at %1:%2: start it, or correct the "
                              "server and port under %3.")
            .arg(orDefault(target.host, QStringLiteral("localhost")))
            .arg(target.port ? target.port : 3306)
            .arg(SettingsPlace);
    case FailureKind::AccessDenied:
        return QStringLiteral("The server refused the user \"%1\" with this password: correct "
                              "the user and password under %2.")
            .arg(user, SettingsPlace);
    case FailureKind::UnknownDatabase:
        return QStringLiteral("The server has no database \"%1\" that the user \"%2\" may use: "
                              "create it, or correct the database name under %3.")
            .arg(target.database, user, SettingsPlace);
    case FailureKind::TablesMissing:
        return QStringLiteral("The database \"%1\" lacks Kestrel's tables: File > Format DB "
                              "Structure creates them.")
            .arg(target.database);
    case FailureKind::ValueRefused:
        if (const QString column = refusedColumn(cause); !column.isEmpty())
            return QStringLiteral("The server refused the value for %1.").arg(column);
        return QStringLiteral("The server refused a value; the details say which.");
    case FailureKind::Other:
        break;
    }
    return QString();
}

} // namespace

FailureKind failureKind(const std::exception *cause)
{
    const auto *odbc = dynamic_cast<const OdbcError *>(cause);
    if (!odbc)
        return FailureKind::Other;
    const QString &state = odbc->sqlState();
    const int native = odbc->nativeError();
    if (state == QLatin1String("IM002") || state == QLatin1String("IM003"))
        return FailureKind::DriverMissing;
    if (oneOf(native,
              {CannotConnectLocally, CannotConnectOverTcp, UnknownHost, ServerGone, LostConnection})
        || state == QLatin1String("08001") || state == QLatin1String("08S01")
        || state.startsWith(QLatin1String("HYT")))
        return FailureKind::ServerUnreachable;
    if (oneOf(native, {AccessDeniedError, SocketAccessDenied}) || state == QLatin1String("28000"))
        return FailureKind::AccessDenied;
    if (oneOf(native, {UnknownDatabaseError, DatabaseAccessDenied}))
        return FailureKind::UnknownDatabase;
    if (native == NoSuchTable || state == QLatin1String("42S02"))
        return FailureKind::TablesMissing;
    if (state.startsWith(QLatin1String("22")) || state.startsWith(QLatin1String("23")))
        return FailureKind::ValueRefused;
    return FailureKind::Other;
}

QString refusedColumn(const std::exception *cause)
{
    // "column 'Acronym'", or with its table: "column `shop`.`cities`.`Acronym`".
    static const QRegularExpression named(
        QStringLiteral("column (?:'([^']+)'|(?:`[^`]*`\\.)*`([^`]+)`)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto *odbc = dynamic_cast<const OdbcError *>(cause);
    if (!odbc)
        return QString();
    const QRegularExpressionMatch match = named.match(odbc->message());
    return match.captured(1).isEmpty() ? match.captured(2) : match.captured(1);
}

FailureExplanation explainFailure(const std::exception *cause, const ConnectionTarget &target,
                                  const QString &logFile)
{
    QStringList details;
    if (const auto *odbc = dynamic_cast<const OdbcError *>(cause)) {
        QString line = QStringLiteral("SQLSTATE ") + odbc->sqlState();
        if (odbc->nativeError())
            line += QStringLiteral(", error %1").arg(odbc->nativeError());
        details << line + QStringLiteral(": ") + odbc->message();
        if (!odbc->statement().isEmpty())
            details << QStringLiteral("Statement: ") + odbc->statement();
    } else if (cause) {
        details << QString::fromLocal8Bit(cause->what());
    }
    details << (logFile.isEmpty() ? QStringLiteral("Log: standard error only")
                                  : QStringLiteral("Log: ") + QDir::toNativeSeparators(logFile));
    return {hintFor(failureKind(cause), cause, target), withoutPasswords(details.join('\n'))};
}

} // namespace kestrel::db
