// The edit grid on the sales view: how long it takes to load every sale and
// to compare every row with the database, each against the mariadb client
// reading the same statement; how long a save of ten changed cells takes
// with 1,000 and with 100,000 rows loaded; and the memory all of it needs.
// bench/run prepares the database and runs this.

#include "BenchSupport.h"

#include "core/shared/mdl_Variables_Functions.h"
#include "core/statements/Edit.h"
#include "core/statements/Find.h"
#include "core/statements/Lists.h"
#include "editing/Frm_EditResults.h"
#include "shell/MDIfrm_main.h"
#include "widgets/FlexGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <algorithm>
#include <cstdio>

namespace M = mdl_Variables_Functions;
using namespace kestrel;

namespace {

// The last message the grid showed, so that a failure is not timed as work.
QString lastMessage;

double seconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

// Opens the grid on statement; seconds until every row is in, or
// -1 when it did not load the expected rows.
double timeLoad(MDIfrm_main &main, const QString &statement, int expectedRows)
{
    main.closeForm<Frm_EditResults>();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QElapsedTimer timer;
    timer.start();
    const QPointer<Frm_EditResults> grid =
        Frm_EditResults::Open(sql::editTransactions(db::Statement(statement)));
    while (grid && grid->isLoading())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double elapsed = seconds(timer);
    if (!grid || kestrel::bench::resultGrid<kestrel::FlexGrid>(grid)->Rows() - 1 != expectedRows) {
        std::fprintf(stderr, "the edit grid did not load %d rows\n", expectedRows);
        return -1;
    }
    return elapsed;
}

// Changes a price and a quantity in each of five rows through the cell
// editor, each run to new values. The rows lie among the first 1,000, so
// that a grid of 1,000 rows and one of 100,000 save the same records and
// differ only in the rows they hold.
void changeTenCells(Frm_EditResults &grid, int run)
{
    FlexGrid &cells = *kestrel::bench::resultGrid<kestrel::FlexGrid>(&grid);
    for (int i = 0; i < 5; ++i) {
        const int row = 1 + i * 200;
        for (const auto &[col, text] : {std::pair{7, QStringLiteral("%1,%2").arg(20 + run).arg(i)},
                                        std::pair{5, QString::number(2 + (run + i) % 5)}}) {
            cells.setRow(row);
            cells.setCol(col);
            grid.StartEdit(32);
            grid.findChild<QLineEdit *>(QStringLiteral("txt"))->setText(text);
            grid.EndEdit();
        }
    }
}

// Seconds a click on the button takes; -1 when it did not end with message.
double timeClick(void (Frm_EditResults::*click)(), Frm_EditResults &grid, const QString &message)
{
    lastMessage.clear();
    QElapsedTimer timer;
    timer.start();
    (grid.*click)();
    const double elapsed = seconds(timer);
    if (lastMessage != message) {
        std::fprintf(stderr, "expected \"%s\", got \"%s\"\n", qPrintable(message),
                     qPrintable(lastMessage));
        return -1;
    }
    return elapsed;
}

struct Best {
    double value = 1e9;
    void take(double v) { value = std::min(value, v); }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int runs = bench::runs(app.arguments());
    M::SetMessageService({[](const M::Message &m) {
                              lastMessage = m.text;
                              return M::MsgAnswer::OK;
                          },
                          [] {}});
    MDIfrm_main main;
    main.resize(1280, 900);
    main.show();
    bench::useBenchDatabase();
    QCoreApplication::processEvents();
    constexpr int Sales = 100000;
    constexpr int FewSales = 1000;
    // What Show All of the sales find form lists.
    const QString all = sql::showAll(sql::FindTable::Transactions).statement.sql;
    const QString few =
        sql::salesJoinSurnameFirst(sql::SalesRead::BySale)
        + QStringLiteral(" and (turnover.ID <= %1) order by turnover.ID;").arg(FewSales);
    const QString saved = QStringLiteral("Changes have Saved!");

    // Best of several runs for every figure, so that a cold cache on either
    // side does not decide a ratio.
    Best load, client, compare, saveFew, saveAll;
    for (int run = 0; run < runs; ++run) {
        // The client first: the server's work for it must not fall into a
        // save timed right after.
        const double c = bench::timeClient(all);
        const double l = timeLoad(main, all, Sales);
        if (l < 0 || c < 0)
            return 1;
        // The same steps on both grids: ten cells changed, Show Changes, Save.
        Frm_EditResults *grid = main.findForm<Frm_EditResults>();
        changeTenCells(*grid, 2 * run);
        const double s = timeClick(&Frm_EditResults::cmd_Show_Click, *grid,
                                   QStringLiteral("Changes have checked!"));
        const double a = timeClick(&Frm_EditResults::cmd_Save_Click, *grid, saved);
        if (timeLoad(main, few, FewSales) < 0)
            return 1;
        grid = main.findForm<Frm_EditResults>();
        changeTenCells(*grid, 2 * run + 1);
        const double fewShow = timeClick(&Frm_EditResults::cmd_Show_Click, *grid,
                                         QStringLiteral("Changes have checked!"));
        const double f = timeClick(&Frm_EditResults::cmd_Save_Click, *grid, saved);
        if (s < 0 || a < 0 || fewShow < 0 || f < 0)
            return 1;
        std::printf("run %d: load %.3f s, mariadb client %.3f s, show changes %.3f s, "
                    "save %.1f ms (100,000 rows) / %.1f ms (1,000 rows)\n",
                    run + 1, l, c, s, a * 1000, f * 1000);
        load.take(l);
        client.take(c);
        compare.take(s);
        saveAll.take(a);
        saveFew.take(f);
    }
    std::printf("edit grid load, %d sales: %.3f s\n", Sales, load.value);
    std::printf("mariadb client, same statement: %.3f s\n", client.value);
    std::printf("load ratio: %.2f (target at most 1.0)\n", load.value / client.value);
    std::printf("show changes over %d rows: %.3f s, ratio %.2f (target at most 1.5)\n", Sales,
                compare.value, compare.value / client.value);
    std::printf("save of ten changed cells: %.1f ms with %d rows loaded, %.1f ms with %d "
                "(target: the same)\n",
                saveFew.value * 1000, FewSales, saveAll.value * 1000, Sales);
    std::printf("peak memory: %.1f MB (target under 200 MB)\n", bench::peakMegabytes());
    return 0;
}
