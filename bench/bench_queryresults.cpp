// How quickly the result window shows a long sales history, against the
// mariadb command-line client on the same statement in the same run: the
// time to the first screen of rows, the time to every row, the peak memory,
// and the CSV export of the whole list against the client writing the same
// rows to a file. bench/run prepares the database and runs this once per
// size: bench_queryresults --sales N.

#include "BenchSupport.h"
#include "reports/Frm_QueryResults.h"
#include "shell/MDIfrm_main.h"
#include "widgets/FlexGrid.h"
#include "widgets/GridExport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace bench = kestrel::bench;

namespace {

const QString AllSales = QStringLiteral(
    "SELECT turnover.ID,customers.FirstName,customers.SurName,turnover.Date,turnover.Quantity,"
    "products.UM,turnover.Price,turnover.PricewTax,products.Description FROM "
    "turnover,customers,products where (products.ID = turnover.ProductID) and "
    "(customers.ID = turnover.CustomerID) order by turnover.ID;");

kestrel::ResultRequest allSalesRequest()
{
    kestrel::ResultRequest request;
    request.statement = kestrel::db::Statement(AllSales);
    request.caption = QStringLiteral("All Turnover");
    request.columns = {{"ID", "0.0795"},    {"FirstName", "0.0965"}, {"SurName", "0.0965"},
                       {"Date", "0.1163"},  {"Quantity", "0.0795"},  {"UM", "0.0795"},
                       {"Price", "0.0795"}, {"PricewTax", "0.0795"}, {"Description", "0.2884"}};
    return request;
}

double seconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

struct WindowTimes {
    double firstScreen = -1;
    double allRows = -1;
};

// Rows that fill the grid's visible area.
int screenRows(const kestrel::FlexGrid &grid)
{
    return grid.viewport()->height() / std::max(grid.rowHeight(0), 1) + 1;
}

// Opens the window and waits, as the operator would, for the first screen
// of rows to be painted and then for the last row.
WindowTimes timeWindow(MDIfrm_main &main, qint64 expectedRows)
{
    main.closeForm<Frm_QueryResults>();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    WindowTimes times;
    QElapsedTimer timer;
    timer.start();
    const QPointer<Frm_QueryResults> window = Frm_QueryResults::Open(allSalesRequest());
    if (!window)
        return times;
    kestrel::FlexGrid *grid = window->fxg_QueryResult;
    while (window && window->loadedRows() < std::min<qint64>(screenRows(*grid), expectedRows))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!window)
        return times;
    grid->viewport()->repaint();
    times.firstScreen = seconds(timer);
    while (window && window->isLoading())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    times.allRows = seconds(timer);
    if (!window || window->loadedRows() != expectedRows) {
        std::fprintf(stderr, "the window did not show %lld rows\n", expectedRows);
        times.allRows = -1;
    }
    return times;
}

double timeExport(const Frm_QueryResults &window, const QString &file)
{
    QElapsedTimer timer;
    timer.start();
    if (kestrel::writeGridCsv(*window.fxg_QueryResult, file, nullptr)
        != kestrel::ExportResult::Saved) {
        std::fprintf(stderr, "the CSV export failed\n");
        return -1;
    }
    return seconds(timer);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int runs = bench::runs(args, 5);
    const qint64 sales = bench::option(args, QStringLiteral("--sales"), 100000);

    MDIfrm_main main;
    main.resize(1280, 900);
    main.show();
    bench::useBenchDatabase();
    QCoreApplication::processEvents();
    const double before = bench::peakMegabytes();
    QTemporaryDir scratch;

    // Best of several runs for each, so a cold cache on either side does not
    // decide a ratio.
    WindowTimes best{1e9, 1e9};
    double client = 1e9;
    double exported = 1e9;
    double batch = 1e9;
    for (int i = 0; i < runs; ++i) {
        const WindowTimes w = timeWindow(main, sales);
        const double c = bench::timeClientTo(AllSales, {}, QProcess::nullDevice());
        const QPointer<Frm_QueryResults> window = main.findForm<Frm_QueryResults>();
        const double e = window ? timeExport(*window, scratch.filePath("sales.csv")) : -1;
        const double b =
            bench::timeClientTo(AllSales, {QStringLiteral("--batch")}, scratch.filePath("sales.tsv"));
        if (w.firstScreen < 0 || w.allRows < 0 || c < 0 || e < 0 || b < 0)
            return 1;
        std::printf("run %d: first screen %.3f s, all rows %.3f s, mariadb client %.3f s; "
                    "CSV export %.3f s, mariadb --batch to a file %.3f s\n",
                    i + 1, w.firstScreen, w.allRows, c, e, b);
        best.firstScreen = std::min(best.firstScreen, w.firstScreen);
        best.allRows = std::min(best.allRows, w.allRows);
        client = std::min(client, c);
        exported = std::min(exported, e);
        batch = std::min(batch, b);
    }
    std::printf("result window, %lld rows\n", sales);
    std::printf("  first screen: %.3f s (target under 0.1 s)\n", best.firstScreen);
    std::printf("  all rows: %.3f s; mariadb client, same statement: %.3f s; ratio %.2f "
                "(target at most 1.0)\n",
                best.allRows, client, best.allRows / client);
    std::printf("  CSV export: %.3f s; mariadb --batch to a file: %.3f s; ratio %.2f "
                "(target at most 1.5)\n",
                exported, batch, exported / batch);
    std::printf("  peak memory: %.1f MB (%.1f MB before the first list)\n", bench::peakMegabytes(),
                before);
    return 0;
}
