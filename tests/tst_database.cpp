// The ODBC layer, the connection cycle and the next-ID lookup against the
// test server.

#include "ConnectionCycle.h"
#include "SqlLiteral.h"
#include "TestSupport.h"
#include "mdl_Variables_Functions.h"

#include <QTest>

namespace M = mdl_Variables_Functions;
using namespace kestrel;

namespace {

// Every status the cycle sets, in order.
struct StatusTrail {
    QStringList seen;
    StatusTrail()
    {
        M::SetConnStatListener([this](const QString &text) { seen.append(text); });
    }
    ~StatusTrail() { M::SetConnStatListener({}); }
};

QStringList params(int index, const QString &value)
{
    QStringList p = test::testParams();
    p[index] = value;
    return p;
}

const QStringList successTrail{M::StatConnecting, M::StatConnected, M::StatIdle};

} // namespace

class TestDatabase : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cycleSucceeds();
    void wrongPasswordFailsOnceThenRecovers();
    void callerFailureTakesTheFailurePath();
    void startupStatementIsInEffect();
    void secondStatementFailureKeepsFirstEffect();
    void bracedValuesReachTheServer();
    void quotingStoresValuesExactly();
    void nullsAndLongTextsRead();
    void getNextID();
    void getNextIDFailureGivesZero();
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
    QString answer;
    QVERIFY(db::runConnectionCycle([&](db::OdbcConnection &c) {
        answer = c.query(QStringLiteral("SELECT DATABASE()")).rows.at(0).at(0).value_or(QString());
    }));
    QCOMPARE(answer, qEnvironmentVariable("KESTREL_TEST_DB"));
    QCOMPARE(trail.seen, successTrail);
    QVERIFY(recorder.messages.empty());
}

void TestDatabase::wrongPasswordFailsOnceThenRecovers()
{
    test::MessageRecorder recorder;
    StatusTrail trail;
    M::ConnString = M::BuildConnectionString(params(5, QStringLiteral("wrong")));
    bool workRan = false;
    QVERIFY(!db::runConnectionCycle([&](db::OdbcConnection &) { workRan = true; }));
    QVERIFY(!workRan);
    QCOMPARE(recorder.messages.size(), size_t(1));
    QCOMPARE(recorder.messages[0].text, db::ConnectionErrorText);
    QCOMPARE(recorder.messages[0].title, db::ConnectionErrorTitle);
    QCOMPARE(recorder.messages[0].icon, M::MsgIcon::Critical);
    QCOMPARE(recorder.messages[0].buttons, M::MsgButtons::OK);
    QCOMPARE(trail.seen, (QStringList{M::StatConnecting, M::StatError}));
    QCOMPARE(M::ConnStat(), M::StatError);

    test::useTestDatabase();
    trail.seen.clear();
    QVERIFY(db::runConnectionCycle({}));
    QCOMPARE(trail.seen, successTrail);
    QCOMPARE(recorder.messages.size(), size_t(1));
}

void TestDatabase::callerFailureTakesTheFailurePath()
{
    test::MessageRecorder recorder;
    QVERIFY(!db::runConnectionCycle([](db::OdbcConnection &c) {
        c.query(QStringLiteral("SELECT * FROM no_such_table"));
    }));
    QVERIFY(!db::runConnectionCycle([](db::OdbcConnection &) { throw std::runtime_error("bad"); }));
    QCOMPARE(recorder.texts(), QStringList(2, db::ConnectionErrorText));
    QCOMPARE(M::ConnStat(), M::StatError);
}

void TestDatabase::startupStatementIsInEffect()
{
    test::MessageRecorder recorder;
    M::ConnString = M::BuildConnectionString(
        params(7, QStringLiteral("SET @kestrel_marker = 'on; connect'")));
    QVERIFY(M::ConnString.contains(QStringLiteral("STMT={SET @kestrel_marker = 'on; connect'};")));
    QString marker;
    QVERIFY(db::runConnectionCycle([&](db::OdbcConnection &c) {
        marker = c.query(QStringLiteral("SELECT @kestrel_marker")).rows.at(0).at(0).value_or(QString());
    }));
    QCOMPARE(marker, QStringLiteral("on; connect"));

    // A statement the server refuses makes the connection fail as a whole.
    M::ConnString = M::BuildConnectionString(params(7, QStringLiteral("SELEKT nonsense")));
    QVERIFY(!db::runConnectionCycle({}));
    QCOMPARE(recorder.texts(), QStringList{db::ConnectionErrorText});
}

void TestDatabase::secondStatementFailureKeepsFirstEffect()
{
    test::MessageRecorder recorder;
    QVERIFY(!db::runConnectionCycle([](db::OdbcConnection &c) {
        c.execute(QStringLiteral("INSERT INTO cities VALUES (NULL,'BUD','Budapest',1011,'Hungary ','HUN')"));
        c.execute(QStringLiteral("INSERT INTO no_such_table VALUES (1)"));
    }));
    QCOMPARE(M::ConnStat(), M::StatError);
    QCOMPARE(test::scalar(QStringLiteral("SELECT COUNT(*) FROM cities")), db::Value(QStringLiteral("1")));
}

void TestDatabase::bracedValuesReachTheServer()
{
    // The test server has an account whose password holds every character
    // that needs braces.
    const QString user = qEnvironmentVariable("KESTREL_TEST_BRACE_USER");
    const QString password = qEnvironmentVariable("KESTREL_TEST_BRACE_PASSWORD");
    QVERIFY2(password.contains(QLatin1Char(';')) && password.contains(QLatin1Char('}')),
             "scripts/test sets up the account with a braced password");
    test::MessageRecorder recorder;
    QStringList p = test::testParams();
    p[4] = user;
    p[5] = password;
    M::ConnString = M::BuildConnectionString(p);
    QString seen;
    QVERIFY(db::runConnectionCycle([&](db::OdbcConnection &c) {
        seen = c.query(QStringLiteral("SELECT CURRENT_USER()")).rows.at(0).at(0).value_or(QString());
    }));
    QCOMPARE(seen, user + QStringLiteral("@127.0.0.1"));
    QVERIFY(recorder.messages.empty());
}

void TestDatabase::quotingStoresValuesExactly()
{
    const QString awkward = QStringLiteral("O'Brien \\ \"x\" Côte d'Ivoire Жуков \\'");
    test::exec(QStringLiteral("INSERT INTO cities VALUES (NULL,'A','%1',1,%2,'C')")
                   .arg(QStringLiteral("n"), db::sqlQuote(awkward)));
    QCOMPARE(test::scalar(QStringLiteral("SELECT Country FROM cities")), db::Value(awkward));
    QCOMPARE(db::sqlQuote(QStringLiteral("17 ")), QStringLiteral("'17 '"));
    QCOMPARE(db::sqlIdentifier(QStringLiteral("a`b")), QStringLiteral("`a``b`"));
}

void TestDatabase::nullsAndLongTextsRead()
{
    // Longer than one read buffer, with two-byte characters across its edge.
    const QString longText = QString(120, QLatin1Char('x')) + QString(60, QChar(0x0150))
                             + QString(60, QLatin1Char('y'));
    test::exec(QStringLiteral("INSERT INTO products VALUES (NULL,%1,'Pcs',5,1.2,'7',NULL)")
                   .arg(db::sqlQuote(longText)));
    const db::ResultSet rows = test::query(QStringLiteral("SELECT * FROM products"));
    QCOMPARE(rows.rows.size(), size_t(1));
    QCOMPARE(rows.rows[0][rows.indexOf(QStringLiteral("description"))], db::Value(longText));
    QCOMPARE(rows.rows[0][rows.indexOf(QStringLiteral("LastDelivery"))], db::Value());
    QCOMPARE(rows.rows[0][rows.indexOf(QStringLiteral("Price"))], db::Value(QStringLiteral("1.20")));
    QCOMPARE(rows.columns[0].baseTable, QStringLiteral("products"));
    QCOMPARE(rows.indexOf(QStringLiteral("nope")), -1);
}

void TestDatabase::getNextID()
{
    test::MessageRecorder recorder;
    StatusTrail trail;
    QCOMPARE(M::GetNextID(QStringLiteral("cities")), qint64(1));
    QCOMPARE(trail.seen, successTrail);

    for (int id : {1, 2, 7})
        test::exec(QStringLiteral("INSERT INTO cities VALUES (%1,'A','B',1,'C','D')").arg(id));
    QCOMPARE(M::GetNextID(QStringLiteral("cities")), qint64(8));

    // IDs past the 16-bit range and past 32 bits are no failure.
    test::exec(QStringLiteral("INSERT INTO turnover (ID) VALUES (32767)"));
    QCOMPARE(M::GetNextID(QStringLiteral("turnover")), qint64(32768));
    test::exec(QStringLiteral("ALTER TABLE turnover MODIFY ID BIGINT NOT NULL AUTO_INCREMENT"));
    test::exec(QStringLiteral("INSERT INTO turnover (ID) VALUES (4294967296)"));
    QCOMPARE(M::GetNextID(QStringLiteral("turnover")), qint64(4294967297));
    QVERIFY(recorder.messages.empty());
}

void TestDatabase::getNextIDFailureGivesZero()
{
    test::MessageRecorder recorder;
    test::exec(QStringLiteral("DROP TABLE cities"));
    QCOMPARE(M::GetNextID(QStringLiteral("cities")), qint64(0));
    QCOMPARE(recorder.texts(), QStringList{db::ConnectionErrorText});
    QCOMPARE(M::ConnStat(), M::StatError);
}

QTEST_MAIN(TestDatabase)
#include "tst_database.moc"
