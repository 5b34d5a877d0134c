#include "core/statements/Claims.h"

namespace kestrel::sql {

namespace {

// The row moves to the negative of its ID and back: the only change that
// needs no value read beforehand and can always be undone exactly. A write
// that leaves a row as it was is dropped by the server and never reaches the
// cluster.
db::Statement moveAside(const db::SqlValue &id)
{
    return db::Statement(QStringLiteral("UPDATE customers SET ID = -ID WHERE ID = ? AND ID > 0"),
                         {id});
}

db::Statement moveBack(const db::SqlValue &id)
{
    return db::Statement(QStringLiteral("UPDATE customers SET ID = -ID WHERE ID = -(?)"), {id});
}

// A customer whose ID cannot move aside (0 or below, from an old database)
// is only locked, as on one server.
db::Statement lockInPlace(const db::SqlValue &id)
{
    return db::Statement(QStringLiteral("SELECT ID FROM customers WHERE ID = ? LOCK IN SHARE MODE"),
                         {id});
}

} // namespace

bool claimCustomer(db::OdbcConnection &connection, const db::SqlValue &id)
{
    if (connection.execute(moveAside(id)) < 1)
        return !connection.query(lockInPlace(id)).isEmpty();
    connection.execute(moveBack(id));
    return true;
}

} // namespace kestrel::sql
