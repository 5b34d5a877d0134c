#include "core/database/ConnectionCycle.h"

#include "core/shared/mdl_Variables_Functions.h"

#include <cstdio>
#include <memory>

namespace kestrel::db {

namespace M = mdl_Variables_Functions;

void reportConnectionFailure(const std::exception *cause)
{
    if (cause)
        std::fprintf(stderr, "kestrel: database operation failed: %s\n", cause->what());
    else
        std::fprintf(stderr, "kestrel: database operation failed\n");
    M::MsgBox(ConnectionErrorText, M::MsgButtons::OK, M::MsgIcon::Critical, ConnectionErrorTitle);
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
