#include "core/database/ConnectionCycle.h"

#include "core/app/Log.h"
#include "core/database/ConnectionFailure.h"
#include "core/database/ConnectionString.h"
#include "core/shared/mdl_Variables_Functions.h"

namespace kestrel::db {

namespace M = mdl_Variables_Functions;

namespace {

// What the log keeps of a failure: the SQLSTATE, the driver's text and the
// statement's text, never its values; nor anything that reads like a
// password, should a driver ever quote the connection string.
QString failureLogLine(const std::exception *cause)
{
    QString line = QStringLiteral("connection failure: ");
    if (const auto *odbc = dynamic_cast<const OdbcError *>(cause)) {
        line += QStringLiteral("SQLSTATE %1: %2").arg(odbc->sqlState(), odbc->message());
        if (!odbc->statement().isEmpty())
            line += QStringLiteral("; statement: ") + odbc->statement();
    } else if (cause) {
        line += QString::fromLocal8Bit(cause->what());
    } else {
        line += QStringLiteral("no description");
    }
    return withoutPasswords(line);
}

} // namespace

void reportConnectionFailure(const std::exception *cause)
{
    log::append(failureLogLine(cause));
    const FailureExplanation why =
        explainFailure(cause, connectionTarget(M::ConnString), log::file());
    M::MsgBox({ConnectionErrorText, M::MsgButtons::OK, M::MsgIcon::Critical, ConnectionErrorTitle,
               why.hint, why.details});
    M::SetConnStat(M::StatError);
}

bool runConnectionCycle(const std::function<void(OdbcConnection &)> &work)
{
    M::SetConnStat(M::StatConnecting);
    try {
        OdbcConnection connection(M::ConnString);
        M::SetConnStat(M::StatConnected);
        if (work)
            work(connection);
        connection.close();
    } catch (const std::exception &e) {
        reportConnectionFailure(&e);
        return false;
    } catch (...) {
        reportConnectionFailure(nullptr);
        return false;
    }
    M::SetConnStat(M::StatIdle);
    return true;
}

} // namespace kestrel::db
