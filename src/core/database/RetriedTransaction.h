#pragma once
// A transaction that another one beat is run again. On a Galera cluster every
// node takes writes and a commit that collides with one certified on another
// node is refused with a deadlock (MariaDB error 1213, SQLSTATE 40001); a
// single server refuses a deadlock's victim the same way, and a lock waited
// for too long with error 1205. In each case nothing of the transaction is
// stored and the server expects the client to run it again, re-reading what
// it checked. Every save Kestrel makes goes through runTransaction, so an
// operator sees a message only when the records stayed busy try after try.

#include "core/database/Odbc.h"

#include <functional>

namespace kestrel::db {

// Told when every try lost: the save was not made, the form keeps the work.
inline const QString OtherTillsText =
    QStringLiteral("Other tills were changing the same records at the same time, so nothing "
                   "was saved! Please try again!!!");

// Whether the server undid the transaction (or, for a lock wait timeout, the
// statement, which the rollback completes) because another transaction held
// or changed the same records: running it again from the start is safe.
bool lostToAnotherTransaction(const OdbcError &error);

// How often a transaction is tried in all, and the range of the random pause
// before each new try, which grows with every try so that two tills that
// collided do not collide again at once.
struct RetryLimits {
    int tries = 5;
    int shortestPauseMs = 10;
    int longestPauseMs = 60;
};
RetryLimits retryLimits();
void setRetryLimits(const RetryLimits &limits);

// Runs attempt in a transaction of its own on connection. attempt does the
// whole save: it reads what it checks, writes, and either commits or leaves
// without commit() (a refusal), which rolls back. Every statement of it reads
// or writes a table: a Galera node reports an abort of the transaction to
// such statements, while one that touches no table may pass as if nothing
// happened (see sql::insertedId). When the server undoes it
// for another transaction, it is rolled back and run again from the start,
// up to the retry limits. Returns false when every try lost; nothing is
// stored then. Any other failure comes out as thrown, at once; so does one
// that comes after the commit was sent and lost, such as a connection broken
// during COMMIT: that transaction may have been stored, and running it again
// could store it twice.
[[nodiscard]] bool runTransaction(OdbcConnection &connection,
                                  const std::function<void(Transaction &)> &attempt);

// A window's save: a connection cycle (core/database/ConnectionCycle.h)
// whose work is one runTransaction on the cycle's connection, which attempt
// finds as its transaction's. Done when an attempt ran to its end
// (committed, or refused and rolled back); Busy when every try lost, after
// OtherTillsText was shown and with the cycle ended Idle, as for any
// refusal; Failed after the cycle's failure path.
enum class TransactionEnd { Done, Busy, Failed };
TransactionEnd runTransactionCycle(const std::function<void(Transaction &)> &attempt);

} // namespace kestrel::db
