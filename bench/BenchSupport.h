#pragma once
// What Kestrel's benchmark executables share: the benchmark database that
// bench/run starts (from the KESTREL_BENCH_* variables), the number of runs
// asked for, the mariadb command-line client timed on the same work, and the
// process's peak memory.

#include <QString>
#include <QStringList>

namespace kestrel::bench {

// An environment variable bench/run sets; exits when it is missing.
QString env(const char *name);

// The connection string of the benchmark database.
QString connectionString();
// Points Kestrel at the benchmark database.
void useBenchDatabase();

// "--runs N" among arguments, or fallback.
int runs(const QStringList &arguments, int fallback = 3);

// Seconds the mariadb client takes to run sql on the benchmark database,
// its output thrown away; -1 when it fails.
double timeClient(const QString &sql);

// The process's peak resident memory so far.
double peakMegabytes();

} // namespace kestrel::bench
