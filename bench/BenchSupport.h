#pragma once
// What every benchmark executable shares: the benchmark database bench/run
// starts (through the KESTREL_BENCH_* variables), the mariadb command-line
// client that each measurement is held against, and the peak memory.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kestrel::bench {

// The variable's value; ends the program when bench/run did not set it.
QString env(const char *name);

// Points Kestrel at the benchmark database.
void useBenchDatabase();

// "--runs N" among the arguments, at least 1; fallback when absent.
int runsArgument(const QStringList &arguments, int fallback);

// Seconds the mariadb client takes to run sql on the benchmark database,
// its rows going to output when given and to /dev/null otherwise; -1 when
// the client failed.
double timeClient(const QString &sql, QByteArray *output = nullptr);

// The process's peak resident memory so far.
double peakMegabytes();

} // namespace kestrel::bench
