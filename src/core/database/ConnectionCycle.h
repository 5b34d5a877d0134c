#pragma once
// The protocol every database operation follows: status Connecting, open a
// connection of its own, Connected, the caller's work, close, Idle. Any
// failure, the driver's or the caller's own, shows the one fixed critical
// message, leaves the error status and makes the cycle return false. The
// message carries a hint at the cause and the driver's diagnostic in its
// details (ConnectionFailure.h); the log (core/app/Log.h) keeps it too.

#include "core/database/Odbc.h"

#include <functional>

namespace kestrel::db {

inline const QString ConnectionErrorText =
    QStringLiteral("Error occured, connection will be terminated!!!");
inline const QString ConnectionErrorTitle = QStringLiteral("Kestrel: Connection Error");

// Runs work on a fresh connection made from the current connection string.
bool runConnectionCycle(const std::function<void(OdbcConnection &)> &work);

// The failure path alone: message, error status. For operations that fail
// outside a cycle but report the same way, and for callers keeping their own
// connection.
void reportConnectionFailure(const std::exception *cause);

} // namespace kestrel::db
