// The find forms' searches without a database: the statement each set of
// ticked criteria gives, read with its bound values written in, and the
// message that stops a search instead.

#include "core/statements/Find.h"
#include "support/CoreSupport.h"

#include <QTest>

using namespace kestrel;
using sql::FindEntry;
using sql::FindTable;
using Entries = std::vector<FindEntry>;

Q_DECLARE_METATYPE(kestrel::sql::FindTable)
Q_DECLARE_METATYPE(std::vector<kestrel::sql::FindEntry>)

namespace {

const QString SalesView = QStringLiteral(
    "SELECT turnover.ID,customers.SurName,customers.FirstName,turnover.Date,turnover.Quantity,"
    "products.UM,turnover.Price,turnover.PricewTax,products.Description FROM "
    "turnover,customers,products where (products.ID = turnover.ProductID) and "
    "(customers.ID = turnover.CustomerID)");

FindEntry day(const char *criterion, QDate date)
{
    return {criterion, {}, date, {}};
}

FindEntry picked(const char *criterion, const char *text, qint64 id)
{
    return {criterion, text, {}, id};
}

// The request's statement as it reads with its values written in; every
// value must be bound, none spliced into the text.
void readStatement(const sql::FindResult &found, QString &rendered)
{
    QVERIFY2(found.request, qPrintable(found.message));
    const db::Statement &statement = found.request->statement;
    QVERIFY(!statement.sql.contains(QLatin1Char('\'')));
    QCOMPARE(qsizetype(statement.params.size()), statement.sql.count(QLatin1Char('?')));
    rendered = statement.rendered();
}

} // namespace

class TestFindStatements : public QObject {
    Q_OBJECT

private slots:
    void statements_data()
    {
        QTest::addColumn<FindTable>("table");
        QTest::addColumn<Entries>("ticked");
        QTest::addColumn<QString>("rendered");
        const QDate march5(2008, 3, 5);

        QTest::newRow("city: only Country") << FindTable::Cities << Entries{{"Country", "Zimbabwe"}}
                                            << "SELECT * FROM cities WHERE Country = 'Zimbabwe'";
        QTest::newRow("city: the country code before the country, whatever the order given")
            << FindTable::Cities << Entries{{"Country", "Chad "}, {"CountryCode", "TCD"}}
            << "SELECT * FROM cities WHERE CountryCode = 'TCD' and Country = 'Chad '";
        QTest::newRow("city: quotes and a backslash stay values")
            << FindTable::Cities
            << Entries{{"FullName", "C\u00f4te d'Ivoire"}, {"Acronym", "\\'"}, {"ID", "7"}}
            << "SELECT * FROM cities WHERE ID = '7' and Acronym = '\\''' and FullName = "
               "'C\u00f4te d''Ivoire'";
        QTest::newRow("customer: SurName and City")
            << FindTable::Customers << Entries{{"City", "BUD"}, {"SurName", "Smith"}}
            << "SELECT * FROM customers WHERE SurName = 'Smith' and City = 'BUD'";
        QTest::newRow("customer: only Joined")
            << FindTable::Customers << Entries{day("Joined", march5)}
            << "SELECT * FROM customers WHERE Joined = '2008-03-05'";
        QTest::newRow("customer: values go in as typed, blanks and all")
            << FindTable::Customers
            << Entries{{"ShippingAddress", " Main St.\n2 "}, {"Email", "o'brien@x.ie"}}
            << "SELECT * FROM customers WHERE Email = 'o''brien@x.ie' and ShippingAddress = ' "
               "Main St.\n2 '";
        QTest::newRow("product: Description and a price with a comma")
            << FindTable::Products << Entries{{"Description", "Milk"}, {"Price", "1,20"}}
            << "SELECT * FROM products WHERE Description = 'Milk' and Price = 1.20";
        QTest::newRow("product: only Price, no and")
            << FindTable::Products << Entries{{"Price", "12,5"}}
            << "SELECT * FROM products WHERE Price = 12.50";
        QTest::newRow("product: the unit's name") << FindTable::Products << Entries{{"UM", "Kgs"}}
                                                  << "SELECT * FROM products WHERE UM = 'Kgs'";
        QTest::newRow("product: only LastDelivery")
            << FindTable::Products << Entries{day("LastDelivery", march5)}
            << "SELECT * FROM products WHERE LastDelivery = '2008-03-05'";
        QTest::newRow("sales: ID and Quantity")
            << FindTable::Transactions << Entries{{"Quantity", "3"}, {"ID", "12"}}
            << SalesView
                   + "and turnover.ID = '12' and turnover.Quantity = '3' order by turnover.ID;";
        QTest::newRow("sales: only Date")
            << FindTable::Transactions << Entries{day("Date", QDate(1999, 12, 31))}
            << SalesView + "and turnover.Date = '1999-12-31' order by turnover.ID;";
        QTest::newRow("sales: a picked customer is that customer")
            << FindTable::Transactions << Entries{picked("CustomerID", "Smith", 16)}
            << SalesView + "and turnover.CustomerID = 16 order by turnover.ID;";
        QTest::newRow("sales: names typed over the picks, and every criterion in its place")
            << FindTable::Transactions
            << Entries{day("Date", march5), {"CustomerID", "O'Neil"}, {"PricewTax", "3,54"},
                       {"Price", "3"},      {"Quantity", "2"},        {"ProductID", "Flour"},
                       {"ID", "22"}}
            << SalesView
                   + "and turnover.ID = '22' and products.Description = 'Flour' and "
                     "turnover.Quantity = '2' and turnover.Price = 3.00 and turnover.PricewTax = "
                     "3.54 and customers.SurName = 'O''Neil' and turnover.Date = '2008-03-05' "
                     "order by turnover.ID;";
        QTest::newRow("sales: a picked product")
            << FindTable::Transactions << Entries{picked("ProductID", "Milk", 11)}
            << SalesView
                   + "and turnover.ProductID = 11 order by "
                     "turnover.ID;";
    }
    void statements()
    {
        QFETCH(FindTable, table);
        QFETCH(Entries, ticked);
        QFETCH(QString, rendered);
        QString read;
        KESTREL_CHECK(readStatement(sql::find(table, ticked), read));
        QCOMPARE(read, rendered);
    }

    void messages_data()
    {
        QTest::addColumn<FindTable>("table");
        QTest::addColumn<Entries>("ticked");
        QTest::addColumn<QString>("message");
        const QString nothing = QStringLiteral("You haven't selected category!");
        for (const FindTable table : {FindTable::Cities, FindTable::Customers, FindTable::Products,
                                      FindTable::Transactions})
            QTest::addRow("nothing ticked, %d", int(table)) << table << Entries{} << nothing;
        QTest::newRow("no country selected")
            << FindTable::Cities << Entries{{"Country", ""}}
            << "You have selected Country, but type is not selected!";
        QTest::newRow("first empty one in the order")
            << FindTable::Customers << Entries{{"SurName", ""}, {"ID", ""}}
            << "You have selected ID, but that is empty!";
        QTest::newRow("a filled one before does not help")
            << FindTable::Products << Entries{{"ID", "5"}, {"Description", ""}}
            << "You have selected Description, but that is empty!";
        QTest::newRow("blanks only")
            << FindTable::Customers << Entries{{"SurName", "  \t"}, {"City", ""}}
            << "You have selected Sur Name, but that is empty!";
        QTest::newRow("lines of blanks")
            << FindTable::Customers << Entries{{"ShippingAddress", " \n "}}
            << "You have selected Shipping Address, but that is empty!";
        QTest::newRow("no unit selected") << FindTable::Products << Entries{{"UM", ""}}
                                          << "You have selected UM, but type is not selected!";
        QTest::newRow("no amount") << FindTable::Products << Entries{{"Price", "1,,2"}}
                                   << "Price must be an amount such as 12,50!!!";
        QTest::newRow("a lone comma") << FindTable::Transactions << Entries{{"PricewTax", ","}}
                                      << "Price with Tax must be an amount such as 12,50!!!";
        QTest::newRow("empty price with tax")
            << FindTable::Transactions << Entries{{"PricewTax", ""}, {"Quantity", "1"}}
            << "You have selected Price with Tax, but that is empty!";
        QTest::newRow("customer not picked")
            << FindTable::Transactions
            << Entries{{"CustomerID", ""}, day("Date", QDate(2008, 1, 1))}
            << "You have selected Customer , but that isn't picked!";
        QTest::newRow("product before customer")
            << FindTable::Transactions << Entries{{"CustomerID", ""}, {"ProductID", " "}}
            << "You have selected Product , but that isn't picked!";
    }
    void messages()
    {
        QFETCH(FindTable, table);
        QFETCH(Entries, ticked);
        QFETCH(QString, message);
        const sql::FindResult found = sql::find(table, ticked);
        QVERIFY(!found.request);
        QCOMPARE(found.message, message);
    }
};

QTEST_GUILESS_MAIN(TestFindStatements)
#include "tst_find_statements.moc"
