// Streamed reading against the test server, held to what the ODBC layer
// reads and connects to. (Stopping mid-way: tst_resultstreaming.)

#include "core/database/StreamingCycle.h"
#include "core/shared/FieldText.h"
#include "support/CoreSupport.h"

#include <QElapsedTimer>
#include <QTest>

namespace M = mdl_Variables_Functions;
using namespace kestrel;

namespace {

struct Streamed {
    std::vector<db::Column> columns;
    std::vector<db::Row> rows;
};

// Every row of the statement, read through a stream in short turns.
Streamed readAll(const QString &connectionString, const db::Statement &statement)
{
    db::RowStream stream(connectionString, statement);
    Streamed result{stream.columns(), {}};
    const auto keep = [&](db::RowBytes row) {
        db::Row &kept = result.rows.emplace_back();
        for (const db::FieldBytes &field : row)
            kept.push_back(
                field.null ? db::Value()
                           : db::Value(QString::fromUtf8(field.text.data(), field.text.size())));
    };
    while (stream.fetch(QDeadlineTimer(1), keep)) {
    }
    return result;
}

// Rows counting up from 1, each naming the connection reading it.
db::Statement numbered(int rows)
{
    return db::Statement(
        QStringLiteral("SELECT seq, CONNECTION_ID() AS cid FROM seq_1_to_%1").arg(rows));
}

bool connectionGone(const QString &id)
{
    return test::scalar("SELECT COUNT(*) FROM information_schema.processlist WHERE ID = " + id)
           == db::Value("0");
}

} // namespace

class TestRowStream : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        test::useTestDatabase();
        test::resetTables();
        // Each kind of value, a text wider than a bound buffer, NULLs.
        test::exec("CREATE TABLE kinds (ID INT PRIMARY KEY, Amount DOUBLE(255,2), "
                   "Quantity DOUBLE(255,0), Ratio DOUBLE, Exact DECIMAL(12,3), Day DATE, "
                   "Moment DATETIME, Name VARCHAR(255), Notes LONGTEXT, Big BIGINT) "
                   "CHARACTER SET utf8mb4");
        test::exec(QStringLiteral(
            "INSERT INTO kinds VALUES "
            "(1, 12.5, 3, 0.1 + 0.2, -3.5, '2008-03-05', '2008-03-05 14:30:00', "
            "'\u0416\u0430\u043d\u043d\u0430 \"Iv;anova\"', REPEAT('\u0436', 40000), "
            "-9223372036854775807), "
            "(2, 0, 0, 1e300, 1000000.125, '0000-00-00', '2008-12-31 23:59:59', "
            "'\U0001F426 bird', 'line\\nbreak', 1), "
            "(3, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL)"));
    }
    void init() { test::useTestDatabase(); }
    void readsValuesAsOdbcDoes_data()
    {
        QTest::addColumn<QString>("expression");
        for (const char *column : {"ID", "Amount", "Quantity", "Ratio", "Exact", "Day", "Moment",
                                   "Name", "Notes", "Big"})
            QTest::newRow(column) << QString::fromLatin1(column);
        QTest::newRow("sum of amounts") << "SUM(Amount * Quantity) OVER (ORDER BY ID)";
        QTest::newRow("date arithmetic") << "Day + INTERVAL 1 DAY";
        QTest::newRow("empty text") << "IF(ID = 3, NULL, '')";
    }
    void readsValuesAsOdbcDoes()
    {
        // Both the text and the column type (for fieldText) agree with ODBC.
        QFETCH(QString, expression);
        const db::Statement statement("SELECT " + expression + " AS v FROM kinds ORDER BY ID");
        const db::ResultSet odbc = test::query(statement.sql);
        const Streamed streamed = readAll(test::testConnectionString(), statement);
        QCOMPARE(streamed.rows.size(), odbc.rows.size());
        QCOMPARE(streamed.columns.at(0).name, odbc.columns.at(0).name);
        for (size_t r = 0; r < odbc.rows.size(); ++r) {
            QCOMPARE(streamed.rows[r][0], odbc.rows[r][0]);
            QCOMPARE(fieldText(streamed.rows[r][0], streamed.columns[0].sqlType),
                     fieldText(odbc.rows[r][0], odbc.columns[0].sqlType));
        }
    }
    void connectionStringReadsAsTheDriverReadsIt_data()
    {
        QTest::addColumn<QString>("connection");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected"); // empty: the connection is refused

        const QStringList p = test::testParams();
        const auto with = [&p](int param, const QString &value) {
            QStringList changed = p;
            changed[param] = value;
            return M::BuildConnectionString(changed);
        };
        QStringList brace = p;
        brace[4] = qEnvironmentVariable("KESTREL_TEST_BRACE_USER");
        brace[5] = qEnvironmentVariable("KESTREL_TEST_BRACE_PASSWORD");
        QTest::newRow("braced password") << M::BuildConnectionString(brace)
                                         << "SELECT CURRENT_USER()" << brace[4] + "@127.0.0.1";
        const QString where = "SELECT CONCAT(DATABASE(), ' ', @@port)";
        const QString expectedWhere = p[2] + ' ' + p[6];
        QTest::newRow("server, port and database from the data source")
            << QStringLiteral("DSN=%1;UID=%2;PASSWORD=%3;").arg(p[0], p[4], p[5]) << where
            << expectedWhere;
        // Without a registered data source the settings alone lead to the
        // server; an empty setting leaves the data source's own entry.
        QStringList blanks = p;
        blanks[2] = blanks[3] = blanks[6] = QString();
        QTest::newRow("empty settings keep the data source's entries")
            << M::BuildConnectionString(blanks) << where << expectedWhere;
        QTest::newRow("data source whose driver is missing")
            << with(0, qEnvironmentVariable("KESTREL_TEST_BROKEN_DSN")) << "SELECT 1"
            << "";
        QTest::newRow("two start-up statements")
            << with(7, "SET @kestrel_first = 1; SET @kestrel_marker = @kestrel_first + 1")
            << "SELECT @kestrel_marker"
            << "2";
        QTest::newRow("refused start-up statement") << with(7, "SELEKT 1") << "SELECT 1"
                                                    << "";
    }
    void connectionStringReadsAsTheDriverReadsIt()
    {
        QFETCH(QString, connection);
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        try {
            const Streamed streamed = readAll(connection, db::Statement(sql));
            QCOMPARE(streamed.rows.at(0).at(0), db::Value(expected));
        } catch (const db::OdbcError &e) {
            if (!expected.isEmpty())
                QFAIL(e.what());
        }
        // Whatever the stream did, the ODBC layer agrees on whether it connects.
        bool odbcConnects = true;
        try {
            db::OdbcConnection odbc(connection);
        } catch (const db::OdbcError &) {
            odbcConnects = false;
        }
        QCOMPARE(odbcConnects, !expected.isEmpty());
    }
    void boundValuesStayValues()
    {
        const db::Statement statement(
            "SELECT ?, ?, ?, ?, ?, ? FROM seq_1_to_2 WHERE seq = ?",
            {db::SqlValue::text(QStringLiteral("O'Brien\\'; DROP TABLE kinds; -- \u0416")),
             db::SqlValue::integer(-42), db::SqlValue::decimal("12.50"),
             db::SqlValue::date(QDate(2008, 3, 5)), db::SqlValue::null(), db::SqlValue::text(""),
             db::SqlValue::integer(2)});
        const Streamed streamed = readAll(test::testConnectionString(), statement);
        db::OdbcConnection odbc(test::testConnectionString());
        const db::ResultSet expected = odbc.query(statement);
        QCOMPARE(streamed.rows.size(), size_t(1));
        QCOMPARE(streamed.rows, expected.rows);
        QCOMPARE(streamed.rows[0][0], db::Value(statement.params[0].string()));
        QCOMPARE(streamed.rows[0][5], db::Value(QString())); // empty, not NULL
        QCOMPARE(test::scalar("SELECT COUNT(*) FROM kinds"), db::Value("3"));
    }
    void cycleReadsInTurnsThenGoesIdle()
    {
        test::StatusTrail trail;
        qint64 expected = 1;
        bool inOrder = true;
        QString connection;
        const auto check = [&](db::RowBytes row) {
            inOrder = inOrder && row[0].text == QByteArray::number(expected++);
            connection = QString::fromUtf8(row[1].text.data(), row[1].text.size());
        };

        // Many turns, whole and in order, then Idle with the connection closed.
        db::StreamingCycle cycle;
        QVERIFY(cycle.start(numbered(5000), {}));
        int turns = 0;
        while (cycle.read(QDeadlineTimer(0), check) == db::StreamingCycle::Turn::More)
            ++turns;
        QCOMPARE_GT(turns, 10);
        QVERIFY(inOrder);
        QCOMPARE(expected, qint64(5001));
        QCOMPARE(trail.seen, (QStringList{M::StatConnecting, M::StatConnected, M::StatIdle}));
        QTRY_VERIFY(connectionGone(connection));
    }

    // A list that ends while another operation's failure shows leaves that
    // error in the status bar until the next operation starts.
    void endingLeavesAnotherOperationsError_data()
    {
        QTest::addColumn<bool>("stopped");
        QTest::newRow("read to the end") << false;
        QTest::newRow("stopped") << true;
    }

    void endingLeavesAnotherOperationsError()
    {
        QFETCH(bool, stopped);
        test::MessageRecorder recorder;
        db::StreamingCycle cycle;
        QVERIFY(cycle.start(numbered(3000), {}));
        QVERIFY(cycle.read(QDeadlineTimer(0), [](db::RowBytes) {})
                == db::StreamingCycle::Turn::More);
        M::SetConnStat(M::StatError);
        if (stopped)
            cycle.stop();
        else
            while (cycle.read(QDeadlineTimer(0), [](db::RowBytes) {})
                   == db::StreamingCycle::Turn::More) {
            }
        QCOMPARE(M::ConnStat(), M::StatError);
        M::SetConnStat(M::StatIdle);
        QVERIFY(recorder.messages.empty());
    }

    // A statement the server never answers fails at the read timeout.
    void aSilentStatementEndsAtTheReadTimeout()
    {
        const db::Timeouts defaults = db::connectionTimeouts();
        db::setConnectionTimeouts({defaults.loginSeconds, 1});
        QElapsedTimer clock;
        clock.start();
        QString failure;
        try {
            readAll(test::testConnectionString(), db::Statement("SELECT SLEEP(20)"));
        } catch (const db::OdbcError &e) {
            failure = e.what();
        }
        const qint64 took = clock.elapsed();
        db::setConnectionTimeouts(defaults);
        QVERIFY2(!failure.isEmpty(), "the statement was waited for to its end");
        QCOMPARE_LT(took, 5000);
    }
};

QTEST_MAIN(TestRowStream)
#include "tst_rowstream.moc"
