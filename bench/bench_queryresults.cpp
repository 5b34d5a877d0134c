// How quickly each list of sales ordered by sale shows a long sales history,
// opened as the operator opens it, against the mariadb command-line client
// on the same statement in the same run: the time to the first screen of
// rows, the time to every row, and the peak memory; then the CSV export of
// every sale against the client writing the same rows to a file. bench/run
// prepares the database and runs this once per size: bench_queryresults
// --sales N.

#include "BenchSupport.h"
#include "core/database/RowStream.h"
#include "core/shared/mdl_Variables_Functions.h"
#include "core/statements/Find.h"
#include "core/statements/Lists.h"
#include "core/statements/Reports.h"
#include "editing/Frm_EditResults.h"
#include "editing/Frm_EditTransaction.h"
#include "reports/Frm_QueryResults.h"
#include "reports/Frm_QueryTurnoverBInterval.h"
#include "shell/MDIfrm_main.h"
#include "widgets/FlexGrid.h"
#include "widgets/GridExport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace bench = kestrel::bench;
namespace sql = kestrel::sql;

namespace {

// The seeded history runs over 1,000 days from this one.
const QDate FirstDay(2008, 3, 5);
const QDate LastDay = FirstDay.addDays(999);

double seconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

QAbstractButton *button(QWidget *form, const char *name)
{
    return form->findChild<QAbstractButton *>(QString::fromLatin1(name));
}

// One list: the statement it sends, how the operator opens it, and the best
// figures of the runs.
struct SalesList {
    const char *name;
    kestrel::db::Statement statement;
    std::function<void(MDIfrm_main &)> open;
    bool editGrid = false;
    double firstScreen = 1e9;
    double allRows = 1e9;
    double client = 1e9;
};

std::vector<SalesList> salesLists()
{
    std::vector<SalesList> lists;
    lists.push_back(
        {"All Turnover", sql::allTurnover().statement, [](MDIfrm_main &main) {
             button(main.showForm<Frm_QueryTurnoverBInterval>(), "cmd_ShowAll")->click();
         }});
    lists.push_back(
        {"delete view of sales", sql::deleteTransactions().statement, [](MDIfrm_main &main) {
             main.findChild<QAction *>(QStringLiteral("mnu_DTransaction"))->trigger();
         }});
    lists.push_back({"turnover between the first and the last day",
                     sql::turnoverBetween({FirstDay, LastDay}).statement, [](MDIfrm_main &main) {
                         auto *form = main.showForm<Frm_QueryTurnoverBInterval>();
                         form->findChild<QCalendarWidget *>(QStringLiteral("mntvw_From"))
                             ->setSelectedDate(FirstDay);
                         form->findChild<QCalendarWidget *>(QStringLiteral("mntvw_To"))
                             ->setSelectedDate(LastDay);
                         button(form, "cmd_OK")->click();
                     }});
    lists.push_back({"Show All sales (edit grid)",
                     sql::showAll(sql::FindTable::Transactions).statement,
                     [](MDIfrm_main &main) {
                         button(main.showForm<Frm_EditTransaction>(), "cmd_ShowAll")->click();
                     },
                     true});
    return lists;
}

// Rows that fill the grid's visible area.
int screenRows(const kestrel::FlexGrid &grid)
{
    return grid.viewport()->height() / std::max(grid.rowHeight(0), 1) + 1;
}

void closeLists(MDIfrm_main &main)
{
    main.closeForm<Frm_QueryResults>();
    main.closeForm<Frm_EditResults>();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct Times {
    double firstScreen = -1;
    double allRows = -1;
};

// Opens the list's window (a result window or the edit grid) as the
// operator does and waits, as the operator would, for the first screen of
// rows to be painted and then for the last.
template <class Window>
Times timeWindow(MDIfrm_main &main, const SalesList &list, qint64 expectedRows)
{
    Times times;
    QElapsedTimer timer;
    timer.start();
    list.open(main);
    const QPointer<Window> window = main.findForm<Window>();
    if (!window)
        return times;
    kestrel::FlexGrid *grid = kestrel::bench::resultGrid<kestrel::FlexGrid>(window);
    while (window && window->loadedRows() < std::min<qint64>(screenRows(*grid), expectedRows))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!window)
        return times;
    grid->viewport()->repaint();
    times.firstScreen = seconds(timer);
    while (window && window->isLoading())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    times.allRows = seconds(timer);
    if (!window || window->loadedRows() != expectedRows)
        times.allRows = -1;
    return times;
}

// Seconds until the server sends the statement's first row, connecting
// included.
double timeFirstRow(const kestrel::db::Statement &statement)
{
    QElapsedTimer timer;
    timer.start();
    double first = -1;
    kestrel::db::RowStream stream(mdl_Variables_Functions::ConnString, statement);
    // A deadline already passed: the stream hands over a few rows and stops.
    stream.fetch(QDeadlineTimer(0), [&](kestrel::db::RowBytes) {
        if (first < 0)
            first = seconds(timer);
    });
    stream.close();
    return first;
}

double timeExport(const Frm_QueryResults &window, const QString &file)
{
    QElapsedTimer timer;
    timer.start();
    if (kestrel::writeGridCsv(*kestrel::bench::resultGrid<kestrel::FlexGrid>(&window), file,
                              nullptr)
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
    const int runs = bench::runs(args, 3);
    const qint64 sales = bench::option(args, QStringLiteral("--sales"), 100000);

    MDIfrm_main main;
    main.resize(1280, 900);
    main.show();
    bench::useBenchDatabase();
    QCoreApplication::processEvents();
    const double before = bench::peakMegabytes();
    QTemporaryDir scratch;

    // Best of several runs for each figure, so a cold cache on either side
    // does not decide a ratio. The edit grid goes last: its million rows
    // would otherwise stand in the result windows' peak memory.
    std::vector<SalesList> lists = salesLists();
    double resultWindowsPeak = 0;
    double editGridFirstRow = 1e9;
    for (SalesList &list : lists) {
        if (list.editGrid)
            resultWindowsPeak = bench::peakMegabytes();
        for (int i = 0; i < runs; ++i) {
            closeLists(main);
            const Times t = list.editGrid ? timeWindow<Frm_EditResults>(main, list, sales)
                                          : timeWindow<Frm_QueryResults>(main, list, sales);
            closeLists(main);
            const double c =
                bench::timeClientTo(list.statement.rendered(), {}, QProcess::nullDevice());
            if (t.firstScreen < 0 || t.allRows < 0 || c < 0) {
                std::fprintf(stderr, "%s: the list did not show %lld rows\n", list.name, sales);
                return 1;
            }
            if (list.editGrid)
                editGridFirstRow = std::min(editGridFirstRow, timeFirstRow(list.statement));
            std::printf("%s, run %d: first screen %.3f s, every row %.3f s, mariadb client "
                        "%.3f s\n",
                        list.name, i + 1, t.firstScreen, t.allRows, c);
            std::fflush(stdout);
            list.firstScreen = std::min(list.firstScreen, t.firstScreen);
            list.allRows = std::min(list.allRows, t.allRows);
            list.client = std::min(list.client, c);
        }
    }
    const double peak = bench::peakMegabytes();

    // The CSV export of every sale, against the client writing them to a file.
    double exported = 1e9;
    double batch = 1e9;
    for (int i = 0; i < runs; ++i) {
        closeLists(main);
        if (timeWindow<Frm_QueryResults>(main, lists.front(), sales).allRows < 0)
            return 1;
        const double e =
            timeExport(*main.findForm<Frm_QueryResults>(), scratch.filePath("sales.csv"));
        const double b =
            bench::timeClientTo(lists.front().statement.rendered(), {QStringLiteral("--batch")},
                                scratch.filePath("sales.tsv"));
        if (e < 0 || b < 0)
            return 1;
        exported = std::min(exported, e);
        batch = std::min(batch, b);
    }

    std::printf("\nsales lists, %lld sales, best of %d runs\n", sales, runs);
    std::printf("| list | first screen (target under 0.1 s at 1,000,000) | every row | mariadb "
                "client | ratio (target at most 1.0) |\n|---|---:|---:|---:|---:|\n");
    for (const SalesList &list : lists)
        std::printf("| %s | %.3f s | %.3f s | %.3f s | %.2f |\n", list.name, list.firstScreen,
                    list.allRows, list.client, list.allRows / list.client);
    std::printf("The server sends the edit grid's statement's first row after %.3f s.\n",
                editGridFirstRow);
    std::printf("CSV export of every sale: %.3f s; mariadb --batch to a file: %.3f s; ratio %.2f "
                "(target at most 1.5)\n",
                exported, batch, exported / batch);
    std::printf("peak memory: %.1f MB with the result windows, %.1f MB with the edit grid "
                "(%.1f MB before the first list)\n",
                resultWindowsPeak, peak, before);
    return 0;
}
