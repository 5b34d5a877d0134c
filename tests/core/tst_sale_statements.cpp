// The sale's statements and checks without a database: the price with tax
// computed exactly, the values bound rather than written into the text, and
// the order of the checks before a sale is sent.

#include "core/shared/Formats.h"
#include "core/statements/Sale.h"
#include "support/CoreSupport.h"

#include <QTest>

using namespace kestrel;

Q_DECLARE_METATYPE(kestrel::db::Statement)
Q_DECLARE_METATYPE(std::optional<qint64>)

namespace {

sql::Sale saleOf(std::optional<qint64> customerId, const QList<qint64> &quantities)
{
    sql::Sale sale{customerId, QStringLiteral("Anna Kovacs"), QDate(2008, 3, 5), {}};
    for (const qint64 quantity : quantities)
        sale.lines.push_back({3, QStringLiteral("Milk"), quantity, Money::parse(u"1,50")});
    return sale;
}

} // namespace

class TestSaleStatements : public QObject {
    Q_OBJECT

private slots:
    // Cents of price * 1.18, halves away from zero; "" where the price is no
    // amount or its price with tax would pass the largest amount. 0,25 and
    // 1,75 land exactly on half a cent, which a binary fraction misses.
    void priceWithTax_data()
    {
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("withTax");
        const char *rows[][3] = {{"decimal comma", "1,50", "1,77"},
                                 {"half a cent", "0,25", "0,30"},
                                 {"half a cent above a whole", "1,75", "2,07"},
                                 {"half a cent below zero", "-0,25", "-0,30"},
                                 {"below half a cent", "0,01", "0,01"},
                                 {"largest", "8474576271186,43", "9999999999999,99"},
                                 {"beyond the largest", "8474576271186,44", ""},
                                 {"no amount", "1,2,3", ""}};
        for (const auto &[name, price, withTax] : rows)
            QTest::newRow(name) << QString(price) << QString(withTax);
    }
    void priceWithTax()
    {
        QFETCH(QString, price);
        QFETCH(QString, withTax);
        const std::optional<Money> net = Money::parse(price);
        const std::optional<Money> gross = net ? sql::priceWithTax(*net) : std::nullopt;
        QCOMPARE(gross ? fmt::formatAmount(*gross) : QString(), withTax);
    }

    // Every picked or typed value is bound; the amounts reach the server with
    // a point, the ID of a new row is NULL.
    void statements_data()
    {
        QTest::addColumn<db::Statement>("statement");
        QTest::addColumn<QString>("rendered");
        const sql::Sale sale = saleOf(17, {7});
        QTest::newRow("turnover row")
            << sql::insertTurnover(sale, sale.lines.front())
            << "INSERT INTO turnover(ID,ProductID,Quantity,Price,PricewTax,Date,CustomerID) "
               "values(NULL,3,7,1.50,1.77,'2008-03-05',17)";
        QTest::newRow("stock lowered only where enough is left")
            << sql::lowerStock(sale.lines.front())
            << "UPDATE products SET Quantity = Quantity - 7 WHERE ID = 3 AND Quantity >= 7";
    }
    void statements()
    {
        QFETCH(db::Statement, statement);
        QFETCH(QString, rendered);
        QCOMPARE(statement.rendered(), rendered);
        QCOMPARE(qsizetype(statement.params.size()), statement.sql.count(QLatin1Char('?')));
    }

    // The first failed check, in order: customer, a line, a quantity on
    // every line.
    void checks_data()
    {
        QTest::addColumn<std::optional<qint64>>("customer");
        QTest::addColumn<QList<qint64>>("quantities");
        QTest::addColumn<QString>("message");
        const QString noCustomer = "No Customer added!!!", noQuantity = "Quantity of Milk (ID 3) "
                                                                        "can't be 0!!!";
        const std::optional<qint64> none, customer = 17;
        QTest::newRow("no customer, a line") << none << QList<qint64>{0} << noCustomer;
        QTest::newRow("no customer, no line") << none << QList<qint64>() << noCustomer;
        QTest::newRow("no line") << customer << QList<qint64>()
                                 << "Product chart can't be empty!!!";
        QTest::newRow("second line waiting") << customer << QList<qint64>{2, 0} << noQuantity;
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
        QCOMPARE(sql::checkSale(saleOf(customer, quantities)).value_or(QString()), message);
    }

    // Stocks are lowered by product ID, numerically, lines of one product in
    // their own order.
    void stockOrder()
    {
        sql::Sale sale;
        for (const qint64 id : {12, 3, 100, 3, 20})
            sale.lines.push_back({id, "x", 1, Money::parse(u"1")});
        QCOMPARE(sql::stockOrder(sale), (std::vector<size_t>{1, 3, 0, 4, 2}));
    }
};

QTEST_MAIN(TestSaleStatements)
#include "tst_sale_statements.moc"
