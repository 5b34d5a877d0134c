// The transaction runner against the test server: what it runs again (a
// transaction the server undid for another one) and what it never runs again
// (any other failure, and above all a transaction whose COMMIT may have gone
// through), and what it says when every try lost.

#include "core/database/RetriedTransaction.h"
#include "support/CoreSupport.h"

#include <QTest>

using namespace kestrel;

namespace {

const db::OdbcError Deadlock(QStringLiteral("40001"), QStringLiteral("Deadlock found"), 1213);
const db::OdbcError LockWait(QStringLiteral("HY000"), QStringLiteral("Lock wait timeout"), 1205);
const db::OdbcError Certification(QStringLiteral("40001"), QStringLiteral("certification"));
const db::OdbcError Duplicate(QStringLiteral("23000"), QStringLiteral("Duplicate entry"), 1062);

db::Statement addCity(const char *acronym)
{
    return db::Statement(
        QStringLiteral("INSERT INTO cities VALUES (NULL,'%1','Town',1,'Land','LND')")
            .arg(QLatin1String(acronym)));
}

QString cities()
{
    return test::scalar("SELECT IFNULL(GROUP_CONCAT(Acronym ORDER BY ID),'') FROM cities")
        .value_or(QString());
}

} // namespace

Q_DECLARE_METATYPE(std::optional<kestrel::db::OdbcError>)

class TestRetries : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        test::useTestDatabase();
        db::setRetryLimits({3, 0, 1});
    }
    void init() { test::resetTables(); }

    // The first try writes a city, then meets the failure: before its commit,
    // or after a commit that went through.
    void onlyWhatAnotherTransactionBeatRunsAgain_data()
    {
        QTest::addColumn<std::optional<db::OdbcError>>("failure");
        QTest::addColumn<bool>("afterCommit");
        QTest::addColumn<int>("tries");
        QTest::addColumn<QString>("thrown"); // SQLSTATE, or empty
        QTest::addColumn<QString>("stored");
        QTest::newRow("deadlock") << std::optional(Deadlock) << false << 2 << ""
                                  << "BUD";
        QTest::newRow("lock wait timeout") << std::optional(LockWait) << false << 2 << ""
                                           << "BUD";
        QTest::newRow("certification, SQLSTATE only")
            << std::optional(Certification) << false << 2 << ""
            << "BUD";
        QTest::newRow("duplicate key") << std::optional(Duplicate) << false << 1 << "23000"
                                       << "";
        QTest::newRow("deadlock after the commit")
            << std::optional(Deadlock) << true << 1 << "40001"
            << "BUD";
        QTest::newRow("nothing") << std::optional<db::OdbcError>() << false << 1 << ""
                                 << "BUD";
    }
    void onlyWhatAnotherTransactionBeatRunsAgain()
    {
        QFETCH(std::optional<db::OdbcError>, failure);
        QFETCH(bool, afterCommit);
        QFETCH(int, tries);
        QFETCH(QString, thrown);
        QFETCH(QString, stored);
        db::OdbcConnection c(test::testConnectionString());
        int tried = 0;
        QString state;
        try {
            const bool done = db::runTransaction(c, [&](db::Transaction &t) {
                c.execute(addCity("BUD"));
                if (afterCommit)
                    t.commit();
                if (failure && ++tried == 1)
                    throw *failure;
                if (!afterCommit)
                    t.commit();
            });
            QVERIFY(done);
        } catch (const db::OdbcError &e) {
            state = e.sqlState();
        }
        QCOMPARE(std::max(tried, 1), tries);
        QCOMPARE(state, thrown);
        QCOMPARE(cities(), stored);
    }

    // The connection breaks while COMMIT is on its way: the server may have
    // stored the city, so it is reported, never sent again.
    void aConnectionLostDuringCommitIsReportedNotRepeated()
    {
        db::OdbcConnection c(test::testConnectionString());
        const QString id = c.query(db::Statement("SELECT CONNECTION_ID()"))
                               .rows.front()
                               .front()
                               .value_or(QString());
        int tried = 0, lost = 0;
        try {
            (void)db::runTransaction(c, [&](db::Transaction &t) {
                ++tried;
                c.execute(addCity("BUD"));
                test::exec("KILL CONNECTION " + id);
                t.commit();
            });
        } catch (const db::OdbcError &e) {
            lost = e.nativeError();
        }
        QCOMPARE(tried, 1);
        // What comes out is the COMMIT's own failure, not that of a second
        // try on the broken connection.
        QVERIFY2(lost == 2013 || lost == 2006, qPrintable(QString::number(lost)));
    }

    // Every try lost: false, nothing stored, each try rolled back.
    void everyTryLost()
    {
        db::OdbcConnection c(test::testConnectionString());
        int tried = 0;
        const bool done = db::runTransaction(c, [&](db::Transaction &) {
            ++tried;
            c.execute(addCity("BUD"));
            throw Deadlock;
        });
        QVERIFY(!done);
        QCOMPARE(tried, 3);
        QCOMPARE(cities(), QString());
    }
};

QTEST_MAIN(TestRetries)
#include "tst_retries.moc"
