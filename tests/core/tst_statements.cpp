// Kestrel's statements run against the test server, and the messages that
// stop a search or a report before any statement goes.

#include "core/shared/Formats.h"
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

    // The fixed lists: the rows each reads and the columns it shows, named
    // as the server names the fields (the grid finds each by its name).
    void fixedLists_data()
    {
        QTest::addColumn<ResultRequest>("request");
        QTest::addColumn<QString>("ids");
        QTest::newRow("delete cities") << sql::deleteCities() << "1|2|3|4";
        QTest::newRow("delete customers") << sql::deleteCustomers() << "1|2|3";
        QTest::newRow("delete products") << sql::deleteProducts() << "1|2|3";
        QTest::newRow("delete sales") << sql::deleteTransactions() << "1|2|3|4|5";
        QTest::newRow("pick customer") << sql::pickCustomer() << "1|2|3";
        QTest::newRow("pick product") << sql::pickProduct() << "1|2|3";
    }
    void fixedLists()
    {
        QFETCH(ResultRequest, request);
        QFETCH(QString, ids);
        db::ResultSet result;
        QCOMPARE(idsRead(request.statement, &result), ids);
        QStringList shown, read;
        for (const ResultColumn &c : request.columns)
            shown.append(c.fieldAndHeader);
        for (const db::Column &c : result.columns)
            read.append(c.name);
        shown.sort();
        read.sort();
        QCOMPARE(shown, read);
    }

    // The find forms' searches by what tst_find leaves out: texts of several
    // lines, every criterion of a sale with names typed.
    void searchesFindTheirRecords_data()
    {
        QTest::addColumn<FindTable>("table");
        QTest::addColumn<Entries>("ticked");
        QTest::addColumn<QString>("ids");
        const QDate march5(2008, 3, 5);
        QTest::newRow("city: a backslash and a quote")
            << FindTable::Cities << Entries{{"Acronym", "\\'"}} << "";
        QTest::newRow("customer: lines and blanks as typed")
            << FindTable::Customers << Entries{{"ShippingAddress", " Main St.\n2 "}} << "1";
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
        QTest::newRow("lines of blanks")
            << FindTable::Customers << Entries{{"ShippingAddress", " \n "}}
            << "You have selected Shipping Address, but that is empty!";
        QTest::newRow("a lone comma") << FindTable::Transactions << Entries{{"PricewTax", ","}}
                                      << "Price with Tax must be an amount such as 12,50!!!";
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
    // left empty, in the fixed order; a blank is text.
    void productStoreProblems()
    {
        sql::ProductStoreCriteria c{"1", "", {}, "", {}};
        QCOMPARE(sql::productStoreProblem(c), "You have selected Description, but that is empty!");
        c.description = " ";
        c.barCode = "5";
        QCOMPARE(sql::productStoreProblem(c), QString());
    }

    // A price change refuses what is no amount Kestrel keeps, and a
    // negative one, which would turn its direction round.
    void priceChangesRefused_data()
    {
        QTest::addColumn<sql::PriceChangeKind>("kind");
        QTest::addColumn<sql::PriceDirection>("direction");
        QTest::addColumn<QString>("amount");
        using K = sql::PriceChangeKind;
        using D = sql::PriceDirection;
        for (const char *refused : {"", "1e2"})
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

    // A typed amount is bound exactly, or as typed for the server to judge;
    // the amount box tidies as it loses the focus.
    void typedAmounts_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<SqlValue::Kind>("kind");
        QTest::addColumn<QString>("bound");
        QTest::addColumn<QString>("tidy");
        const struct {
            const char *name, *typed;
            SqlValue::Kind kind;
            const char *bound, *tidy;
        } rows[] = {
            {"leading zeros", "007,5", SqlValue::Kind::Decimal, "7.50", "7,50"},
            {"whole", "7", SqlValue::Kind::Decimal, "7.00", "7,00"},
            {"three decimals", "0,125", SqlValue::Kind::Text, "0,125", "0,13"},
            {"two commas", "1,2,3", SqlValue::Kind::Text, "1,2,3", "1,2,3"},
            {"a sign", "-1", SqlValue::Kind::Decimal, "-1.00", "-1"},
            {"other digits", "\u0661\u0662", SqlValue::Kind::Text, "\u0661\u0662", "\u0661\u0662"}};
        for (const auto &r : rows)
            QTest::newRow(r.name) << QString::fromUtf8(r.typed) << r.kind << QString(r.bound)
                                  << QString::fromUtf8(r.tidy);
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
};

QTEST_GUILESS_MAIN(TestStatements)
#include "tst_statements.moc"
