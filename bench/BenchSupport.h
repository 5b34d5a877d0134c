#pragma once
// What Kestrel's benchmark executables share: the benchmark database that
// bench/run starts, the mariadb command-line client timed on the same
// statement, and the process's peak memory.

#include <QString>
#include <QStringList>

namespace kestrel::bench {

// An environment variable bench/run sets; exits when it is missing.
QString env(const char *name);

// The connection string of the benchmark database.
QString connectionString();

// --runs N from the command line, or fallback.
int runs(const QStringList &arguments, int fallback = 3);

// Seconds the mariadb client takes to print the statement's rows to
// /dev/null; -1 when it fails.
double timeClient(const QString &statement);

// The process's peak resident memory so far.
double peakMegabytes();

} // namespace kestrel::bench
