// The transaction runner against the test server: what it runs again (a
// transaction the server undid for another one), what it never runs again
// (any other failure, and above all a transaction whose COMMIT may have gone
// through), and what it says when every try lost.

#include "core/database/RetriedTransaction.h"
#include "support/CoreSupport.h"

#include <QTest>

using namespace kestrel;
using db::OdbcError;

Q_DECLARE_METATYPE(kestrel::db::OdbcError)

class TestRetries : public QObject {
    Q_OBJECT

    static QString cities()
    {
        return test::scalar("SELECT IFNULL(GROUP_CONCAT(Acronym),'') FROM cities").value_or("?");
    }

private slots:
    void initTestCase()
    {
        test::useTestDatabase();
        db::setRetryLimits({3, 0, 1});
    }
    void init() { test::resetTables(); }

    // Each try writes a city, then the first `failing` tries meet the failure,
    // before their commit or after a commit that went through.
    void onlyWhatAnotherTransactionBeatRunsAgain_data()
    {
        QTest::addColumn<OdbcError>("failure");
        QTest::addColumn<int>("failing");
        QTest::addColumn<bool>("afterCommit");
        QTest::addColumn<QString>("outcome"); // tries, how it ended, the cities stored
        const OdbcError deadlock("40001", "Deadlock found", 1213);
        QTest::newRow("deadlock") << deadlock << 1 << false << "2 tries, done, BUD";
        QTest::newRow("lock wait timeout")
            << OdbcError("HY000", "Lock wait timeout", 1205) << 1 << false << "2 tries, done, BUD";
        QTest::newRow("certification, SQLSTATE only")
            << OdbcError("40001", "certification") << 1 << false << "2 tries, done, BUD";
        QTest::newRow("every try a deadlock") << deadlock << 9 << false << "3 tries, lost, ";
        QTest::newRow("duplicate key")
            << OdbcError("23000", "Duplicate entry", 1062) << 1 << false << "1 tries, 23000, ";
        QTest::newRow("deadlock after the commit")
            << deadlock << 1 << true << "1 tries, 40001, BUD";
        QTest::newRow("nothing") << deadlock << 0 << false << "1 tries, done, BUD";
    }
    void onlyWhatAnotherTransactionBeatRunsAgain()
    {
        QFETCH(OdbcError, failure);
        QFETCH(int, failing);
        QFETCH(bool, afterCommit);
        QFETCH(QString, outcome);
        db::OdbcConnection c(test::testConnectionString());
        int tries = 0;
        QString ended;
        try {
            const bool done = db::runTransaction(c, [&](db::Transaction &t) {
                c.execute(db::Statement("INSERT INTO cities VALUES (NULL,'BUD','B',1,'L','LND')"));
                if (afterCommit)
                    t.commit();
                if (++tries <= failing)
                    throw failure;
                t.commit();
            });
            ended = done ? "done" : "lost";
        } catch (const OdbcError &e) {
            ended = e.sqlState();
        }
        QCOMPARE(QStringLiteral("%1 tries, %2, %3").arg(tries).arg(ended, cities()), outcome);
    }

    // The connection breaks while COMMIT is on its way: the server may have
    // stored the city, so the failure is reported, the save never sent again.
    void aConnectionLostDuringCommitIsReportedNotRepeated()
    {
        db::OdbcConnection c(test::testConnectionString());
        const QString id =
            c.query(db::Statement("SELECT CONNECTION_ID()")).rows.front().front().value_or("");
        int tries = 0, lost = 0;
        try {
            (void)db::runTransaction(c, [&](db::Transaction &t) {
                ++tries;
                c.execute(db::Statement("INSERT INTO cities VALUES (NULL,'BUD','B',1,'L','LND')"));
                test::exec("KILL CONNECTION " + id);
                t.commit();
            });
        } catch (const OdbcError &e) {
            lost = e.nativeError();
        }
        QCOMPARE(tries, 1);
        // The COMMIT's own failure, not that of a second try on the broken
        // connection.
        QVERIFY2(lost == 2013 || lost == 2006, qPrintable(QString::number(lost)));
    }
};

QTEST_MAIN(TestRetries)
#include "tst_retries.moc"
