// How long the turnover chart of a year by day takes from Show to a drawn
// chart, against the mariadb command-line client running the same grouped
// statement in the same run. bench/run seeds the database (1,000,000 sales
// over 1,000 days) and runs this.

#include "BenchSupport.h"
#include "core/statements/Reports.h"
#include "reports/Frm_QueryTurnoverChart.h"
#include "shell/MDIfrm_main.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QChartView>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>

using namespace kestrel;

namespace {

const sql::DayRange Year{QDate(2008, 3, 5), QDate(2009, 3, 4)};

// Seconds from Show until the chart stands painted in its window; -1 when
// it did not draw the year.
double timeChart(Frm_QueryTurnoverChart &form)
{
    auto *show = form.findChild<QAbstractButton *>(QStringLiteral("cmd_Show"));
    auto *view = form.findChild<QChartView *>(QStringLiteral("cht_Turnover"));
    QElapsedTimer timer;
    timer.start();
    show->click();
    // The chart lays out its axes on the event loop, then paints.
    QCoreApplication::processEvents();
    view->viewport()->repaint();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (!form.picture()
        || form.picture()->bars.size() != size_t(Year.first.daysTo(Year.last) + 1)) {
        std::fprintf(stderr, "the chart did not show a bar for every day\n");
        return -1;
    }
    return seconds;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int runs = bench::runs(app.arguments(), 3);

    MDIfrm_main main;
    main.resize(1280, 900);
    main.show();
    bench::useBenchDatabase();
    QCoreApplication::processEvents();

    // As the operator fills it in: the year's days; a bar per day is the
    // option the form starts with.
    auto *form = main.showForm<Frm_QueryTurnoverChart>();
    form->findChild<QCalendarWidget *>(QStringLiteral("mntvw_From"))->setSelectedDate(Year.first);
    form->findChild<QCalendarWidget *>(QStringLiteral("mntvw_To"))->setSelectedDate(Year.last);
    QCoreApplication::processEvents();
    const QString statement = sql::turnoverPerPeriod(Year, sql::TurnoverPeriod::Day).rendered();

    // Best of several runs for both, so a cold cache on either side does
    // not decide the ratio.
    double window = 1e9, client = 1e9;
    for (int i = 0; i < runs; ++i) {
        const double w = timeChart(*form);
        const double c = bench::timeClient(statement);
        if (w < 0 || c < 0)
            return 1;
        std::printf("year by day, run %d: chart %.3f s, mariadb client %.3f s\n", i + 1, w, c);
        std::fflush(stdout);
        window = std::min(window, w);
        client = std::min(client, c);
    }
    std::printf(
        "\n| chart | bars | window | mariadb client | ratio |\n|---|---:|---:|---:|---:|\n");
    std::printf("| a year by day | %lld | %.3f s | %.3f s | %.2f |\n",
                Year.first.daysTo(Year.last) + 1, window, client, window / client);
    std::printf("\nTarget: the chart within 1.5 times the client's time.\n");
    return 0;
}
