// The statements module without a database: each statement's text, the
// values bound to it, and how it reads with those values written in.

#include "core/statements/Deletes.h"
#include "core/statements/Lists.h"
#include "core/statements/Records.h"
#include "support/CoreSupport.h"

#include <QTest>

using namespace kestrel;
using db::SqlValue;

Q_DECLARE_METATYPE(kestrel::db::Statement)
Q_DECLARE_METATYPE(kestrel::ResultRequest)

class TestStatements : public QObject {
    Q_OBJECT

private slots:
    // Each statement as it reads with its values written in as literals, and
    // its text with the "?" marks; the marks must match the values.
    void statements_data()
    {
        QTest::addColumn<db::Statement>("statement");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("rendered");
        const QStringList cityColumns{"Acronym", "FullName", "PostalCode", "Country",
                                      "CountryCode"};
        QTest::newRow("insert, the server numbers the row")
            << sql::insertRow("cities", cityColumns,
                              {SqlValue::text("BUD"), SqlValue::text("Budapest"),
                               SqlValue::text("1011"), SqlValue::text("Hungary "),
                               SqlValue::text("HUN")})
            << "INSERT INTO cities(ID,Acronym,FullName,PostalCode,Country,CountryCode) "
               "values(NULL,?,?,?,?,?)"
            << "INSERT INTO cities(ID,Acronym,FullName,PostalCode,Country,CountryCode) "
               "values(NULL,'BUD','Budapest','1011','Hungary ','HUN')";
        QTest::newRow("insert, quotes, backslash, question mark, date, amount")
            << sql::insertRow("products", {"Description", "Price", "LastDelivery"},
                              {SqlValue::text("O'Brien's \\ \"best\"?"), sql::typedAmount("1,20"),
                               SqlValue::date(QDate(2008, 3, 5))})
            << "INSERT INTO products(ID,Description,Price,LastDelivery) values(NULL,?,?,?)"
            << "INSERT INTO products(ID,Description,Price,LastDelivery) "
               "values(NULL,'O''Brien''s \\ \"best\"?',1.20,'2008-03-05')";
        QTest::newRow("delete keeps its blank")
            << sql::deleteRecord("customers", "17") << "DELETE FROM `customers` WHERE `ID` = ?;"
            << "DELETE FROM `customers` WHERE `ID` = '17 ';";
        QTest::newRow("delete, a shown ID with a quote stays one value")
            << sql::deleteRecord("cities", "2' OR '1'='1") << "DELETE FROM `cities` WHERE `ID` = ?;"
            << "DELETE FROM `cities` WHERE `ID` = '2'' OR ''1''=''1 ';";
        QTest::newRow("sales of a customer, bound as the delete binds the ID")
            << sql::referencesTo("customers", "17")->count
            << "SELECT COUNT(*) FROM turnover WHERE CustomerID = ? LOCK IN SHARE MODE"
            << "SELECT COUNT(*) FROM turnover WHERE CustomerID = '17 ' LOCK IN SHARE MODE";
        QTest::newRow("customers of a city's acronym, no other city having it")
            << sql::referencesTo("cities", "4' OR '1")->count
            << "SELECT COUNT(*) FROM customers WHERE City IN (SELECT Acronym FROM cities WHERE "
               "ID = ?) AND City NOT IN (SELECT Acronym FROM cities WHERE ID <> ?) LOCK IN SHARE "
               "MODE"
            << "SELECT COUNT(*) FROM customers WHERE City IN (SELECT Acronym FROM cities WHERE "
               "ID = '4'' OR ''1 ') AND City NOT IN (SELECT Acronym FROM cities WHERE ID <> "
               "'4'' OR ''1 ') LOCK IN SHARE MODE";
        const auto questions = sql::serverQuestions();
        QTest::newRow("connection test, first") << questions[0] << "SELECT CONNECTION_ID();"
                                                << "SELECT CONNECTION_ID();";
        QTest::newRow("connection test, last") << questions[3] << "SELECT VERSION();"
                                               << "SELECT VERSION();";
    }
    void statements()
    {
        QFETCH(db::Statement, statement);
        QFETCH(QString, text);
        QFETCH(QString, rendered);
        QCOMPARE(statement.sql, text);
        QCOMPARE(statement.rendered(), rendered);
        QCOMPARE(qsizetype(statement.params.size()), text.count(QLatin1Char('?')));
    }

    // Amounts typed with a decimal comma are bound as the exact Money they
    // are (how Money reads them: tst_money); what is no amount Kestrel keeps
    // goes as typed, for the server to judge.
    void typedAmounts_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("bound");
        const int decimal = int(SqlValue::Kind::Decimal), text = int(SqlValue::Kind::Text);
        QTest::newRow("comma") << "1,20" << decimal << "1.20";
        QTest::newRow("leading zeros") << "007,5" << decimal << "7.50";
        QTest::newRow("three decimals") << "1,205" << text << "1,205";
        QTest::newRow("two commas") << "1,2,3" << text << "1,2,3";
        QTest::newRow("empty") << "" << text << "";
        QTest::newRow("other digits") << "\u0661\u0662" << text << "\u0661\u0662";
    }
    void typedAmounts()
    {
        QFETCH(QString, typed);
        QFETCH(int, kind);
        QFETCH(QString, bound);
        const SqlValue value = sql::typedAmount(typed);
        QCOMPARE(int(value.kind()), kind);
        QCOMPARE(value.string(), bound);
    }

    void nothingReferringToASale()
    {
        QVERIFY(!sql::referencesTo("turnover", "1"));
        QCOMPARE(
            sql::referencesTo("products", "2")->count.sql,
            QStringLiteral("SELECT COUNT(*) FROM turnover WHERE ProductID = ? LOCK IN SHARE MODE"));
    }

    void rendersOnlyMarksOutsideQuotes()
    {
        const db::Statement statement(
            QStringLiteral("SELECT '?', `a?`, ? FROM t WHERE x = ? AND y = ?"),
            {SqlValue::integer(-3), SqlValue::null(), SqlValue::text("it's")});
        QCOMPARE(statement.rendered(),
                 QStringLiteral("SELECT '?', `a?`, -3 FROM t WHERE x = NULL AND y = 'it''s'"));
        QVERIFY(SqlValue::decimal("1e5").isNull());
        QVERIFY(SqlValue::date(QDate()).isNull());
    }

    // The fixed lists: their statements as the shop's reports have always
    // read, and what a double click does in each.
    void fixedLists_data()
    {
        QTest::addColumn<ResultRequest>("request");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("deleteTable");
        QTest::addColumn<QString>("firstAndLastColumn");
        QTest::newRow("delete cities") << sql::deleteCities() << "SELECT * FROM cities ;"
                                       << "cities"
                                       << "ID 0.0426, CountryCode 0.0852";
        QTest::newRow("delete customers") << sql::deleteCustomers() << "SELECT * FROM customers ;"
                                          << "customers"
                                          << "ID 0.035, ShippingAddress 0.14";
        QTest::newRow("delete products") << sql::deleteProducts() << "SELECT * FROM products ;"
                                         << "products"
                                         << "ID 0.0795, LastDelivery 0.1980";
        QTest::newRow("delete transactions")
            << sql::deleteTransactions()
            << "SELECT STRAIGHT_JOIN "
               "turnover.ID,customers.SurName,customers.FirstName,turnover.Date,turnover.Quantity,"
               "products.UM,turnover.Price,turnover.PricewTax,products.Description FROM "
               "turnover,customers,"
               "products where (products.ID = turnover.ProductID) and (customers.ID = "
               "turnover.CustomerID) "
               "order by turnover.ID;"
            << "turnover"
            << "ID 0.0794, Description 0.245";
        QTest::newRow("today")
            << sql::todaysTurnover()
            << "SELECT STRAIGHT_JOIN "
               "turnover.ID,customers.FirstName,customers.SurName,turnover.Date,turnover.Quantity,"
               "products.UM,turnover.Price,turnover.PricewTax,products.Description FROM "
               "turnover,customers,"
               "products where (products.ID = turnover.ProductID) and (customers.ID = "
               "turnover.CustomerID) "
               "and (Date = curdate()) order by turnover.ID;"
            << ""
            << "ID 0.0795, Description 0.2884";
        QTest::newRow("top five")
            << sql::topFiveProducts()
            << "select products.*,sales.Sold from products,(select turnover.productid,"
               "sum(turnover.quantity) as Sold from turnover group by turnover.productid) as "
               "sales where sales.productid = products.id order by Sold desc limit 5;"
            << ""
            << "ID 0.0795, Sold 0.0795";
        QTest::newRow("pick customer") << sql::pickCustomer() << "SELECT * FROM customers"
                                       << ""
                                       << "ID 0.0337, ShippingAddress 0.1012";
        QTest::newRow("pick product") << sql::pickProduct() << "SELECT * FROM products"
                                      << ""
                                      << "ID 0.0795, LastDelivery 0.1980";
    }
    void fixedLists()
    {
        QFETCH(ResultRequest, request);
        QFETCH(QString, sql);
        QFETCH(QString, deleteTable);
        QFETCH(QString, firstAndLastColumn);
        QCOMPARE(request.statement.sql, sql);
        QVERIFY(request.statement.params.empty());
        QCOMPARE(request.deleteTable, deleteTable);
        QVERIFY(!request.pickFlag);
        QCOMPARE(request.rowHeaderWidth, QStringLiteral("0.02"));
        const ResultColumn &first = request.columns.front(), &last = request.columns.back();
        QCOMPARE(first.fieldAndHeader + ' ' + first.widthFraction + ", " + last.fieldAndHeader + ' '
                     + last.widthFraction,
                 firstAndLastColumn);
    }
};

QTEST_MAIN(TestStatements)
#include "tst_statements.moc"
