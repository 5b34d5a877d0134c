// Two tills on two nodes of a Galera cluster sell the last units of one
// product at the same moment, race after race: three units in store, two in
// each sale, so only one sale can be stored. Each till stores its sale as the
// sale form does (sql::storeSale on a connection of its own); a failure the
// form would show as the connection error is counted as one. Prints how many
// sales were saved, refused for stock, told that other tills were busy, and
// failed, and whether every node held the same stock after every race and
// the deliveries less the sales at the end. bench/race starts the cluster.

#include "BenchSupport.h"
#include "core/database/RetriedTransaction.h"
#include "core/shared/mdl_Variables_Functions.h"
#include "core/statements/Sale.h"
#include "core/statements/Schema.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <latch>
#include <thread>

namespace M = mdl_Variables_Functions;
using namespace kestrel;

namespace {

// Node n's connection string; causal reads wait until the node has applied
// what the cluster committed before.
QString onNode(int node, bool causalReads)
{
    QFile ports(bench::env("KESTREL_CLUSTER_DIR") + QStringLiteral("/node%1/ports").arg(node));
    if (!ports.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "no cluster node %d: run the benchmark through bench/race\n", node);
        std::exit(2);
    }
    return M::BuildConnectionString(
        {bench::env("KESTREL_BENCH_DSN"), QStringLiteral("Kestrel benchmark"),
         bench::env("KESTREL_BENCH_DB"), QStringLiteral("127.0.0.1"),
         bench::env("KESTREL_BENCH_USER"), bench::env("KESTREL_BENCH_PASSWORD"),
         QString::fromLatin1(ports.readAll()).section(QLatin1Char(' '), 0, 0),
         causalReads ? QStringLiteral("SET SESSION wsrep_sync_wait=1") : QString()});
}

qint64 number(int node, const QString &sql)
{
    db::OdbcConnection c(onNode(node, true));
    return c.query(db::Statement(sql)).rows.front().front().value_or(QString()).toLongLong();
}

void freshTables()
{
    db::OdbcConnection c(onNode(1, true));
    c.execute(db::Statement(
        QStringLiteral("DROP TABLE IF EXISTS cities, customers, products, turnover")));
    sql::createTables(c);
    c.execute(db::Statement("INSERT INTO customers VALUES (1,'Anna','Kovacs','Main 1','BUD','1',"
                            "'a@b.c','1','2008-03-05','Main 1'),(2,'Bob','Smith','Road 2','LON',"
                            "'2','b@b.c','2','2008-03-05','Depot')"));
    c.execute(
        db::Statement("INSERT INTO products VALUES (1,'Milk','Pcs',0,1.50,'1','2008-03-05')"));
}

struct Tally {
    int saved = 0, refusedForStock = 0, busy = 0, connectionErrors = 0, other = 0;

    void count(const std::optional<QString> &refusal, bool failed)
    {
        if (failed)
            ++connectionErrors;
        else if (!refusal)
            ++saved;
        else if (refusal->startsWith(QLatin1String("Not enough supplies")))
            ++refusedForStock;
        else if (*refusal == db::OtherTillsText)
            ++busy;
        else
            ++other;
    }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int races = int(bench::option(app.arguments(), QStringLiteral("--races"), 50));
    freshTables();
    Tally tally;
    qint64 delivered = 0;
    int racesWithNodesApart = 0;
    for (int race = 0; race < races; ++race) {
        // A delivery brings the stock back to three.
        delivered += 3 - number(1, QStringLiteral("SELECT Quantity FROM products"));
        {
            db::OdbcConnection c(onNode(1, true));
            c.execute(db::Statement(QStringLiteral("UPDATE products SET Quantity = 3")));
        }
        number(2, QStringLiteral("SELECT Quantity FROM products")); // node 2 has it
        std::latch start(2);
        std::optional<QString> refusals[2];
        bool failed[2] = {false, false};
        std::vector<std::thread> tills;
        for (int till = 0; till < 2; ++till) {
            tills.emplace_back([&, till] {
                try {
                    db::OdbcConnection c(onNode(till + 1, false));
                    const sql::Sale sale{till + 1,
                                         QStringLiteral("Customer"),
                                         QDate::currentDate(),
                                         {{1, QStringLiteral("Milk"), 2, Money::parse(u"1,50")}}};
                    start.arrive_and_wait();
                    const Outcome<sql::SaleIds> stored = sql::storeSale(c, sale);
                    if (!stored)
                        refusals[till] = stored.refusal().message;
                } catch (const std::exception &e) {
                    failed[till] = true;
                    std::fprintf(stderr, "till %d: %s\n", till + 1, e.what());
                }
            });
        }
        for (std::thread &t : tills)
            t.join();
        for (int till = 0; till < 2; ++till)
            tally.count(refusals[till], failed[till]);
        const QString stock = QStringLiteral("SELECT Quantity FROM products");
        if (number(1, stock) != number(2, stock))
            ++racesWithNodesApart;
    }
    const QString balance = QStringLiteral(
        "SELECT (SELECT Quantity FROM products) + (SELECT IFNULL(SUM(Quantity), 0) FROM turnover)");
    const bool balanced = number(1, balance) == delivered && number(2, balance) == delivered;
    std::printf("%d races of two tills on two nodes for the last units of one product (%d sales):\n"
                "  saved:                         %d\n"
                "  refused for stock:             %d\n"
                "  told other tills were busy:    %d\n"
                "  connection-error messages:     %d\n"
                "  other refusals:                %d\n"
                "  stock the same on every node after every race: %s\n"
                "  stock = deliveries - sales on every node:       %s\n",
                races, 2 * races, tally.saved, tally.refusedForStock, tally.busy,
                tally.connectionErrors, tally.other, racesWithNodesApart == 0 ? "yes" : "no",
                balanced ? "yes" : "no");
    return tally.connectionErrors == 0 && racesWithNodesApart == 0 && balanced ? 0 : 1;
}
