// Two tills on two nodes of a Galera cluster (tests/cluster/fixture.sh starts
// it): sales of the last units, edits of one cell, a price change against a
// sale, a delete against a sale of the same customer, and IDs the nodes hand
// out. A till's transaction is held mid-way by a lock on its own node while
// the other node commits, so the cluster aborts it and Kestrel must run it
// again. Afterwards every node holds the same tables, and every product's
// stock is its deliveries less its sales.

#include "core/database/RetriedTransaction.h"
#include "core/editing/SaveChanges.h"
#include "core/statements/Deletes.h"
#include "core/statements/Records.h"
#include "core/statements/Sale.h"
#include "entry/Frm_AddCity.h"
#include "reports/Frm_QueryChangePrice.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QStatusBar>
#include <chrono>
#include <latch>
#include <thread>

using namespace kestrel;
using namespace kestrel::test;
using std::chrono::milliseconds;

namespace {

constexpr int Nodes = 2;
// Delivered into store: Milk 3, Bread 30.
const QString Deliveries = QStringLiteral("3|30");

// Node n's connection string. Causal reads wait until the node has applied
// everything the cluster committed before, so a test reads what it just did
// on the other node.
QString onNode(int node, bool causalReads = true)
{
    QFile ports(qEnvironmentVariable("KESTREL_CLUSTER_DIR")
                + QStringLiteral("/node%1/ports").arg(node));
    if (!ports.open(QIODevice::ReadOnly))
        qFatal("No test cluster: run the tests through scripts/test, which starts one.");
    QStringList params = testParams();
    params[2] = qEnvironmentVariable("KESTREL_CLUSTER_DB");
    params[6] = QString::fromLatin1(ports.readAll()).section(QLatin1Char(' '), 0, 0);
    if (causalReads)
        params[7] = QStringLiteral("SET SESSION wsrep_sync_wait=1");
    return M::BuildConnectionString(params);
}

// The first field of the first row of sql, read on a node.
QString on(int node, const QString &sql)
{
    return scalar(sql, onNode(node)).value_or(QString());
}

// Fresh tables on the cluster: customers 1 Anna and 2 Bob, products 1 Milk (3
// in store at 1,50) and 2 Bread (30 at 2,00).
void resetCluster()
{
    resetTables(onNode(1));
    exec("INSERT INTO customers VALUES (1,'Anna','Kovacs','Main 1','BUD','1','a@b.c','1',"
         "'2008-03-05','Main 1'),(2,'Bob','Smith','Road 2','LON','2','b@b.c','2','2008-03-05',"
         "'Depot')",
         onNode(1));
    exec("INSERT INTO products VALUES (1,'Milk','Pcs',3,1.50,'1','2008-03-05'),"
         "(2,'Bread','Pcs',30,2.00,'2','2008-03-05')",
         onNode(1));
}

sql::Sale saleOf(const QString &customer, const QList<std::pair<qint64, qint64>> &lines)
{
    sql::Sale sale{
        customer.toLongLong(), QStringLiteral("Customer ") + customer, QDate(2008, 3, 7), {}};
    for (const auto &[product, quantity] : lines)
        sale.lines.push_back({product, product == 1 ? "Milk" : "Bread", quantity,
                              Money::parse(product == 1 ? u"1,50" : u"2,00")});
    return sale;
}

// What became of a sale: "stored", the refusal, or the failure's text.
QString sell(db::OdbcConnection &till, const sql::Sale &sale)
{
    try {
        const Outcome<sql::SaleIds> stored = sql::storeSale(till, sale);
        return stored ? QStringLiteral("stored") : stored.refusal().message;
    } catch (const db::OdbcError &e) {
        return QStringLiteral("failed: ") + e.message();
    }
}

// A till of its own on a node.
QString sellOn(int node, const sql::Sale &sale)
{
    db::OdbcConnection till(onNode(node, false));
    return sell(till, sale);
}

// Whether some transaction on the node waits for a lock (within ten
// seconds): the till under test has come as far as the held rows. The
// server refreshes its list of transactions only when nobody read it for a
// tenth of a second, so the list is read less often than that.
bool lockWaitOn(int node)
{
    for (int i = 0; i < 60; ++i) {
        std::this_thread::sleep_for(milliseconds(150));
        if (on(node, "SELECT COUNT(*) FROM information_schema.innodb_trx "
                     "WHERE trx_state = 'LOCK WAIT'")
                .toInt()
            > 0)
            return true;
    }
    return false;
}

// Returns once the node has applied everything committed anywhere so far.
void caughtUp(int node)
{
    on(node, "SELECT COUNT(*) FROM turnover");
}

// The till under test runs on this thread, on node 1, and comes to wait for
// the bread that node 1 holds; meanwhile otherTill commits on node 2, and once
// node 1 has applied that (which aborts the till under test), the bread is
// let go. False when the till under test was never seen waiting.
bool loseToTheOtherNode(const std::function<void()> &tillUnderTest,
                        const std::function<void()> &otherTill)
{
    HeldRows bread(onNode(1, false), "SELECT ID FROM products WHERE ID = 2 FOR UPDATE");
    bool waited = false;
    std::thread other([&] {
        waited = lockWaitOn(1);
        if (waited) {
            otherTill();
            caughtUp(1);
        }
        bread.release();
    });
    tillUnderTest();
    other.join();
    return waited;
}

// Every node holds the same rows, and every product as much as was delivered
// less what was sold.
void nodesAgree()
{
    const QString rows = QStringLiteral(
        "SELECT CONCAT_WS(';',(SELECT GROUP_CONCAT(CONCAT_WS(',',ID,Quantity,Price) ORDER BY ID) "
        "FROM products),(SELECT GROUP_CONCAT(CONCAT_WS(',',ID,ProductID,Quantity,Price,CustomerID) "
        "ORDER BY ID) FROM turnover),(SELECT GROUP_CONCAT(ID ORDER BY ID) FROM customers),"
        "(SELECT GROUP_CONCAT(ID ORDER BY ID) FROM cities))");
    const QString first = on(1, rows);
    for (int node = 2; node <= Nodes; ++node)
        QCOMPARE(on(node, rows), first);
    for (int node = 1; node <= Nodes; ++node)
        QCOMPARE(on(node, "SELECT GROUP_CONCAT(p.Quantity + IFNULL((SELECT SUM(t.Quantity) "
                          "FROM turnover t WHERE t.ProductID = p.ID), 0) ORDER BY p.ID "
                          "SEPARATOR '|') FROM products p"),
                 Deliveries);
}

} // namespace

class TestCluster : public QObject {
    Q_OBJECT
    std::unique_ptr<RunningMainWindow> run;

    void press(Qt::Key key)
    {
        QTest::keyClick(QApplication::focusWidget(), key);
        settle();
    }

private slots:
    void initTestCase()
    {
        run = std::make_unique<RunningMainWindow>();
        QVERIFY(run->show());
        QCOMPARE(on(1, "SELECT VARIABLE_VALUE FROM information_schema.GLOBAL_STATUS "
                       "WHERE VARIABLE_NAME = 'WSREP_CLUSTER_SIZE'"),
                 QString::number(Nodes));
    }
    void init()
    {
        run->reset();
        resetCluster();
        M::ConnString = onNode(1, false);
    }
    void cleanupTestCase() { run.reset(); }

    // Till 1 has taken two of the three units of milk and waits for the bread
    // that its own node holds; till 2 sells two units of milk on node 2. The
    // cluster aborts till 1, whose next try finds one unit left.
    void lastUnitsOnTwoNodes()
    {
        QString first, second;
        QVERIFY(loseToTheOtherNode(
            [&] {
                first = sellOn(1, saleOf("1", {{1, 2}, {2, 1}}));
            },
            [&] {
                second = sellOn(2, saleOf("2", {{1, 2}}));
            }));
        QCOMPARE(second, QStringLiteral("stored"));
        QCOMPARE(first, QStringLiteral("Not enough supplies in store for Milk (ID 1): 1 in store, "
                                       "2 in this sale!!!"));
        QCOMPARE(on(2, "SELECT Quantity FROM products WHERE ID = 1"), QStringLiteral("1"));
        KESTREL_CHECK(nodesAgree());
    }

    // Two operators change milk's price from 1,50, on two nodes; the one
    // held mid-way (it changed bread's too) finds the other's change when it
    // tries again, and saves nothing.
    void oneCellEditedOnTwoNodes()
    {
        const auto price = [](qint64 id, const QString &loaded, const QString &to) {
            return edit::RecordChange{int(id),
                                      id,
                                      {{5, QStringLiteral("Price"), loaded, to}},
                                      {{QStringLiteral("Price"), db::SqlValue::decimal(to)}}};
        };
        const QString products = QStringLiteral("products");
        std::optional<Outcome<edit::Saved>> first, second;
        QVERIFY(loseToTheOtherNode(
            [&] {
                db::OdbcConnection grid1(onNode(1, false));
                first = edit::saveChanges(
                    grid1,
                    {products, false, {price(1, "1,50", "1.75"), price(2, "2,00", "2.10")}, {}});
            },
            [&] {
                db::OdbcConnection grid2(onNode(2, false));
                second =
                    edit::saveChanges(grid2, {products, false, {price(1, "1,50", "1.60")}, {}});
            }));
        QVERIFY(second && second->isDone());
        QVERIFY(first && !first->isDone());
        QCOMPARE(first->refusal().cells, (std::vector<edit::GridCell>{{1, 5}}));
        QCOMPARE(on(2, "SELECT GROUP_CONCAT(Price ORDER BY ID) FROM products"),
                 QStringLiteral("1.60,2.00"));
        KESTREL_CHECK(nodesAgree());
    }

    // Every price goes up by 1 on node 1, held at bread, while node 2 sells
    // a unit of milk: both are stored, the sale at the old price.
    void priceChangeAgainstASale()
    {
        QString sold;
        QVERIFY(loseToTheOtherNode(
            [&] {
                trigger(run->main.get(), "mnu_CAPP");
                press(Qt::Key_Down); // Absolute
                press(Qt::Key_Tab);
                press(Qt::Key_Space); // "+"
                type(QApplication::focusWidget(), "1\n");
                press(Qt::Key_Return);
            },
            [&] {
                sold = sellOn(2, saleOf("2", {{1, 1}}));
            }));
        QCOMPARE(sold, QStringLiteral("stored"));
        QCOMPARE(run->messages->texts(), QStringList());
        QVERIFY(!run->main->findForm<Frm_QueryChangePrice>());
        QCOMPARE(on(2, "SELECT GROUP_CONCAT(CONCAT_WS(',',Quantity,Price) ORDER BY ID "
                       "SEPARATOR '|') FROM products"),
                 QStringLiteral("2,2.50|30,3.00"));
        QCOMPARE(on(2, "SELECT Price FROM turnover"), QStringLiteral("1.50"));
        KESTREL_CHECK(nodesAgree());
    }

    // A sale to a customer on node 1 and a delete of that customer on node 2
    // at the same moment, twenty times: one of the two goes through, the
    // other is refused; never is a sale left whose customer is gone, nor a
    // sale half stored.
    void deleteAndSaleOfOneCustomer()
    {
        int stored = 0;
        for (int race = 0; race < 20; ++race) {
            const QString id = QString::number(10 + race);
            exec("INSERT INTO customers VALUES (" + id
                     + ",'Cy','Jones','Lane 3','BUD','3','c@b.c','3',NULL,'')",
                 onNode(1));
            caughtUp(2);
            std::latch start(2);
            QString sale, removal = QStringLiteral("busy");
            std::thread till([&] {
                db::OdbcConnection c(onNode(1, false));
                start.arrive_and_wait();
                sale = sell(c, saleOf(id, {{2, 1}}));
            });
            std::thread office([&] {
                db::OdbcConnection c(onNode(2, false));
                start.arrive_and_wait();
                try {
                    const Outcome<Done> deleted = sql::deleteUnreferenced(c, "customers", id);
                    removal = deleted ? QStringLiteral("deleted") : QStringLiteral("refused");
                } catch (const db::OdbcError &e) {
                    removal = QStringLiteral("failed: ") + e.message();
                }
            });
            till.join();
            office.join();
            const QString outcome =
                QStringLiteral("%1 / %2 / %3 customer / %4 sales")
                    .arg(sale, removal, on(1, "SELECT COUNT(*) FROM customers WHERE ID = " + id),
                         on(1, "SELECT COUNT(*) FROM turnover WHERE CustomerID = " + id));
            QVERIFY2(outcome == "stored / refused / 1 customer / 1 sales"
                         || outcome
                                == "Customer Customer " + id + " (ID " + id
                                       + ") is no longer in the database!!! / deleted / 0 "
                                         "customer / 0 sales",
                     qPrintable(outcome));
            stored += sale == "stored";
        }
        qInfo("%d sales stored, %d customers deleted", stored, 20 - stored);
        KESTREL_CHECK(nodesAgree());
    }

    // Each node numbers its own rows (Galera spaces them by the cluster's
    // size): the ID box shows the node's own next number, and the status bar
    // the ID the node gave the city.
    void theNodeNumbersTheRow()
    {
        exec("INSERT INTO cities VALUES (NULL,'VIE','Wien',1010,'Austria ','AUT')", onNode(1));
        const int first = on(1, "SELECT ID FROM cities").toInt();
        trigger(run->main.get(), "mnu_AddCity");
        auto *city = run->main->findForm<Frm_AddCity>();
        const QString hint = control<QLineEdit>(city, "txt_ID")->text();
        enterValidCity(city);
        press(Qt::Key_Space); // OK
        const QString stored = on(2, "SELECT ID FROM cities WHERE Acronym = 'BUD'");
        QCOMPARE(stored, QString::number(first + Nodes));
        QCOMPARE(hint, stored);
        QCOMPARE(run->main->statusBar()->currentMessage(), "New city saved with ID " + stored);
    }
};

QTEST_MAIN(TestCluster)
#include "tst_cluster.moc"
