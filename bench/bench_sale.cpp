// How long the sale form takes to save a sale of 50 lines, against the
// mariadb command-line client sending the same 100 statements in one
// transaction. bench/run prepares the database and runs this.

#include "BenchSupport.h"
#include "core/database/Odbc.h"
#include "core/shared/FieldText.h"
#include "core/shared/mdl_Variables_Functions.h"
#include "core/statements/Sale.h"
#include "entry/Frm_AddTransaction.h"
#include "entry/Frm_ProdQuant.h"
#include "shell/MDIfrm_main.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>

namespace M = mdl_Variables_Functions;

namespace {

constexpr int Lines = 50;

// The first rows of table as a chooser hands them over: cell 0 empty, then
// every field in Kestrel's text form.
std::vector<QStringList> chooserRows(const QString &table, int rows)
{
    kestrel::db::OdbcConnection connection(M::ConnString);
    const kestrel::db::ResultSet result = connection.query(
        kestrel::db::Statement(QStringLiteral("SELECT * FROM ") + table
                               + QStringLiteral(" ORDER BY ID LIMIT ") + QString::number(rows)));
    std::vector<QStringList> cells;
    for (const kestrel::db::Row &row : result.rows) {
        QStringList T{QString()};
        for (size_t c = 0; c < row.size(); ++c)
            T.append(kestrel::fieldText(row[c], result.columns[c].sqlType));
        cells.push_back(T);
    }
    return cells;
}

int turnoverRows()
{
    kestrel::db::OdbcConnection connection(M::ConnString);
    return connection.query(kestrel::db::Statement(QStringLiteral("SELECT COUNT(*) FROM turnover")))
        .rows.front()
        .front()
        .value_or(QString())
        .toInt();
}

// Opens the sale form and enters one customer and a line of one unit for
// each product, as the choosers and the prompt would.
Frm_AddTransaction *enterSale(MDIfrm_main &main, const QStringList &customer,
                              const std::vector<QStringList> &products)
{
    auto *form = main.showForm<Frm_AddTransaction>();
    form->takeCustomerPick(customer);
    for (const QStringList &product : products) {
        form->takeProductPick(product);
        main.findForm<Frm_ProdQuant>()->cmd_OK_Click(); // the prompt's "1"
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return form;
}

// Seconds the form takes to save the sale and close; -1 when the lines did
// not all arrive.
double timeSave(Frm_AddTransaction *form)
{
    const int before = turnoverRows();
    QElapsedTimer timer;
    timer.start();
    form->cmd_OK_Click();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (turnoverRows() != before + Lines) {
        std::fprintf(stderr, "the sale did not store %d lines\n", Lines);
        return -1;
    }
    return seconds;
}

// The sale's statements with their values written in, in one transaction.
QString clientScript(const kestrel::sql::Sale &sale)
{
    QString script = QStringLiteral("START TRANSACTION;\n");
    for (const kestrel::sql::SaleLine &line : sale.lines) {
        script += kestrel::sql::insertTurnover(sale, line).rendered() + QStringLiteral(";\n");
        script += kestrel::sql::lowerStock(line).rendered() + QStringLiteral(";\n");
    }
    return script + QStringLiteral("COMMIT;\n");
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int runs = kestrel::bench::runs(app.arguments(), 5);

    MDIfrm_main main;
    main.resize(1280, 900);
    main.show();
    kestrel::bench::useBenchDatabase();
    const std::vector<QStringList> customers = chooserRows(QStringLiteral("customers"), 1);
    const std::vector<QStringList> products = chooserRows(QStringLiteral("products"), Lines);
    if (customers.empty() || int(products.size()) != Lines) {
        std::fprintf(stderr, "the benchmark database holds too few customers or products\n");
        return 1;
    }

    // Best of several runs for both, so a cold cache on either side does not
    // decide the ratio.
    double save = 1e9;
    double client = 1e9;
    for (int i = 0; i < runs; ++i) {
        Frm_AddTransaction *form = enterSale(main, customers.front(), products);
        const QString script = clientScript(form->sale());
        const double s = timeSave(form);
        const double c = kestrel::bench::timeClient(script);
        if (s < 0 || c < 0)
            return 1;
        std::printf("run %d: sale form %.4f s, mariadb client %.4f s\n", i + 1, s, c);
        save = std::min(save, s);
        client = std::min(client, c);
    }
    std::printf("sale of %d lines saved by the sale form: %.4f s\n", Lines, save);
    std::printf("mariadb client, the same %d statements in one transaction: %.4f s\n", 2 * Lines,
                client);
    std::printf("ratio: %.2f (target at most 1.5)\n", save / client);
    return 0;
}
