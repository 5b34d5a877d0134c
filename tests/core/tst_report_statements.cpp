// The report forms' requests and the price change's statements, without a
// database: how each statement reads with its values written in, the
// captions and columns that travel with it, and the amount tidy-up.

#include "core/shared/Formats.h"
#include "core/statements/Reports.h"
#include "core/statements/Schema.h"
#include "support/CoreSupport.h"

#include <QTest>

using namespace kestrel;
using sql::DayRange;

Q_DECLARE_METATYPE(kestrel::ResultRequest)
Q_DECLARE_METATYPE(std::optional<kestrel::db::Statement>)

namespace {

const QDate March5(2008, 3, 5);

const QString SalesJoin = QStringLiteral(
    "SELECT STRAIGHT_JOIN "
    "turnover.ID,customers.FirstName,customers.SurName,turnover.Date,turnover.Quantity,"
    "products.UM,turnover.Price,turnover.PricewTax,products.Description FROM "
    "turnover,customers,products where (products.ID = turnover.ProductID) and "
    "(customers.ID = turnover.CustomerID)");

// "field width" of the first and the last column, and how many there are.
QString columnSummary(const ResultRequest &request)
{
    const ResultColumn &first = request.columns.front(), &last = request.columns.back();
    return QStringLiteral("%1: %2 %3, %4 %5")
        .arg(request.columns.size())
        .arg(first.fieldAndHeader, first.widthFraction, last.fieldAndHeader, last.widthFraction);
}

sql::ProductStoreCriteria quantityAndMarch()
{
    sql::ProductStoreCriteria c;
    c.quantity = QStringLiteral("0");
    c.delivered = DayRange{QDate(2008, 3, 1), QDate(2008, 3, 31)};
    return c;
}

} // namespace

class TestReportStatements : public QObject {
    Q_OBJECT

private slots:
    // Every report as the result window receives it.
    void requests_data()
    {
        QTest::addColumn<ResultRequest>("request");
        QTest::addColumn<QString>("rendered");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("columns");
        const QString sales = QStringLiteral("9: ID 0.0795, Description 0.2884");
        const QString products = QStringLiteral("7: ID 0.0795, LastDelivery 0.1980");

        QTest::newRow("turnover of one day")
            << sql::turnoverBetween({March5, March5})
            << SalesJoin + " and (Date BETWEEN '2008-03-05' AND '2008-03-05') order by turnover.ID;"
            << "Turnover Between 2008.March.05 and 2008.March.05" << sales;
        QTest::newRow("turnover, first day after the last")
            << sql::turnoverBetween({QDate(2009, 12, 31), QDate(2009, 1, 1)})
            << SalesJoin + " and (Date BETWEEN '2009-12-31' AND '2009-01-01') order by turnover.ID;"
            << "Turnover Between 2009.December.31 and 2009.January.01" << sales;
        QTest::newRow("all turnover") << sql::allTurnover() << SalesJoin + " order by turnover.ID;"
                                      << "All Turnover" << sales;

        QTest::newRow("in store, quantity 0 delivered in March")
            << sql::productsInStore(quantityAndMarch())
            << "SELECT * FROM products WHERE Quantity = '0' and LastDelivery BETWEEN "
               "'2008-03-01' AND '2008-03-31'"
            << "Product in Store" << products;
        sql::ProductStoreCriteria delivered;
        delivered.delivered = DayRange{March5, March5};
        QTest::newRow("in store, only delivered")
            << sql::productsInStore(delivered)
            << "SELECT * FROM products WHERE LastDelivery BETWEEN '2008-03-05' AND '2008-03-05'"
            << "Product in Store" << products;
        sql::ProductStoreCriteria texts;
        texts.barCode = QStringLiteral(" 599 ");
        texts.description = QStringLiteral("O'Brien's ?");
        texts.id = QStringLiteral("7");
        QTest::newRow("in store, texts in the fixed order, as typed")
            << sql::productsInStore(texts)
            << "SELECT * FROM products WHERE ID = '7' and Description = 'O''Brien''s ?' and "
               "BarCode = ' 599 '"
            << "Product in Store" << products;

        const std::pair<sql::ProductOrder, const char *> orders[] = {
            {sql::ProductOrder::ID, "ID"},
            {sql::ProductOrder::Description, "Description"},
            {sql::ProductOrder::UM, "UM"},
            {sql::ProductOrder::Quantity, "Quantity"},
            {sql::ProductOrder::Price, "Price"},
            {sql::ProductOrder::BarCode, "BarCode"},
            {sql::ProductOrder::LastDelivery, "LastDelivery"}};
        for (const auto &[order, column] : orders) {
            const QString name = QString::fromLatin1(column);
            QTest::newRow(qPrintable("products list by " + name))
                << sql::productsList(order) << "SELECT * FROM products order by " + name
                << "Product in Store ordered by "
                       + (name == "LastDelivery" ? QStringLiteral("Last Delivery") : name)
                << products;
        }

        QTest::newRow("top ten by visits")
            << sql::topTenCustomers(sql::CustomerRanking::Visits)
            << "select customers.*,sales.Visited from customers,(select turnover.customerid,"
               "count(*) as Visited from turnover group by turnover.customerid) as sales where "
               "sales.customerid = customers.id order by Visited desc limit 10;"
            << "TOP 10 Customer ordered by Visited"
            << "11: ID 0.0337, Visited 0.0675";
        QTest::newRow("top ten by amount")
            << sql::topTenCustomers(sql::CustomerRanking::Amount)
            << "select customers.*,sales.Bought from customers,(select turnover.customerid,"
               "sum(turnover.price * turnover.quantity) as Bought  from turnover group by "
               "turnover.customerid) as sales where sales.customerid = customers.id order by "
               "Bought desc limit 10;"
            << "TOP 10 Customer ordered by Bought"
            << "11: ID 0.0337, Bought 0.0675";
    }
    void requests()
    {
        QFETCH(ResultRequest, request);
        QFETCH(QString, rendered);
        QFETCH(QString, caption);
        QFETCH(QString, columns);
        QCOMPARE(request.statement.rendered(), rendered);
        QCOMPARE(qsizetype(request.statement.params.size()),
                 request.statement.sql.count(QLatin1Char('?')));
        QCOMPARE(request.caption, caption);
        QCOMPARE(columnSummary(request), columns);
        QCOMPARE(request.rowHeaderWidth, QStringLiteral("0.02"));
        QVERIFY(request.deleteTable.isEmpty());
        QVERIFY(!request.pickFlag);
    }

    // What stops the product-in-store report: the first ticked criterion
    // left empty, in the fixed order, then an empty selection.
    void productStoreProblems_data()
    {
        QTest::addColumn<QStringList>("ticked"); // criterion=text; "Delivered" alone
        QTest::addColumn<QString>("problem");
        QTest::newRow("nothing ticked") << QStringList{} << "You haven't selected category!";
        QTest::newRow("ID empty") << QStringList{"ID="}
                                  << "You have selected ID, but that is empty!";
        QTest::newRow("first empty in order wins")
            << QStringList{"ID=1", "BarCode=", "Description="}
            << "You have selected Description, but that is empty!";
        QTest::newRow("quantity empty beside delivered")
            << QStringList{"Delivered", "Quantity="}
            << "You have selected Quantity, but that is empty!";
        QTest::newRow("a blank is text") << QStringList{"Description= "} << "";
        QTest::newRow("delivered alone") << QStringList{"Delivered"} << "";
        QTest::newRow("barcode alone") << QStringList{"BarCode=0"} << "";
    }
    void productStoreProblems()
    {
        QFETCH(QStringList, ticked);
        QFETCH(QString, problem);
        sql::ProductStoreCriteria c;
        for (const QString &t : ticked) {
            const QString name = t.section('=', 0, 0), text = t.section('=', 1);
            std::optional<QString> *slot = name == "ID"            ? &c.id
                                           : name == "Description" ? &c.description
                                           : name == "Quantity"    ? &c.quantity
                                           : name == "BarCode"     ? &c.barCode
                                                                   : nullptr;
            if (slot)
                *slot = text;
            else
                c.delivered = DayRange{March5, March5};
        }
        QCOMPARE(sql::productStoreProblem(c), problem);
    }

    // The change of every price: the amount reaches the statement as the
    // number typed, decimals and all, and never as anything else.
    void priceChanges_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("direction");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("rendered"); // empty: refused
        const int percentage = int(sql::PriceChangeKind::Percentage),
                  absolute = int(sql::PriceChangeKind::Absolute);
        const int plus = int(sql::PriceDirection::Plus), minus = int(sql::PriceDirection::Minus);
        QTest::newRow("percentage up")
            << percentage << plus << "10,00"
            << "update products set price = price + 10.00 / 100 * price;";
        QTest::newRow("percentage down, half a percent kept")
            << percentage << minus << "12,5"
            << "update products set price = price - 12.50 / 100 * price;";
        QTest::newRow("absolute up, no grouping") << absolute << plus << "1234,56"
                                                  << "update products set price = price + 1234.56;";
        QTest::newRow("absolute down, whole") << absolute << minus << "3"
                                              << "update products set price = price - 3.00;";
        QTest::newRow("zero") << absolute << plus << "0,00"
                              << "update products set price = price + 0.00;";
        QTest::newRow("two commas") << percentage << plus << "1,2,3"
                                    << "";
        QTest::newRow("lone comma") << absolute << minus << ","
                                    << "";
        QTest::newRow("empty") << absolute << minus << ""
                               << "";
        QTest::newRow("negative") << absolute << plus << "-3"
                                  << "";
        QTest::newRow("exponent") << percentage << plus << "1e2"
                                  << "";
    }
    void priceChanges()
    {
        QFETCH(int, kind);
        QFETCH(int, direction);
        QFETCH(QString, amount);
        QFETCH(QString, rendered);
        const sql::PriceChange change{sql::PriceChangeKind(kind), sql::PriceDirection(direction),
                                      amount};
        const std::optional<db::Statement> update = sql::changeAllPrices(change);
        const std::optional<db::Statement> cheaper = sql::productsCheaperThan(amount);
        QCOMPARE(update.has_value(), !rendered.isEmpty());
        QCOMPARE(cheaper.has_value(), !rendered.isEmpty());
        if (rendered.isEmpty())
            return;
        QCOMPARE(update->rendered(), rendered);
        QCOMPARE(update->params.size(), size_t(1));
        QCOMPARE(update->params.front().kind(), db::SqlValue::Kind::Decimal);
        QCOMPARE(cheaper->sql,
                 QStringLiteral("SELECT COUNT(*) FROM products WHERE Price < ? FOR UPDATE"));
        QCOMPARE(cheaper->params, update->params);
        QCOMPARE(change.canGoBelowZero(), kind == int(sql::PriceChangeKind::Absolute)
                                              && direction == int(sql::PriceDirection::Minus));
    }

    // The amount box's tidy-up as it loses the focus: "####0.00".
    void tidyAmounts_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("tidy");
        // Rounding and carries as Money reads amounts: tst_money.
        const char *rows[][3] = {{"one decimal", "12,5", "12,50"},
                                 {"whole", "7", "7,00"},
                                 {"rounds half up on the digits", "0,125", "0,13"},
                                 {"already tidy", "5000,00", "5000,00"},
                                 {"two commas stay", "1,2,3", "1,2,3"},
                                 {"lone comma stays", ",", ","},
                                 {"a sign stays", "-1", "-1"},
                                 {"empty stays", "", ""}};
        for (const auto &[name, typed, tidy] : rows)
            QTest::newRow(name) << QString(typed) << QString(tidy);
    }
    void tidyAmounts()
    {
        QFETCH(QString, typed);
        QFETCH(QString, tidy);
        QCOMPARE(fmt::tidyAmount(typed), tidy);
    }

    // The products and sales tables get their indexes right after each is
    // created, and the table statements stay as they are sent.
    void schemaCarriesTheSalesIndexes()
    {
        const QList<sql::TableStatement> tables = sql::schemaStatements();
        QStringList names, indexes;
        for (const sql::TableStatement &t : tables) {
            names.append(t.table);
            QVERIFY(t.statement.sql.startsWith("CREATE TABLE `" + t.table + "` ("));
            for (const db::Statement &index : t.indexes)
                indexes.append(t.table + ": " + index.sql);
        }
        QCOMPARE(names, (QStringList{"cities", "customers", "products", "turnover"}));
        QVERIFY(tables.last().statement.sql.endsWith("PRIMARY KEY ( `ID` ))"));
        QCOMPARE(indexes, (QStringList{"products: CREATE INDEX `BarCode` ON `products` ( "
                                       "`BarCode` );",
                                       "turnover: CREATE INDEX `Date` ON `turnover` ( `Date` );",
                                       "turnover: CREATE INDEX `CustomerID` ON `turnover` ( "
                                       "`CustomerID` );",
                                       "turnover: CREATE INDEX `ProductID` ON `turnover` ( "
                                       "`ProductID` );"}));
    }
};

QTEST_GUILESS_MAIN(TestReportStatements)
#include "tst_report_statements.moc"
