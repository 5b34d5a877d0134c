#pragma once
// What a failed database operation tells the operator beyond the one fixed
// message: which kind of failure it was, a one-line hint at what to do about
// it, and the details (the SQLSTATE, the driver's own words, the statement's
// text without its values, and where the log is).

#include "core/database/ConnectionTarget.h"

#include <QString>
#include <exception>

namespace kestrel::db {

enum class FailureKind {
    Other,
    DriverMissing,     // no data source and no driver to load, or no settings at all
    ServerUnreachable, // nothing answers at the server and port, or it went silent
    AccessDenied,      // the user or the password is refused
    UnknownDatabase,   // no such database, or none the user may use
    TablesMissing,     // the database lacks Kestrel's tables
    ValueRefused,      // the server refused a value (SQLSTATE class 22 or 23)
};

FailureKind failureKind(const std::exception *cause);

// The column a refused value was meant for, as the server names it
// ("Data too long for column 'Acronym' at row 1"); empty when it names none.
QString refusedColumn(const std::exception *cause);

struct FailureExplanation {
    QString hint;    // one line; empty for a failure Kestrel knows no advice for
    QString details; // never a password
};

// target is where the failed connection was to go; logFile may be empty
// (no log file, standard error only).
FailureExplanation explainFailure(const std::exception *cause, const ConnectionTarget &target,
                                  const QString &logFile);

} // namespace kestrel::db
