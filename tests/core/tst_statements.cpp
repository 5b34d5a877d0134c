// Kestrel's statements run against the test server: the rows each list,
// search and report reads from one small shop, what the writes leave behind,
// awkward values staying values; and the messages that stop a search or a
// report before any statement goes.

#include "core/shared/Formats.h"
#include "core/statements/Deletes.h"
#include "core/statements/Find.h"
#include "core/statements/Lists.h"
#include "core/statements/Records.h"
#include "core/statements/Reports.h"
#include "support/CoreSupport.h"

#include <QTest>

using namespace kestrel;
using db::SqlValue;
using sql::FindEntry;
using sql::FindTable;
using Entries = std::vector<FindEntry>;

Q_DECLARE_METATYPE(kestrel::db::Statement)
Q_DECLARE_METATYPE(kestrel::ResultRequest)
Q_DECLARE_METATYPE(kestrel::sql::FindTable)
Q_DECLARE_METATYPE(std::vector<kestrel::sql::FindEntry>)
Q_DECLARE_METATYPE(kestrel::sql::PriceChangeKind)
Q_DECLARE_METATYPE(kestrel::sql::PriceDirection)
Q_DECLARE_METATYPE(kestrel::db::SqlValue::Kind)

namespace {

// Three cities of Hungary (two sharing an acronym) and one of Chad; Smith
// is two customers; sale 5 is today's.
void seedShop()
{
    test::resetTables();
    test::exec("INSERT INTO cities VALUES (1, 'BUD', 'Budapest', 1011, 'Hungary', 'HUN'), "
               "(2, 'DEB', 'Debrecen', 4024, 'Hungary', 'HUN'), "
               "(3, 'BUD', 'Budafok', 1221, 'Hungary', 'HUN'), "
               "(4, 'NDJ', 'N''Djamena', 0, 'Chad', 'TCD')");
    test::exec(
        "INSERT INTO customers VALUES "
        "(1, 'Ann', 'Smith', 'a', 'BUD', '1', 'ann@x.hu', '1', '2008-03-05', ' Main St.\\n2 '), "
        "(2, 'Sean', 'O''Neil', 'b', 'DEB', '2', 'o''brien@x.ie', '2', '2008-03-06', 'b'), "
        "(3, 'Bob', 'Smith', 'c', 'NDJ', '3', 'bob@x.hu', '3', '2009-01-01', 'c')");
    test::exec("INSERT INTO products VALUES (1, 'Milk', 'Ltr', 10, 1.20, '599', '2008-03-05'), "
               "(2, 'Flour', 'Kgs', 0, 13.00, '600', '2008-03-31'), "
               "(3, 'O''Brien''s ?', 'Pcs', 5, 12.50, ' 599 ', '2008-03-20')");
    test::exec("INSERT INTO turnover VALUES (1, 2, 2, 3.00, 3.54, '2008-03-05', 2), "
               "(2, 1, 1, 1.20, 1.42, '2008-03-05', 1), (3, 1, 5, 1.20, 1.42, '2009-01-01', 1), "
               "(4, 3, 7, 12.50, 14.75, '1999-12-31', 2), (5, 2, 1, 13.00, 15.34, CURDATE(), 1)");
}

// The first field of every row the statement reads, joined by "|". Every
// value must be bound, none spliced into the text.
QString idsRead(const db::Statement &statement, db::ResultSet *result = nullptr)
{
    [&] {
        QVERIFY2(!statement.sql.contains(u'\''), qPrintable(statement.sql));
        QCOMPARE(qsizetype(statement.params.size()), statement.sql.count(u'?'));
    }();
    db::OdbcConnection connection(test::testConnectionString());
    db::ResultSet read = connection.query(statement);
    QStringList ids;
    for (const db::Row &row : read.rows)
        ids.append(row.front().value_or(QStringLiteral("NULL")));
    if (result)
        *result = std::move(read);
    return ids.join(u'|');
}

FindEntry day(const char *criterion, QDate date)
{
    return {criterion, {}, date, {}};
}

} // namespace

class TestStatements : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::useTestDatabase(); }
    void init() { seedShop(); }

    // A delete takes the record with the shown ID (its blank and all) and
    // nothing else, whatever the shown text holds.
    void deletesTakeOneRecord_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("shownId");
        QTest::addColumn<QString>("left");
        QTest::newRow("customer") << "customers"
                                  << "3"
                                  << "1|2";
        QTest::newRow("a shown ID with a quote") << "cities"
                                                 << "2' OR '1'='1"
                                                 << "1|3|4";
    }
    void deletesTakeOneRecord()
    {
        QFETCH(QString, table);
        QFETCH(QString, shownId);
        QFETCH(QString, left);
        db::OdbcConnection connection(test::testConnectionString());
        connection.execute(sql::deleteRecord(table, shownId));
        QCOMPARE(test::idsIn(table), left);
    }

    // What refers to a record before its delete: a city counts only for the
    // customers of an acronym no other city has.
    void referencesAreCounted_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("shownId");
        QTest::addColumn<QString>("count");
        QTest::newRow("sales of a customer") << "customers"
                                             << "1"
                                             << "3";
        QTest::newRow("sales of a product") << "products"
                                            << "3"
                                            << "1";
        QTest::newRow("customers of a city") << "cities"
                                             << "2"
                                             << "1";
        QTest::newRow("acronym another city has") << "cities"
                                                  << "1"
                                                  << "0";
        QTest::newRow("a quote stays in the value") << "cities"
                                                    << "4' OR '1"
                                                    << "1";
        QTest::newRow("unused product") << "products"
                                        << "9"
                                        << "0";
    }
    void referencesAreCounted()
    {
        QFETCH(QString, table);
        QFETCH(QString, shownId);
        QFETCH(QString, count);
        QCOMPARE(idsRead(sql::referencesTo(table, shownId)->count), count);
        QVERIFY(!sql::referencesTo("turnover", "1")); // nothing refers to a sale
    }

    // The fixed lists: the rows each reads, the columns it shows (named as
    // the server names the fields), and what a double click does.
    void fixedLists_data()
    {
        QTest::addColumn<ResultRequest>("request");
        QTest::addColumn<QString>("ids");
        QTest::addColumn<QString>("deleteTable");
        QTest::addColumn<QString>("firstAndLastColumn");
        QTest::newRow("delete cities") << sql::deleteCities() << "1|2|3|4"
                                       << "cities"
                                       << "ID 0.0426, CountryCode 0.0852";
        QTest::newRow("delete customers") << sql::deleteCustomers() << "1|2|3"
                                          << "customers"
                                          << "ID 0.035, ShippingAddress 0.14";
        QTest::newRow("delete products") << sql::deleteProducts() << "1|2|3"
                                         << "products"
                                         << "ID 0.0795, LastDelivery 0.1980";
        QTest::newRow("delete sales") << sql::deleteTransactions() << "1|2|3|4|5"
                                      << "turnover"
                                      << "ID 0.0794, Description 0.245";
        QTest::newRow("today") << sql::todaysTurnover() << "5"
                               << ""
                               << "ID 0.0795, Description 0.2884";
        QTest::newRow("top five") << sql::topFiveProducts() << "3|1|2"
                                  << ""
                                  << "ID 0.0795, Sold 0.0795";
        QTest::newRow("pick customer") << sql::pickCustomer() << "1|2|3"
                                       << ""
                                       << "ID 0.0337, ShippingAddress 0.1012";
        QTest::newRow("pick product") << sql::pickProduct() << "1|2|3"
                                      << ""
                                      << "ID 0.0795, LastDelivery 0.1980";
    }
    void fixedLists()
    {
        QFETCH(ResultRequest, request);
        QFETCH(QString, ids);
        QFETCH(QString, deleteTable);
        QFETCH(QString, firstAndLastColumn);
        db::ResultSet result;
        QCOMPARE(idsRead(request.statement, &result), ids);
        QStringList shown, read;
        for (const ResultColumn &c : request.columns)
            shown.append(c.fieldAndHeader);
        for (const db::Column &c : result.columns)
            read.append(c.name);
        shown.sort();
        read.sort();
        QCOMPARE(shown, read); // the grid finds each column by its name
        QCOMPARE(request.deleteTable, deleteTable);
        QVERIFY(!request.pickFlag);
        const ResultColumn &first = request.columns.front(), &last = request.columns.back();
        QCOMPARE(first.fieldAndHeader + ' ' + first.widthFraction + ", " + last.fieldAndHeader + ' '
                     + last.widthFraction,
                 firstAndLastColumn);
    }

    // The find forms' searches by what tst_find leaves out: dates, texts
    // of several lines, every criterion of a sale at once.
    void searchesFindTheirRecords_data()
    {
        QTest::addColumn<FindTable>("table");
        QTest::addColumn<Entries>("ticked");
        QTest::addColumn<QString>("ids");
        const QDate march5(2008, 3, 5);
        QTest::newRow("city: a backslash and a quote")
            << FindTable::Cities << Entries{{"Acronym", "\\'"}} << "";
        QTest::newRow("customer: Joined")
            << FindTable::Customers << Entries{day("Joined", march5)} << "1";
        QTest::newRow("customer: lines and blanks as typed")
            << FindTable::Customers << Entries{{"ShippingAddress", " Main St.\n2 "}} << "1";
        QTest::newRow("product: LastDelivery")
            << FindTable::Products << Entries{day("LastDelivery", march5)} << "1";
        QTest::newRow("sales: Date")
            << FindTable::Transactions << Entries{day("Date", QDate(1999, 12, 31))} << "4";
        QTest::newRow("sales: names typed, every criterion")
            << FindTable::Transactions
            << Entries{day("Date", march5), {"CustomerID", "O'Neil"}, {"PricewTax", "3,54"},
                       {"Price", "3"},      {"Quantity", "2"},        {"ProductID", "Flour"},
                       {"ID", "1"}}
            << "1";
    }
    void searchesFindTheirRecords()
    {
        QFETCH(FindTable, table);
        QFETCH(Entries, ticked);
        QFETCH(QString, ids);
        const sql::FindResult found = sql::find(table, ticked);
        QVERIFY2(found.request, qPrintable(found.message));
        QCOMPARE(idsRead(found.request->statement), ids);
    }

    // Messages that stop a search, beside those tst_find meets on the forms.
    void searchMessages_data()
    {
        QTest::addColumn<FindTable>("table");
        QTest::addColumn<Entries>("ticked");
        QTest::addColumn<QString>("message");
        QTest::newRow("a filled one before does not help")
            << FindTable::Products << Entries{{"ID", "5"}, {"Description", ""}}
            << "You have selected Description, but that is empty!";
        QTest::newRow("lines of blanks")
            << FindTable::Customers << Entries{{"ShippingAddress", " \n "}}
            << "You have selected Shipping Address, but that is empty!";
        QTest::newRow("a lone comma") << FindTable::Transactions << Entries{{"PricewTax", ","}}
                                      << "Price with Tax must be an amount such as 12,50!!!";
        QTest::newRow("empty price with tax")
            << FindTable::Transactions << Entries{{"PricewTax", ""}, {"Quantity", "1"}}
            << "You have selected Price with Tax, but that is empty!";
        QTest::newRow("product before customer")
            << FindTable::Transactions << Entries{{"CustomerID", ""}, {"ProductID", " "}}
            << "You have selected Product , but that isn't picked!";
    }
    void searchMessages()
    {
        QFETCH(FindTable, table);
        QFETCH(Entries, ticked);
        QFETCH(QString, message);
        const sql::FindResult found = sql::find(table, ticked);
        QVERIFY(!found.request);
        QCOMPARE(found.message, message);
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
    }
    void productStoreProblems()
    {
        QFETCH(QStringList, ticked);
        QFETCH(QString, problem);
        sql::ProductStoreCriteria c;
        for (const QString &t : ticked) {
            const QString name = t.section('=', 0, 0), text = t.section('=', 1);
            if (name == "Delivered")
                c.delivered = sql::DayRange{QDate(2008, 3, 5), QDate(2008, 3, 5)};
            else
                (name == "ID"         ? c.id
                 : name == "Quantity" ? c.quantity
                 : name == "BarCode"  ? c.barCode
                                      : c.description) = text;
        }
        QCOMPARE(sql::productStoreProblem(c), problem);
    }

    // A price change refuses what is no amount Kestrel keeps, and a
    // negative one, which would turn its direction round. (What the changes
    // do to the prices: tst_reports.)
    void priceChangesRefused_data()
    {
        QTest::addColumn<sql::PriceChangeKind>("kind");
        QTest::addColumn<sql::PriceDirection>("direction");
        QTest::addColumn<QString>("amount");
        using K = sql::PriceChangeKind;
        using D = sql::PriceDirection;
        for (const char *refused : {"1,2,3", ",", "", "1e2"})
            QTest::addRow("refused %s", refused) << K::Percentage << D::Plus << refused;
        QTest::newRow("negative up") << K::Absolute << D::Plus << "-3";
        QTest::newRow("negative down") << K::Absolute << D::Minus << "-1";
    }
    void priceChangesRefused()
    {
        QFETCH(sql::PriceChangeKind, kind);
        QFETCH(sql::PriceDirection, direction);
        QFETCH(QString, amount);
        QVERIFY(!sql::changeAllPrices({kind, direction, amount}));
        QVERIFY(!sql::productsCheaperThan(amount));
    }

    // Amounts typed with a decimal comma are bound as the exact amount they
    // are; what is no amount Kestrel keeps goes as typed, for the server to
    // judge. The amount box tidies as it loses the focus.
    void typedAmounts_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<SqlValue::Kind>("kind");
        QTest::addColumn<QString>("bound");
        QTest::addColumn<QString>("tidy");
        using K = SqlValue::Kind;
        QTest::newRow("comma") << "1,20" << K::Decimal << "1.20"
                               << "1,20";
        QTest::newRow("leading zeros") << "007,5" << K::Decimal << "7.50"
                                       << "7,50";
        QTest::newRow("whole") << "7" << K::Decimal << "7.00"
                               << "7,00";
        QTest::newRow("three decimals") << "0,125" << K::Text << "0,125"
                                        << "0,13";
        QTest::newRow("two commas") << "1,2,3" << K::Text << "1,2,3"
                                    << "1,2,3";
        QTest::newRow("lone comma") << "," << K::Text << ","
                                    << ",";
        QTest::newRow("a sign") << "-1" << K::Decimal << "-1.00"
                                << "-1";
        QTest::newRow("empty") << "" << K::Text << ""
                               << "";
        QTest::newRow("other digits") << "\u0661\u0662" << K::Text << "\u0661\u0662"
                                      << "\u0661\u0662";
    }
    void typedAmounts()
    {
        QFETCH(QString, typed);
        QFETCH(SqlValue::Kind, kind);
        QFETCH(QString, bound);
        QFETCH(QString, tidy);
        const SqlValue value = sql::typedAmount(typed);
        QCOMPARE(value.kind(), kind);
        QCOMPARE(value.string(), bound);
        QCOMPARE(fmt::tidyAmount(typed), tidy);
    }

    // Fresh tables carry the indexes the sales reports need; the connection
    // test's four questions each get an answer.
    void schemaAndServerQuestions()
    {
        QCOMPARE(test::tableNames(), (QStringList{"cities", "customers", "products", "turnover"}));
        QCOMPARE(test::scalar("SELECT GROUP_CONCAT(DISTINCT INDEX_NAME ORDER BY INDEX_NAME "
                              "SEPARATOR '|') FROM information_schema.statistics WHERE "
                              "TABLE_SCHEMA = DATABASE() AND TABLE_NAME = 'turnover'"),
                 db::Value("CustomerID|Date|PRIMARY|ProductID"));
        for (const db::Statement &question : sql::serverQuestions())
            QVERIFY(!idsRead(question).isEmpty());
    }

    // Diagnostics write the values in; marks inside quotes are no values.
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
};

QTEST_GUILESS_MAIN(TestStatements)
#include "tst_statements.moc"
