// The sale in the core: the order of the checks before a sale is sent, and
// the order its stock updates take on the server.

#include "core/statements/Sale.h"
#include "support/CoreSupport.h"

#include <QTest>
#include <thread>

using namespace kestrel;

Q_DECLARE_METATYPE(std::optional<qint64>)

namespace {

sql::Sale saleOf(std::optional<qint64> customerId, const QList<qint64> &products, qint64 quantity)
{
    sql::Sale sale{customerId, QStringLiteral("Anna Kovacs"), QDate(2008, 3, 5), {}};
    for (const qint64 product : products)
        sale.lines.push_back({product, QStringLiteral("Milk"), quantity, Money::parse(u"1,50")});
    return sale;
}

} // namespace

class TestSaleStatements : public QObject {
    Q_OBJECT

private slots:
    // The first failed check, in order: customer, a line, a quantity on
    // every line, a total Kestrel keeps exactly.
    void checks_data()
    {
        QTest::addColumn<std::optional<qint64>>("customer");
        QTest::addColumn<QList<qint64>>("quantities");
        QTest::addColumn<QString>("message");
        const std::optional<qint64> none, customer = 17;
        QTest::newRow("no customer, a line") << none << QList<qint64>{0} << "No Customer added!!!";
        QTest::newRow("no line") << customer << QList<qint64>()
                                 << "Product chart can't be empty!!!";
        QTest::newRow("second line waiting")
            << customer << QList<qint64>{2, 0} << "Quantity of Milk (ID 3) can't be 0!!!";
        QTest::newRow("total beyond the largest amount")
            << customer << QList<qint64>{2, 999999999999999}
            << "The total of this sale is larger than 9999999999999,99, the largest amount "
               "Kestrel keeps exactly!!!";
        QTest::newRow("ready") << customer << QList<qint64>{2, 7} << "";
    }
    void checks()
    {
        QFETCH(std::optional<qint64>, customer);
        QFETCH(QList<qint64>, quantities);
        QFETCH(QString, message);
        sql::Sale sale = saleOf(customer, {}, 0);
        for (const qint64 quantity : quantities)
            sale.lines.push_back({3, QStringLiteral("Milk"), quantity, Money::parse(u"1,50")});
        QCOMPARE(sql::checkSale(sale).value_or(QString()), message);
    }

    // Two tills lowering the same stocks in opposite orders would each wait
    // for the other; so stocks are lowered by product ID, numerically. A
    // sale entered as 100, 12, 3 that waits for product 3 holds neither 12
    // nor 100 meanwhile.
    void stocksAreLoweredInIdOrder()
    {
        test::useTestDatabase();
        test::resetTables();
        test::exec("INSERT INTO customers VALUES (1,'Anna','Kovacs','Main 1','BUD','1','a@b.c','1',"
                   "NULL,'')");
        test::exec(
            "INSERT INTO products SELECT seq, 'Milk', 'Pcs', 5, 1.5, '1', NULL FROM seq_1_to_100 "
            "WHERE seq IN (3, 12, 100)");
        test::HeldRows three(test::testConnectionString(),
                             "SELECT ID FROM products WHERE ID = 3 FOR UPDATE");
        QString stored;
        std::jthread till([&] {
            db::OdbcConnection c(test::testConnectionString());
            stored = sql::storeSale(c, saleOf(1, {100, 12, 3}, 2)) ? "stored" : "refused";
        });
        bool waiting = false;
        for (int i = 0; i < 60 && !waiting; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            waiting = test::scalar("SELECT COUNT(*) FROM information_schema.PROCESSLIST "
                                   "WHERE INFO LIKE 'UPDATE products%'")
                          ->toInt();
        }
        db::OdbcConnection office(test::testConnectionString());
        const size_t free =
            office
                .query(db::Statement("SELECT ID FROM products WHERE ID > 3 FOR UPDATE SKIP LOCKED"))
                .rows.size();
        three.release();
        till.join();
        QVERIFY(waiting);
        QCOMPARE(free, size_t(2));
        QCOMPARE(stored, QStringLiteral("stored"));
        QCOMPARE(test::scalar("SELECT GROUP_CONCAT(Quantity ORDER BY ID) FROM products"),
                 db::Value(QStringLiteral("3,3,3")));
    }
};

QTEST_MAIN(TestSaleStatements)
#include "tst_sale_statements.moc"
