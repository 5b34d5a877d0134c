// The lists of sales ordered by sale, on enough sales (and indexes) that the
// planner would start from the customers or the products and sort every
// sale: each reads the sales first by ID, with no sort and no temporary
// table, and lists every sale whose customer and product exist, in order.

#include "core/statements/Find.h"
#include "core/statements/Lists.h"
#include "core/statements/Reports.h"
#include "support/CoreSupport.h"

#include <QTest>

using namespace kestrel;
using namespace kestrel::test;

Q_DECLARE_METATYPE(kestrel::db::Statement)

namespace {

constexpr int Sales = 5000;

QString field(const db::ResultSet &result, const db::Row &row, const char *name)
{
    return row.at(size_t(result.indexOf(QString::fromLatin1(name)))).value_or(QString());
}

} // namespace

class TestSalesLists : public QObject {
    Q_OBJECT

private slots:
    // Sales over 1,000 days from 2008-03-05, spread over 50 customers and 20
    // products; the last sale's customer and the one before's product are
    // gone.
    void initTestCase()
    {
        resetTables();
        exec("INSERT INTO customers SELECT seq, CONCAT('First', seq), CONCAT('Sur', seq), "
             "'Street 1', 'BUD', '1', 'a@b.c', '2', '2008-01-01', 'Ship' FROM seq_1_to_50");
        exec("INSERT INTO products SELECT seq, CONCAT('Item ', seq), 'Pcs', 100, 2.5, '0', "
             "'2008-03-05' FROM seq_1_to_20");
        exec(QStringLiteral("INSERT INTO turnover SELECT seq, 1 + seq % 20, 1, 2.5, 2.95, "
                            "DATE '2008-03-05' + INTERVAL (seq % 1000) DAY, 1 + seq % 50 "
                            "FROM seq_1_to_%1")
                 .arg(Sales));
        exec(QStringLiteral("UPDATE turnover SET CustomerID = IF(ID = %1, 99, CustomerID), "
                            "ProductID = IF(ID = %1, ProductID, 99) WHERE ID >= %1 - 1")
                 .arg(Sales));
        exec("ANALYZE TABLE customers, products, turnover");
    }

    void readSaleBySale_data()
    {
        QTest::addColumn<db::Statement>("statement");
        QTest::addColumn<int>("rows");
        QTest::newRow("all turnover") << sql::allTurnover().statement << Sales - 2;
        QTest::newRow("delete view of sales") << sql::deleteTransactions().statement << Sales - 2;
        QTest::newRow("show all sales to edit")
            << sql::showAll(sql::FindTable::Transactions).statement << Sales - 2;
        QTest::newRow("turnover between days holding every sale")
            << sql::turnoverBetween({QDate(2008, 1, 1), QDate(2011, 1, 1)}).statement << Sales - 2;
        QTest::newRow("today's turnover") << sql::todaysTurnover().statement << 0;
    }
    void readSaleBySale()
    {
        QFETCH(db::Statement, statement);
        QFETCH(int, rows);
        db::OdbcConnection connection(testConnectionString());
        const db::ResultSet plan =
            connection.query(db::Statement("EXPLAIN " + statement.sql, statement.params));
        QVERIFY(!plan.rows.empty());
        QCOMPARE(field(plan, plan.rows.front(), "table"), QStringLiteral("turnover"));
        for (const db::Row &step : plan.rows) {
            const QString extra = field(plan, step, "Extra");
            QVERIFY2(!extra.contains("filesort") && !extra.contains("temporary"),
                     qPrintable(extra));
        }

        const db::ResultSet listed = connection.query(statement);
        QCOMPARE(int(listed.rows.size()), rows);
        qint64 previous = 0;
        for (const db::Row &row : listed.rows) {
            const qint64 id = field(listed, row, "ID").toLongLong();
            QVERIFY(id > previous);
            QCOMPARE(field(listed, row, "SurName"), QStringLiteral("Sur%1").arg(1 + id % 50));
            QCOMPARE(field(listed, row, "Description"), QStringLiteral("Item %1").arg(1 + id % 20));
            previous = id;
        }
    }
};

QTEST_MAIN(TestSalesLists)
#include "tst_sales_lists.moc"
