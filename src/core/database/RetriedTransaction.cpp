#include "core/database/RetriedTransaction.h"

#include "core/app/Log.h"
#include "core/database/ConnectionCycle.h"
#include "core/shared/mdl_Variables_Functions.h"

#include <QRandomGenerator>
#include <algorithm>
#include <chrono>
#include <thread>

namespace kestrel::db {

namespace {

// MariaDB's (and MySQL's) numbers: the deadlock's victim, which is also what
// Galera answers a transaction that failed certification or was aborted for
// one replicated from another node; and a lock waited for too long.
constexpr int DeadlockFound = 1213;
constexpr int LockWaitTimeout = 1205;

RetryLimits currentLimits;

void pauseBeforeTry(int nextTry)
{
    const RetryLimits limits = currentLimits;
    const int shortest = std::max(0, limits.shortestPauseMs);
    const int longest = std::max(shortest, limits.longestPauseMs);
    const int ms = int(QRandomGenerator::global()->bounded(shortest, longest + 1)) * (nextTry - 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace

bool lostToAnotherTransaction(const OdbcError &error)
{
    return error.nativeError() == DeadlockFound || error.nativeError() == LockWaitTimeout
           || error.sqlState() == QLatin1String("40001");
}

RetryLimits retryLimits()
{
    return currentLimits;
}

void setRetryLimits(const RetryLimits &limits)
{
    currentLimits = limits;
}

bool runTransaction(OdbcConnection &connection, const std::function<void(Transaction &)> &attempt)
{
    const int tries = std::max(1, currentLimits.tries);
    for (int t = 1; t <= tries; ++t) {
        if (t > 1)
            pauseBeforeTry(t);
        Transaction transaction(connection);
        try {
            attempt(transaction);
            return true;
        } catch (const OdbcError &e) {
            // What went through its commit is stored and never run again.
            if (transaction.committed() || !lostToAnotherTransaction(e))
                throw;
            log::append(QStringLiteral("try %1 of %2 lost to another transaction: %3")
                            .arg(t)
                            .arg(tries)
                            .arg(e.message()));
        } // rolled back here, before the pause
    }
    return false;
}

TransactionEnd runTransactionCycle(const std::function<void(Transaction &)> &attempt)
{
    bool done = false;
    const bool ran = runConnectionCycle(
        [&](OdbcConnection &connection) { done = runTransaction(connection, attempt); });
    if (!ran)
        return TransactionEnd::Failed;
    if (done)
        return TransactionEnd::Done;
    mdl_Variables_Functions::MsgBox(OtherTillsText);
    return TransactionEnd::Busy;
}

} // namespace kestrel::db
