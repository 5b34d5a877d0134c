// The transaction runner against the test server: what it runs again (a
// transaction the server undid for another one), what it never runs again
// (any other failure, and above all a transaction whose COMMIT may have gone
// through), and what it says when every try lost; and two tills selling the
// same products, which must never lock each other.

#include "core/database/RetriedTransaction.h"
#include "core/statements/Sale.h"
#include "support/CoreSupport.h"

#include <QTest>
#include <thread>

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

    // Till A lowers the stock of product 1, then of product 2. Till B sells
    // both, its lines entered in descending order, between A's two steps.
    // Sent in product-ID order, B's stock updates wait behind A's first
    // and go on once A commits; in line order B would hold product 2 that A
    // wants next while it waits for product 1: a deadlock.
    void tillsSellingTheSameProductsNeverDeadlock()
    {
        test::exec("INSERT INTO customers VALUES (1, 'Ann', 'Lee', 'a', 'BUD', '1', 'a@b.c', "
                   "'1', '2008-03-05', 's')");
        test::exec("INSERT INTO products VALUES (1, 'Milk', 'Pcs', 10, 1, '1', '2008-03-05'), "
                   "(2, 'Jam', 'Pcs', 10, 2, '2', '2008-03-05')");
        const auto deadlocks = [] {
            return test::scalar("SELECT VARIABLE_VALUE FROM information_schema.GLOBAL_STATUS "
                                "WHERE VARIABLE_NAME = 'INNODB_DEADLOCKS'");
        };
        const db::Value deadlocksBefore = deadlocks();
        const auto lower = [](const char *id) {
            return db::Statement(QStringLiteral("UPDATE products SET Quantity = Quantity - 1 "
                                                "WHERE ID = %1")
                                     .arg(id));
        };
        db::OdbcConnection tillA(test::testConnectionString());
        db::OdbcConnection tillB(test::testConnectionString());
        const QString idB =
            tillB.query(db::Statement("SELECT CONNECTION_ID()")).rows[0][0].value_or("");
        // Declared in this order so that A's open transaction goes (rolled
        // back, should a check throw) before B is waited for.
        std::jthread b;
        std::optional<db::Transaction> saleA(std::in_place, tillA);
        tillA.execute(lower("1"));

        const sql::Sale saleB{
            1,
            "Ann Lee",
            QDate(2008, 3, 5),
            {{2, "Jam", 1, Money::parse(u"2,00")}, {1, "Milk", 1, Money::parse(u"1,00")}}};
        std::optional<QString> refusedB = QStringLiteral("not run");
        b = std::jthread([&] {
            const Outcome<sql::SaleIds> stored = sql::storeSale(tillB, saleB);
            refusedB = stored ? std::nullopt : std::optional(stored.refusal().message);
        });
        // B's stock update waits for A's lock on product 1.
        bool bWaited = false;
        for (int i = 0; i < 200 && !bWaited; ++i) {
            QTest::qWait(25);
            bWaited = test::scalar("SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID = "
                                   + idB + " AND INFO LIKE 'UPDATE products%'")
                      == db::Value("1");
        }
        QString failureA;
        try {
            tillA.execute(lower("2"));
            saleA->commit();
        } catch (const db::OdbcError &e) {
            failureA = e.what();
        }
        saleA.reset();
        b.join();
        QVERIFY(bWaited);
        QCOMPARE(failureA, QString());
        QVERIFY2(!refusedB, qPrintable(*refusedB));
        QCOMPARE(deadlocks(), deadlocksBefore);
        QCOMPARE(test::scalar("SELECT GROUP_CONCAT(Quantity ORDER BY ID) FROM products"),
                 db::Value("8,8"));
    }
};

QTEST_MAIN(TestRetries)
#include "tst_retries.moc"
