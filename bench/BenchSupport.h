#pragma once
// What Kestrel's benchmark executables share: the benchmark database that
// bench/run starts (from the KESTREL_BENCH_* variables), the number of runs
// asked for, the mariadb command-line client that each measurement is held
// against, and the process's peak memory.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

namespace kestrel::bench {

// An environment variable bench/run sets; exits when it is missing.
QString env(const char *name);

// The connection string of the benchmark database.
QString connectionString();
// Points Kestrel at the benchmark database.
void useBenchDatabase();

// "--name N" among the arguments, or fallback when absent.
qint64 option(const QStringList &arguments, const QString &name, qint64 fallback);
// "--runs N" among the arguments, at least 1; fallback when absent.
int runs(const QStringList &arguments, int fallback = 3);

// Seconds the mariadb client takes to run sql on the benchmark database,
// its rows going to output when given and to /dev/null otherwise; -1 when
// the client failed.
double timeClient(const QString &sql, QByteArray *output = nullptr);
// The same with the client's own options (e.g. "--batch"), its rows written
// to outputFile.
double timeClientTo(const QString &sql, const QStringList &options, const QString &outputFile);

// The process's peak resident memory so far.
double peakMegabytes();

// The grid of a result window or the edit grid (a FlexGrid), as the
// operator sees it.
template <class Grid> Grid *resultGrid(const QObject *window)
{
    return window->findChild<Grid *>(QStringLiteral("fxg_QueryResult"));
}

} // namespace kestrel::bench
