#pragma once
// What every benchmark shares: the database bench/run started (from the
// KESTREL_BENCH_* variables), the number of runs asked for, and the mariadb
// command-line client timed on the same work.

#include <QString>
#include <QStringList>

namespace kestrel::bench {

// A variable bench/run sets; ends the benchmark when it is missing.
QString env(const char *name);

// Points Kestrel at the benchmark database.
void useBenchDatabase();

// "--runs N" among arguments, or fallback.
int runs(const QStringList &arguments, int fallback);

// Seconds the mariadb client takes to run sql on the benchmark database,
// its output thrown away; -1 when it fails.
double timeClient(const QString &sql);

} // namespace kestrel::bench
