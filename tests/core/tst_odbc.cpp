// The ODBC layer, the connection cycle, bound values and the next-ID lookup
// against the test server.

#include "core/database/ConnectionCycle.h"
#include "core/database/ConnectionFailure.h"
#include "core/statements/Records.h"
#include "support/CoreSupport.h"

#include <QElapsedTimer>
#include <QTest>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace M = mdl_Variables_Functions;
using namespace kestrel;
using test::StatusTrail;

namespace {

QString with(int param, const QString &value)
{
    QStringList p = test::testParams();
    p[param] = value;
    return M::BuildConnectionString(p);
}

QString firstField(db::OdbcConnection &c, const QString &sql)
{
    return c.query(db::Statement(sql)).rows.at(0).at(0).value_or(QString());
}

const QStringList successTrail{M::StatConnecting, M::StatConnected, M::StatIdle};

// A port on 127.0.0.1 that takes connections (the system completes them in
// its backlog) and never says a word: a server that hangs.
class SilentListener {
public:
    SilentListener()
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<sockaddr *>(&address), length) != 0
            || ::listen(m_socket, 8) != 0
            || ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &length) != 0)
            qFatal("cannot listen on 127.0.0.1");
        m_port = ntohs(address.sin_port);
    }
    ~SilentListener() { ::close(m_socket); }
    int port() const { return m_port; }

private:
    int m_socket = -1;
    int m_port = 0;
};

} // namespace

class TestOdbc : public QObject {
    Q_OBJECT

private slots:
    void init();
    void failuresReportOnceThenRecover();
    void silentServerFailsWithinTheTimeouts_data();
    void silentServerFailsWithinTheTimeouts();
    void failuresSayWhatToDo_data();
    void failuresSayWhatToDo();
    void getNextID();
    void blocksAndSingleFieldsAgree();
    void valuesAreBoundNeverSpliced_data();
    void valuesAreBoundNeverSpliced();
};

void TestOdbc::init()
{
    test::useTestDatabase();
    test::resetTables();
}

void TestOdbc::failuresReportOnceThenRecover()
{
    test::MessageRecorder recorder;
    StatusTrail trail;
    M::ConnString = with(5, QStringLiteral("wrong password"));
    QVERIFY(!db::runConnectionCycle([&](db::OdbcConnection &) { QFAIL("ran unconnected"); }));
    QCOMPARE(trail.seen, (QStringList{M::StatConnecting, M::StatError}));
    test::useTestDatabase();
    QVERIFY(!db::runConnectionCycle([](db::OdbcConnection &) { throw std::runtime_error("bad"); }));
    QCOMPARE(recorder.texts(), QStringList(2, db::ConnectionErrorText));
    QCOMPARE(M::ConnStat(), M::StatError);

    trail.seen.clear();
    QVERIFY(db::runConnectionCycle({}));
    QCOMPARE(trail.seen, successTrail);
}

// A server that never answers, at once or to one statement, fails the
// operation in bounded time instead of freezing Kestrel.
void TestOdbc::silentServerFailsWithinTheTimeouts_data()
{
    QTest::addColumn<bool>("silentListener");
    QTest::addColumn<int>("readSeconds");
    QTest::addColumn<int>("atMostSeconds");
    QTest::newRow("connecting, default timeouts")
        << true << db::Timeouts().readSeconds << db::Timeouts().loginSeconds + 5;
    // A statement the server sits on longer than the read timeout.
    QTest::newRow("reading, short read timeout") << false << 1 << 5;
}

void TestOdbc::silentServerFailsWithinTheTimeouts()
{
    QFETCH(bool, silentListener);
    QFETCH(int, readSeconds);
    QFETCH(int, atMostSeconds);
    test::MessageRecorder recorder;
    SilentListener listener;
    if (silentListener)
        M::ConnString = with(6, QString::number(listener.port()));
    const db::Timeouts defaults = db::connectionTimeouts();
    db::setConnectionTimeouts({defaults.loginSeconds, readSeconds});
    QElapsedTimer clock;
    clock.start();
    const bool ok = db::runConnectionCycle(
        [](db::OdbcConnection &c) { c.query(db::Statement("SELECT SLEEP(30)")); });
    const qint64 took = clock.elapsed();
    db::setConnectionTimeouts(defaults);
    QVERIFY(!ok);
    QCOMPARE_LE(took, atMostSeconds * 1000);
    QCOMPARE(recorder.texts(), QStringList{db::ConnectionErrorText});
}

// Each kind of failure keeps the one fixed message and adds its own hint.
void TestOdbc::failuresSayWhatToDo_data()
{
    QTest::addColumn<QString>("connection");
    QTest::addColumn<QString>("sql"); // run once connected; empty: nothing
    QTest::addColumn<QString>("hint");

    const QStringList p = test::testParams();
    const int port = 1; // nothing listens there
    QTest::newRow("data source whose driver is missing")
        << with(0, qEnvironmentVariable("KESTREL_TEST_BROKEN_DSN")) << ""
        << "The ODBC data source \"KestrelNoDriver\" names a driver that cannot be loaded";
    QTest::newRow("closed port")
        << with(6, QString::number(port)) << ""
        << QStringLiteral("No database server answers at 127.0.0.1:%1").arg(port);
    QTest::newRow("wrong password") << with(5, "wrong") << ""
                                    << "The server refused the user \"" + p[4] + '"';
    QTest::newRow("unknown database")
        << with(2, "no_such_db") << ""
        << "The server has no database \"no_such_db\" that the user \"" + p[4] + '"';
    QTest::newRow("database without tables")
        << with(0, "") << "SELECT ID FROM cities"
        << "The database \"" + p[2] + "\" lacks Kestrel's tables: File > Format DB Structure";
    QTest::newRow("value too long")
        << with(0, "") << "INSERT INTO cities VALUES (NULL, 'FOUR', 'x', 1, 'y', 'z')"
        << "The server refused the value for Acronym";
}

void TestOdbc::failuresSayWhatToDo()
{
    QFETCH(QString, connection);
    QFETCH(QString, sql);
    QFETCH(QString, hint);
    if (QTest::currentDataTag() == QLatin1String("database without tables"))
        test::dropAllTables();
    const auto work = [&](db::OdbcConnection &c) {
        if (!sql.isEmpty())
            c.execute(db::Statement(sql));
    };
    test::MessageRecorder recorder;
    M::ConnString = connection;
    QVERIFY(!db::runConnectionCycle(work));
    QCOMPARE(recorder.texts(), QStringList{db::ConnectionErrorText});
    const M::Message &shown = recorder.messages[0];
    QCOMPARE(shown.title, db::ConnectionErrorTitle);
    QVERIFY2(shown.hint.startsWith(hint), qPrintable(shown.hint));
    QVERIFY2(shown.details.startsWith("SQLSTATE "), qPrintable(shown.details));
}

void TestOdbc::getNextID()
{
    test::MessageRecorder recorder;
    QCOMPARE(M::GetNextID(QStringLiteral("cities")), qint64(1));

    test::exec("INSERT INTO cities VALUES (1,'A','B',1,'C','D'), (2,'A','B',1,'C','D'), "
               "(7,'A','B',1,'C','D')");
    QCOMPARE(M::GetNextID(QStringLiteral("cities")), qint64(8));
    {
        // A row rolled back used its ID up: the next row gets the one after.
        db::OdbcConnection till(test::testConnectionString());
        db::Transaction rolledBack(till);
        till.execute(
            db::Statement(QStringLiteral("INSERT INTO cities VALUES (NULL,'A','B',1,'C','D')")));
    }
    QCOMPARE(M::GetNextID(QStringLiteral("cities")), qint64(9));

    // Past 32 bits.
    test::exec("ALTER TABLE turnover MODIFY ID BIGINT NOT NULL AUTO_INCREMENT");
    test::exec("INSERT INTO turnover (ID) VALUES (4294967296)");
    QCOMPARE(M::GetNextID(QStringLiteral("turnover")), qint64(4294967297));
    QVERIFY(recorder.messages.empty());
}

void TestOdbc::blocksAndSingleFieldsAgree()
{
    // Rows come in blocks through bound buffers, or field by field once a
    // column (Notes) is too wide to bind. 2500 rows span more than one block.
    test::exec("CREATE TABLE fetched (ID INT PRIMARY KEY, Name VARCHAR(255), Amount DOUBLE(255,2), "
               "Big DOUBLE, Day DATE, Notes LONGTEXT) CHARACTER SET utf8mb4");
    test::exec("INSERT INTO fetched SELECT seq, IF(seq % 7, CONCAT('name ', seq), NULL), "
               "IF(seq % 7, seq / 4, NULL), seq * 1e300 / 1000, "
               "IF(seq % 7, DATE '2008-03-05' + INTERVAL seq DAY, NULL), "
               "IF(seq = 3, REPEAT('x', 100000), NULL) FROM seq_1_to_2500");
    const QString wide =
        QString::fromUtf8("\xF0\x9F\x90\xA6").repeated(255); // four bytes each in UTF-8
    test::exec("UPDATE fetched SET Name = '" + wide + "' WHERE ID = 1500");
    db::OdbcConnection connection(test::testConnectionString());
    const db::ResultSet blocks = connection.query(
        db::Statement("SELECT ID, Name, Amount, Big, Day FROM fetched ORDER BY ID"));
    const db::ResultSet fields =
        connection.query(db::Statement("SELECT * FROM fetched ORDER BY ID"));
    QCOMPARE(blocks.rows.size(), size_t(2500));
    QCOMPARE(fields.rows.size(), size_t(2500));
    for (size_t r = 0; r < blocks.rows.size(); ++r)
        QVERIFY(std::equal(blocks.rows[r].begin(), blocks.rows[r].end(), fields.rows[r].begin()));
    QCOMPARE(blocks.rows[6][1], db::Value());
    QCOMPARE(blocks.rows[1499][1], db::Value(wide));
    QCOMPARE(blocks.rows[2499][3]->toDouble(), 2.5e300);
    QCOMPARE(fields.rows[2][5]->size(), 100000);
}

void TestOdbc::valuesAreBoundNeverSpliced_data()
{
    QTest::addColumn<QString>("mode");
    QTest::newRow("default mode") << "";
    QTest::newRow("NO_BACKSLASH_ESCAPES")
        << "SET SESSION sql_mode = CONCAT(@@sql_mode, ',NO_BACKSLASH_ESCAPES')";
}

void TestOdbc::valuesAreBoundNeverSpliced()
{
    // A name that, quoted the old way under NO_BACKSLASH_ESCAPES, would have
    // ended its string and brought values of its own.
    QFETCH(QString, mode);
    test::MessageRecorder recorder;
    const QString hostile =
        QStringLiteral("x\\' ,1,CHAR(73),CHAR(72,85,78))# O'Brien \u0418\u0432\u0430\u043d");
    M::ConnString = with(7, mode);
    QVERIFY(db::runConnectionCycle([&](db::OdbcConnection &c) {
        if (!mode.isEmpty())
            QVERIFY(firstField(c, "SELECT @@sql_mode").contains("NO_BACKSLASH_ESCAPES"));
        c.execute(sql::insertRow(
            "cities", {"Acronym", "FullName", "PostalCode", "Country", "CountryCode"},
            {db::SqlValue::text("BUD"), db::SqlValue::text(hostile), db::SqlValue::text("1011"),
             db::SqlValue::text("Hungary "), db::SqlValue::text("HUN")}));
    }));
    QVERIFY(recorder.messages.empty());
    QCOMPARE(test::scalar("SELECT CONCAT_WS('|', Acronym, FullName, PostalCode, Country, "
                          "CountryCode) FROM cities"),
             db::Value("BUD|" + hostile + "|1011|Hungary |HUN"));
    QCOMPARE(test::scalar("SELECT COUNT(*) FROM cities"), db::Value("1"));
}

QTEST_MAIN(TestOdbc)
#include "tst_odbc.moc"
