// Selling by bar code and reading a sale's receipt, against the server: the
// lookup's plan and rows, which rows make the sale around a row, and a
// receipt's figures against sums the server computes itself.

#include "core/shared/Formats.h"
#include "core/statements/BarCode.h"
#include "core/statements/Receipt.h"
#include "support/CoreSupport.h"

#include <QRandomGenerator>

using namespace kestrel;
using namespace kestrel::test;

namespace {

QString field(const db::ResultSet &set, const db::Row &row, const char *name)
{
    return row[size_t(set.indexOf(QString::fromLatin1(name)))].value_or(QString());
}

// Sales as "customer:date" per turnover row, IDs 1, 2, ... in order.
void seedSales(const QStringList &rows)
{
    exec("INSERT INTO products VALUES (1,'Milk','Pcs',100,1.50,'1','2008-03-05')");
    for (const QString &row : rows) {
        const QString date = row.section(':', 1);
        exec("INSERT INTO turnover VALUES (NULL,1,1,1.50,1.77,"
             + (date.isEmpty() ? QStringLiteral("NULL") : "'" + date + "'") + ","
             + row.section(':', 0, 0) + ")");
    }
}

} // namespace

class TestTillStatements : public QObject {
    Q_OBJECT
private slots:
    void init() { resetTables(); }

    // The lookup reads the one index entry, not the products table.
    void barCodeLookupUsesItsIndex()
    {
        exec("INSERT INTO products (Description,UM,Quantity,Price,BarCode) SELECT CONCAT('P',"
             "seq),'Pcs',5,1,CONCAT('599',seq) FROM seq_1_to_5000");
        exec("ANALYZE TABLE products");
        db::OdbcConnection connection(testConnectionString());
        const db::Statement lookup = sql::productsWithBarCode("5994711");
        const db::ResultSet plan =
            connection.query(db::Statement("EXPLAIN " + lookup.sql, lookup.params));
        QCOMPARE(field(plan, plan.rows.front(), "key"), QStringLiteral("BarCode"));
        QCOMPARE(field(plan, plan.rows.front(), "rows"), QStringLiteral("1"));
        const std::vector<QStringList> found = sql::scannedProducts(connection, "5994711");
        QCOMPARE(found.size(), size_t(1));
        QCOMPARE(found.front().mid(0, 6), (QStringList{"", "4711", "P4711", "Pcs", "5", "1,00"}));
    }

    void saleAroundARow_data()
    {
        QTest::addColumn<QStringList>("rows"); // customer:date per row, IDs from 1
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("sale"); // IDs of the receipt's rows
        const QStringList three{"1:2008-03-05", "1:2008-03-05", "2:2008-03-05",
                                "2:2008-03-05", "2:2008-03-06", "1:2008-03-06"};
        QTest::newRow("the first sale, from its last row") << three << 2 << "1|2";
        QTest::newRow("between sales of other customers") << three << 3 << "3|4";
        QTest::newRow("the same customer on another day") << three << 5 << "5";
        QTest::newRow("the last sale") << three << 6 << "6";
        QTest::newRow("one customer, another day between")
            << QStringList{"1:2008-03-05", "1:2008-03-06", "1:2008-03-05"} << 1 << "1";
        QTest::newRow("rows without a date")
            << QStringList{"1:", "1:", "1:2008-03-05"} << 1 << "1|2";
    }
    void saleAroundARow()
    {
        QFETCH(QStringList, rows);
        QFETCH(int, row);
        QFETCH(QString, sale);
        seedSales(rows);
        db::OdbcConnection connection(testConnectionString());
        const std::optional<sql::SaleRows> found = sql::saleOfRow(connection, row);
        QVERIFY(found);
        QString problem;
        const std::optional<sql::Receipt> receipt = sql::readReceipt(connection, *found, &problem);
        QVERIFY2(receipt, qPrintable(problem));
        QStringList ids;
        for (qint64 id = receipt->firstId; id <= receipt->lastId; ++id)
            ids.append(QString::number(id));
        QCOMPARE(ids.join('|'), sale);
        QCOMPARE(int(receipt->lines.size()), int(ids.size()));
        QVERIFY(!sql::saleOfRow(connection, 99));
    }

    // Random prices with tax rounded as the sale form stores them; the
    // receipt's totals are the server's own sums of the stored rows.
    void receiptTotalsAreTheServersSums()
    {
        QRandomGenerator random(7);
        exec("INSERT INTO customers (ID,FirstName,SurName,Address,City,Email,ShippingAddress) "
             "VALUES (3,'Anna','Kovacs','a','BUD','e','s')");
        exec("INSERT INTO products VALUES (1,'Milk','Pcs',100,1.50,'1','2008-03-05')");
        for (int i = 0; i < 40; ++i) {
            const qint64 cents = random.bounded(1, 10'000'000);
            const qint64 withTax = (cents * 118 + 50) / 100;
            exec(
                QStringLiteral("INSERT INTO turnover VALUES (NULL,1,%1,%2.%3,%4.%5,'2008-03-05',3)")
                    .arg(random.bounded(1, 500))
                    .arg(cents / 100)
                    .arg(cents % 100, 2, 10, QLatin1Char('0'))
                    .arg(withTax / 100)
                    .arg(withTax % 100, 2, 10, QLatin1Char('0')));
        }
        db::OdbcConnection connection(testConnectionString());
        QString problem;
        const std::optional<sql::Receipt> receipt =
            sql::readReceipt(connection, {5, 30, 3, QDate(2008, 3, 5)}, &problem);
        QVERIFY2(receipt, qPrintable(problem));
        QCOMPARE(receipt->customer, QStringLiteral("Anna Kovacs"));
        QCOMPARE(receipt->lines.size(), size_t(26));
        const db::Value sums =
            scalar("SELECT CONCAT_WS('|',CAST(SUM(Quantity*CAST(Price AS DECIMAL(20,2))) AS "
                   "DECIMAL(20,2)),CAST(SUM(Quantity*CAST(PricewTax AS DECIMAL(20,2))) AS "
                   "DECIMAL(20,2))) FROM turnover WHERE ID BETWEEN 5 AND 30");
        QCOMPARE(receipt->net.digits('.') + '|' + receipt->gross.digits('.'), *sums);
        QCOMPARE(receipt->tax.cents(), receipt->gross.cents() - receipt->net.cents());
    }
};

QTEST_GUILESS_MAIN(TestTillStatements)
#include "tst_till_statements.moc"
