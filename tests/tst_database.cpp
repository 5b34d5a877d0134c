// The ODBC layer, the connection cycle and the next-ID lookup against the
// test server.

#include "ConnectionCycle.h"
#include "TestSupport.h"

#include <QTest>

namespace M = mdl_Variables_Functions;
using namespace kestrel;

namespace {

// Every status the cycle sets, in order.
struct StatusTrail {
    QStringList seen;
    StatusTrail() { M::SetConnStatListener([this](const QString &s) { seen.append(s); }); }
    ~StatusTrail() { M::SetConnStatListener({}); }
};

void connectWith(int param, const QString &value)
{
    QStringList p = test::testParams();
    p[param] = value;
    M::ConnString = M::BuildConnectionString(p);
}

QString firstField(db::OdbcConnection &c, const QString &sql)
{
    return c.query(sql).rows.at(0).at(0).value_or(QString());
}

const QStringList successTrail{M::StatConnecting, M::StatConnected, M::StatIdle};

} // namespace

class TestDatabase : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cycleSucceeds();
    void failuresReportOnceThenRecover();
    void startupStatementIsInEffect();
    void secondStatementFailureKeepsFirstEffect();
    void bracedPasswordReachesTheServer();
    void getNextID();
};

void TestDatabase::init()
{
    test::useTestDatabase();
    test::resetTables();
}

void TestDatabase::cycleSucceeds()
{
    test::MessageRecorder recorder;
    StatusTrail trail;
    QString database;
    QVERIFY(db::runConnectionCycle(
        [&](db::OdbcConnection &c) { database = firstField(c, "SELECT DATABASE()"); }));
    QCOMPARE(database, qEnvironmentVariable("KESTREL_TEST_DB"));
    QCOMPARE(trail.seen, successTrail);
    QVERIFY(recorder.messages.empty());
}

void TestDatabase::failuresReportOnceThenRecover()
{
    test::MessageRecorder recorder;
    StatusTrail trail;
    connectWith(5, QStringLiteral("wrong password"));
    bool workRan = false;
    QVERIFY(!db::runConnectionCycle([&](db::OdbcConnection &) { workRan = true; }));
    QVERIFY(!workRan);
    QCOMPARE(trail.seen, (QStringList{M::StatConnecting, M::StatError}));
    QCOMPARE(recorder.messages.size(), size_t(1));
    const M::Message &shown = recorder.messages[0];
    QCOMPARE(shown.text, db::ConnectionErrorText);
    QCOMPARE(shown.title, db::ConnectionErrorTitle);
    QCOMPARE(shown.icon, M::MsgIcon::Critical);
    QCOMPARE(shown.buttons, M::MsgButtons::OK);

    // A refused statement and the caller's own failure take the same path.
    test::useTestDatabase();
    QVERIFY(!db::runConnectionCycle([](db::OdbcConnection &c) { c.query("SELECT * FROM nowhere"); }));
    QVERIFY(!db::runConnectionCycle([](db::OdbcConnection &) { throw std::runtime_error("bad"); }));
    QCOMPARE(recorder.texts(), QStringList(3, db::ConnectionErrorText));
    QCOMPARE(M::ConnStat(), M::StatError);

    trail.seen.clear();
    QVERIFY(db::runConnectionCycle({}));
    QCOMPARE(trail.seen, successTrail);
}

void TestDatabase::startupStatementIsInEffect()
{
    test::MessageRecorder recorder;
    connectWith(7, QStringLiteral("SET @kestrel_marker = 'on; connect'"));
    QString marker;
    QVERIFY(db::runConnectionCycle(
        [&](db::OdbcConnection &c) { marker = firstField(c, "SELECT @kestrel_marker"); }));
    QCOMPARE(marker, QStringLiteral("on; connect"));

    // A start-up statement the server refuses fails the connection.
    connectWith(7, QStringLiteral("SELEKT nonsense"));
    QVERIFY(!db::runConnectionCycle({}));
    QCOMPARE(recorder.texts(), QStringList{db::ConnectionErrorText});
}

void TestDatabase::secondStatementFailureKeepsFirstEffect()
{
    test::MessageRecorder recorder;
    QVERIFY(!db::runConnectionCycle([](db::OdbcConnection &c) {
        c.execute("INSERT INTO cities VALUES (NULL,'BUD','Budapest',1011,'Hungary ','HUN')");
        c.execute("INSERT INTO nowhere VALUES (1)");
    }));
    QCOMPARE(test::scalar("SELECT COUNT(*) FROM cities"), db::Value("1"));
}

void TestDatabase::bracedPasswordReachesTheServer()
{
    // scripts/test makes an account whose password needs braces.
    const QString user = qEnvironmentVariable("KESTREL_TEST_BRACE_USER");
    const QString password = qEnvironmentVariable("KESTREL_TEST_BRACE_PASSWORD");
    QVERIFY(password.contains(QLatin1Char(';')) && password.contains(QLatin1Char('}')));
    test::MessageRecorder recorder;
    QStringList p = test::testParams();
    p[4] = user;
    p[5] = password;
    M::ConnString = M::BuildConnectionString(p);
    QString seen;
    QVERIFY(db::runConnectionCycle(
        [&](db::OdbcConnection &c) { seen = firstField(c, "SELECT CURRENT_USER()"); }));
    QCOMPARE(seen, user + QStringLiteral("@127.0.0.1"));
}

void TestDatabase::getNextID()
{
    test::MessageRecorder recorder;
    StatusTrail trail;
    QCOMPARE(M::GetNextID(QStringLiteral("cities")), qint64(1));
    QCOMPARE(trail.seen, successTrail);

    test::exec("INSERT INTO cities VALUES (1,'A','B',1,'C','D'), (2,'A','B',1,'C','D'), "
               "(7,'A','B',1,'C','D')");
    QCOMPARE(M::GetNextID(QStringLiteral("cities")), qint64(8));

    // Past 16 and 32 bits alike.
    test::exec("ALTER TABLE turnover MODIFY ID BIGINT NOT NULL AUTO_INCREMENT");
    test::exec("INSERT INTO turnover (ID) VALUES (32767)");
    QCOMPARE(M::GetNextID(QStringLiteral("turnover")), qint64(32768));
    test::exec("INSERT INTO turnover (ID) VALUES (4294967296)");
    QCOMPARE(M::GetNextID(QStringLiteral("turnover")), qint64(4294967297));
    QVERIFY(recorder.messages.empty());

    test::exec("DROP TABLE cities");
    QCOMPARE(M::GetNextID(QStringLiteral("cities")), qint64(0));
    QCOMPARE(recorder.texts(), QStringList{db::ConnectionErrorText});
    QCOMPARE(M::ConnStat(), M::StatError);
}

QTEST_MAIN(TestDatabase)
#include "tst_database.moc"
