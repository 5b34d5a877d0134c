#include "BenchSupport.h"

#include "core/shared/mdl_Variables_Functions.h"

#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

namespace kestrel::bench {

QString env(const char *name)
{
    const QByteArray value = qgetenv(name);
    if (value.isEmpty()) {
        std::fprintf(stderr, "%s is not set: run the benchmark through bench/run\n", name);
        std::exit(2);
    }
    return QString::fromUtf8(value);
}

QString connectionString()
{
    return mdl_Variables_Functions::BuildConnectionString(
        {env("KESTREL_BENCH_DSN"), QStringLiteral("Kestrel benchmark"), env("KESTREL_BENCH_DB"),
         QStringLiteral("127.0.0.1"), env("KESTREL_BENCH_USER"), env("KESTREL_BENCH_PASSWORD"),
         env("KESTREL_BENCH_PORT"), QString()});
}

void useBenchDatabase()
{
    mdl_Variables_Functions::ConnString = connectionString();
}

qint64 option(const QStringList &arguments, const QString &name, qint64 fallback)
{
    const qsizetype at = arguments.indexOf(name);
    return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1].toLongLong() : fallback;
}

int runs(const QStringList &arguments, int fallback)
{
    return int(std::max<qint64>(1, option(arguments, QStringLiteral("--runs"), fallback)));
}

namespace {

// Runs the client on sql with options; seconds until it is done, or -1.
double runClient(QProcess &client, const QString &sql, const QStringList &options)
{
    QStringList arguments = {QStringLiteral("--no-defaults"),
                             QStringLiteral("--protocol=TCP"),
                             QStringLiteral("--host=127.0.0.1"),
                             QStringLiteral("--port=") + env("KESTREL_BENCH_PORT"),
                             QStringLiteral("--user=") + env("KESTREL_BENCH_USER"),
                             QStringLiteral("--password=") + env("KESTREL_BENCH_PASSWORD")};
    arguments << options << (QStringLiteral("--execute=") + sql) << env("KESTREL_BENCH_DB");
    QElapsedTimer timer;
    timer.start();
    client.start(QStringLiteral("mariadb"), arguments);
    if (!client.waitForFinished(600000) || client.exitStatus() != QProcess::NormalExit
        || client.exitCode() != 0) {
        std::fprintf(stderr, "the mariadb client failed\n");
        return -1;
    }
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

double timeClient(const QString &sql, QByteArray *output)
{
    QProcess client;
    if (!output)
        client.setStandardOutputFile(QProcess::nullDevice());
    client.setProcessChannelMode(output ? QProcess::SeparateChannels
                                        : QProcess::ForwardedErrorChannel);
    const double seconds = runClient(client, sql, {QStringLiteral("--skip-column-names")});
    if (output && seconds >= 0)
        *output = client.readAllStandardOutput();
    return seconds;
}

double timeClientTo(const QString &sql, const QStringList &options, const QString &outputFile)
{
    QProcess client;
    client.setStandardOutputFile(outputFile);
    client.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    return runClient(client, sql, options);
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

} // namespace kestrel::bench
