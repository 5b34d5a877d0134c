// Every list, report and edit-grid list against the server under the modes
// servers are set to: a strict server, one that insists on full grouping
// (MySQL 8's default and many managed servers'), and both together. Each
// statement must run and bring the rows it brings on a lenient server.

#include "core/statements/Find.h"
#include "core/statements/Lists.h"
#include "core/statements/Reports.h"
#include "support/CoreSupport.h"

#include <QTest>

using namespace kestrel;

Q_DECLARE_METATYPE(kestrel::db::Statement)

namespace {

// Each adds to a lenient server's rules: TRADITIONAL holds every strict
// mode, ANSI quotes and concatenates otherwise.
const QStringList Modes{QStringLiteral("TRADITIONAL,ONLY_FULL_GROUP_BY"), QStringLiteral("ANSI")};

// Three products sold in different amounts today and a week ago, to two of
// three customers, no two alike (in a tie the server may give either first);
// one product never sold.
void seed()
{
    test::exec("INSERT INTO cities VALUES (NULL,'BUD','Budapest',1011,'Hungary ','HUN'),"
               "(NULL,'LON','London',100,'United Kingdom ','GBR')");
    test::exec("INSERT INTO customers VALUES (NULL,'Anna','Kovacs','Main 1','BUD','1','a@b.c','1',"
               "'2008-03-05','Main 1'),(NULL,'Bob','Smith','Road 2','LON','2','b@b.c','2',"
               "'2008-03-06','Depot'),(NULL,'Cy','Jones','Lane 3','BUD','3','c@b.c','3',NULL,'')");
    test::exec("INSERT INTO products VALUES (NULL,'Milk','Pcs',12,1.50,'1','2008-03-05'),"
               "(NULL,'Bread','Pcs',30,2.00,'2','2008-03-07'),(NULL,'Sugar','Boxes',5,0.25,'3',"
               "NULL),(NULL,'Salt','Pcs',0,0.80,'4','2008-03-05')");
    test::exec("INSERT INTO turnover VALUES (NULL,1,5,1.50,1.77,CURDATE(),1),"
               "(NULL,2,3,2.00,2.36,CURDATE(),2),(NULL,3,9,0.25,0.30,CURDATE() - INTERVAL 7 DAY,1),"
               "(NULL,1,1,1.50,1.77,CURDATE() - INTERVAL 7 DAY,1)");
}

// The rows of statement under mode, one text a row; fails the test when the
// server refuses it.
QStringList rowsUnder(const QString &mode, const db::Statement &statement)
{
    QStringList params = test::testParams();
    params[7] = QStringLiteral("SET SESSION sql_mode='%1'").arg(mode);
    QStringList rows;
    try {
        db::OdbcConnection connection(mdl_Variables_Functions::BuildConnectionString(params));
        for (const db::Row &row : connection.query(statement).rows) {
            QStringList fields;
            for (const db::Value &value : row)
                fields.append(value.value_or(QStringLiteral("NULL")));
            rows.append(fields.join(QLatin1Char(',')));
        }
    } catch (const db::OdbcError &e) {
        QTest::qFail(qPrintable(mode + QStringLiteral(": ") + e.message()), __FILE__, __LINE__);
    }
    return rows;
}

} // namespace

class TestServerModes : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        test::useTestDatabase();
        test::resetTables();
        seed();
    }

    void everyListRunsUnderEveryMode_data()
    {
        QTest::addColumn<db::Statement>("statement");
        QTest::addColumn<int>("rows"); // on a lenient server
        const auto add = [](const char *name, const db::Statement &statement, int rows) {
            QTest::newRow(name) << statement << rows;
        };
        add("delete cities", sql::deleteCities().statement, 2);
        add("delete customers", sql::deleteCustomers().statement, 3);
        add("delete products", sql::deleteProducts().statement, 4);
        add("delete sales", sql::deleteTransactions().statement, 4);
        add("today's turnover", sql::todaysTurnover().statement, 2);
        add("top five products", sql::topFiveProducts().statement, 3);
        add("pick customer", sql::pickCustomer().statement, 3);
        add("pick product", sql::pickProduct().statement, 4);
        const QDate today = QDate::currentDate();
        add("turnover of a week", sql::turnoverBetween({today.addDays(-7), today}).statement, 4);
        add("all turnover", sql::allTurnover().statement, 4);
        sql::ProductStoreCriteria inStore;
        inStore.quantity = QStringLiteral("0");
        add("in store, none left", sql::productsInStore(inStore).statement, 1);
        inStore = {};
        inStore.delivered = sql::DayRange{QDate(2008, 3, 1), QDate(2008, 3, 31)};
        add("in store, delivered in March", sql::productsInStore(inStore).statement, 3);
        add("products by price", sql::productsList(sql::ProductOrder::Price).statement, 4);
        add("products by last delivery",
            sql::productsList(sql::ProductOrder::LastDelivery).statement, 4);
        add("top ten by visits", sql::topTenCustomers(sql::CustomerRanking::Visits).statement, 2);
        add("top ten by amount", sql::topTenCustomers(sql::CustomerRanking::Amount).statement, 2);
        add("edit all cities", sql::showAll(sql::FindTable::Cities).statement, 2);
        add("edit all sales", sql::showAll(sql::FindTable::Transactions).statement, 4);
    }
    void everyListRunsUnderEveryMode()
    {
        QFETCH(db::Statement, statement);
        QFETCH(int, rows);
        const QStringList lenient = rowsUnder(QString(), statement);
        QCOMPARE(lenient.size(), rows);
        for (const QString &mode : Modes)
            QCOMPARE(rowsUnder(mode, statement), lenient);
    }
};

QTEST_MAIN(TestServerModes)
#include "tst_servermodes.moc"
