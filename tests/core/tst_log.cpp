// Kestrel's log: what a failed database operation leaves in it (and what it
// must never hold), one line per event, and its rotation.

#include "core/app/Log.h"
#include "core/database/ConnectionCycle.h"
#include "core/database/ConnectionString.h"
#include "support/CoreSupport.h"

#include <QFile>
#include <QTest>

namespace M = mdl_Variables_Functions;
using namespace kestrel;

namespace {

QStringList linesOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Sends the log to a scratch file while it lives.
struct ScratchLog {
    test::ScratchDir dir;
    QString path = dir.file("kestrel.log");
    explicit ScratchLog(qint64 limit = log::DefaultLimit) { log::setFile(path, limit); }
    ~ScratchLog() { log::setFile(QString()); }
    QStringList lines() const { return linesOf(path); }
};

} // namespace

class TestLog : public QObject {
    Q_OBJECT

private slots:
    void failuresLeaveOneLineEach_data()
    {
        QTest::addColumn<QStringList>("params"); // changed connection parameters: index, value
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("absent");

        QTest::newRow("wrong password")
            << QStringList{"5", "Wr0ng;{pw}"} << ""
            << QStringList{"SQLSTATE 28000", "Access denied"} << QStringList{"Wr0ng", "{pw}"};
        QTest::newRow("refused statement: its text, not its values")
            << QStringList{} << "SELECT * FROM nowhere WHERE Name = ?"
            << QStringList{"SQLSTATE 42S02", "; statement: SELECT * FROM nowhere WHERE Name = ?"}
            << QStringList{"s3cret value"};
    }

    void failuresLeaveOneLineEach()
    {
        QFETCH(QStringList, params);
        QFETCH(QString, sql);
        QFETCH(QStringList, present);
        QFETCH(QStringList, absent);
        // An account whose password is like no other word of the line.
        QStringList connection = test::testParams();
        connection[4] = qEnvironmentVariable("KESTREL_TEST_BRACE_USER");
        connection[5] = qEnvironmentVariable("KESTREL_TEST_BRACE_PASSWORD");
        absent.append(connection[5]);
        for (int i = 0; i + 1 < params.size(); i += 2)
            connection[params[i].toInt()] = params[i + 1];
        M::ConnString = M::BuildConnectionString(connection);

        ScratchLog log;
        QVERIFY(log::append(QStringLiteral("earlier line")));
        test::MessageRecorder recorder;
        QVERIFY(!db::runConnectionCycle([&](db::OdbcConnection &c) {
            c.execute(db::Statement(sql, {db::SqlValue::text(QStringLiteral("s3cret value"))}));
        }));
        QCOMPARE(recorder.texts(), QStringList{db::ConnectionErrorText});
        const QStringList lines = log.lines();
        QCOMPARE(lines.size(), 2);
        const QString &line = lines[1];
        QVERIFY2(line.contains(QLatin1String(" connection failure: SQLSTATE ")), qPrintable(line));
        // The message's details say the same, and where the log is.
        const QString details = recorder.messages[0].details;
        QVERIFY(details.contains("\nLog: " + log.path) && details.contains(present[0]));
        for (const QString &text : present)
            QVERIFY2(line.contains(text), qPrintable(text));
        for (const QString &text : absent)
            QVERIFY2(!line.contains(text) && !details.contains(text), qPrintable(text));
    }

    void passwordsAreTakenOut_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a connection string") << "DSN=d;UID=u;PASSWORD=s3cret;PORT=1;"
                                             << "DSN=d;UID=u;PASSWORD=***;PORT=1;";
        QTest::newRow("braced, with ; and }} inside") << "SERVER=s;PWD={a;b}}c};PORT=1"
                                                      << "SERVER=s;PWD=***;PORT=1";
        QTest::newRow("any case, blanks, at the end") << "x password = open sesame"
                                                      << "x password = ***";
        QTest::newRow("a driver's words about a password stay")
            << "Access denied for user 'u'@'h' (using password: YES)"
            << "Access denied for user 'u'@'h' (using password: YES)";
    }

    void passwordsAreTakenOut()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        // On the way to the log, whatever failed.
        ScratchLog log;
        test::MessageRecorder recorder;
        const std::runtime_error failure(text.toStdString());
        db::reportConnectionFailure(&failure);
        QVERIFY2(log.lines().at(0).endsWith(" connection failure: " + expected), qPrintable(text));
    }

    void linesAreOneEachAndPrivate()
    {
        ScratchLog log;
        QVERIFY(log::append(QStringLiteral("first\r\n  second\nthird\n")));
        const QStringList lines = log.lines();
        QCOMPARE(lines.size(), 1);
        QVERIFY(QDateTime::fromString(lines[0].left(19), "yyyy-MM-dd HH:mm:ss").isValid());
        QCOMPARE(lines[0].mid(19), QStringLiteral(" first / second / third"));
        QCOMPARE(QFile(log.path).permissions() & (QFile::ReadGroup | QFile::ReadOther),
                 QFileDevice::Permissions());

        // A log that cannot be written loses the line, never the caller.
        log::setFile(log.dir.file("no/such/folder/kestrel.log"));
        QVERIFY(!log::append(QStringLiteral("lost")));
    }

    void rotatesAtItsLimit()
    {
        const qint64 lineSize = 30; // "yyyy-MM-dd HH:mm:ss " + "line 0001" + newline
        ScratchLog log(4 * lineSize);
        for (int i = 1; i <= 14; ++i)
            QVERIFY(log::append(QStringLiteral("line %1").arg(i, 4, 10, QLatin1Char('0'))));

        // Four lines fill a file: lines 1 to 4 went with the third file, 5 to 8
        // are in ".2", 9 to 12 in ".1", 13 and 14 in the log; none lost between.
        QVERIFY(!QFile::exists(log.path + ".3"));
        const QStringList second = linesOf(log.path + ".2"), first = linesOf(log.path + ".1");
        QCOMPARE(first.size(), 4);
        const QStringList kept = second + first + log.lines();
        QCOMPARE(kept.size(), 10);
        for (int i = 0; i < kept.size(); ++i)
            QVERIFY(
                kept[i].endsWith(QStringLiteral(" line %1").arg(i + 5, 4, 10, QLatin1Char('0'))));
    }
};

QTEST_MAIN(TestLog)
#include "tst_log.moc"
