// How long each report takes from OK to a result window holding every row,
// against the mariadb command-line client printing the same statement in the
// same run, and how much memory the window of all turnover needs. The forms
// are driven as the operator drives them. bench/run seeds the database
// (1,000,000 sales, 10,000 customers, 5,000 products) and runs this.

#include "BenchSupport.h"
#include "core/statements/Reports.h"
#include "reports/Frm_QueryProductStore.h"
#include "reports/Frm_QueryResults.h"
#include "reports/Frm_QueryTop10Customers.h"
#include "reports/Frm_QueryTurnoverBInterval.h"
#include "shell/MDIfrm_main.h"
#include "widgets/FlexGrid.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace kestrel;

namespace {

// One report: the statement it sends, and how the operator fills in its
// form, up to the button that runs it.
struct Report {
    const char *name;
    db::Statement statement;
    std::function<QAbstractButton *(MDIfrm_main &)> fillIn;
    double windowSeconds = 1e9;
    double clientSeconds = 1e9;
    qint64 rows = 0;
};

void pick(QWidget *form, const char *calendar, const QDate &day)
{
    form->findChild<QCalendarWidget *>(QString::fromLatin1(calendar))->setSelectedDate(day);
}

QAbstractButton *button(QWidget *form, const char *name)
{
    return form->findChild<QAbstractButton *>(QString::fromLatin1(name));
}

// How many rows the statement returns, as the server counts them.
qint64 countRows(const db::Statement &statement)
{
    QString sql = statement.rendered();
    if (sql.endsWith(QLatin1Char(';')))
        sql.chop(1);
    QByteArray output;
    if (bench::timeClient(QStringLiteral("SELECT COUNT(*) FROM (") + sql
                              + QStringLiteral(") AS counted"),
                          &output)
        < 0)
        return -1;
    return output.trimmed().toLongLong();
}

// Seconds from OK until the result window is open and its grid holds every
// row; a window that loads in chunks is waited for on the event loop.
double timeWindow(MDIfrm_main &main, const Report &report)
{
    main.closeForm<Frm_QueryResults>();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QAbstractButton *ok = report.fillIn(main);
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    ok->click();
    while (true) {
        QCoreApplication::processEvents(); // at least the first paint
        const Frm_QueryResults *window = main.findForm<Frm_QueryResults>();
        if (!window) {
            std::fprintf(stderr, "%s: the result window did not open\n", report.name);
            return -1;
        }
        if (kestrel::bench::resultGrid<kestrel::FlexGrid>(window)->Rows() - 1 == report.rows)
            break;
        if (timer.elapsed() > 600000) {
            std::fprintf(stderr, "%s: the window did not show %lld rows\n", report.name,
                         report.rows);
            return -1;
        }
    }
    return double(timer.nsecsElapsed()) / 1e9;
}

std::vector<Report> benchReports()
{
    const QDate week(2008, 3, 5), deliveredFrom(2008, 4, 1), deliveredTo(2008, 6, 30);
    sql::ProductStoreCriteria delivered;
    delivered.delivered = sql::DayRange{deliveredFrom, deliveredTo};
    std::vector<Report> list;
    list.push_back({"turnover of one week", sql::turnoverBetween({week, week.addDays(6)}).statement,
                    [week](MDIfrm_main &main) {
                        auto *form = main.showForm<Frm_QueryTurnoverBInterval>();
                        pick(form, "mntvw_From", week);
                        pick(form, "mntvw_To", week.addDays(6));
                        return button(form, "cmd_OK");
                    }});
    list.push_back({"product in store, delivered in a quarter",
                    sql::productsInStore(delivered).statement, [=](MDIfrm_main &main) {
                        auto *form = main.showForm<Frm_QueryProductStore>();
                        button(form, "chk_Delivered")->click();
                        pick(form, "mntvw_From", deliveredFrom);
                        pick(form, "mntvw_To", deliveredTo);
                        return button(form, "cmd_OK");
                    }});
    list.push_back({"top ten by visits",
                    sql::topTenCustomers(sql::CustomerRanking::Visits).statement,
                    [](MDIfrm_main &main) {
                        return button(main.showForm<Frm_QueryTop10Customers>(), "cmd_OK");
                    }});
    list.push_back({"top ten by amount",
                    sql::topTenCustomers(sql::CustomerRanking::Amount).statement,
                    [](MDIfrm_main &main) {
                        auto *form = main.showForm<Frm_QueryTop10Customers>();
                        button(form, "opt_Amount")->click();
                        return button(form, "cmd_OK");
                    }});
    // Last, so that the peak memory read after it is this window's.
    list.push_back({"all turnover", sql::allTurnover().statement, [](MDIfrm_main &main) {
                        return button(main.showForm<Frm_QueryTurnoverBInterval>(), "cmd_ShowAll");
                    }});
    return list;
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

    std::vector<Report> list = benchReports();
    for (Report &report : list) {
        report.rows = countRows(report.statement);
        if (report.rows <= 0) {
            std::fprintf(stderr, "%s: no rows to show\n", report.name);
            return 1;
        }
        // Best of several runs for both, so a cold cache on either side does
        // not decide the ratio.
        for (int i = 0; i < runs; ++i) {
            const double w = timeWindow(main, report);
            const double c = bench::timeClient(report.statement.rendered());
            if (w < 0 || c < 0)
                return 1;
            std::printf("%s, run %d: window %.3f s, mariadb client %.3f s\n", report.name, i + 1, w,
                        c);
            std::fflush(stdout);
            report.windowSeconds = std::min(report.windowSeconds, w);
            report.clientSeconds = std::min(report.clientSeconds, c);
        }
    }
    const double peak = bench::peakMegabytes();

    std::printf("\n| report | rows | window | mariadb client | ratio |\n");
    std::printf("|---|---:|---:|---:|---:|\n");
    for (const Report &report : list)
        std::printf("| %s | %lld | %.3f s | %.3f s | %.2f |\n", report.name, report.rows,
                    report.windowSeconds, report.clientSeconds,
                    report.windowSeconds / report.clientSeconds);
    std::printf("\nTargets: every ratio at most 1.5; one week under 0.2 s.\n");
    std::printf("Peak memory with the window of all turnover: %.1f MB (target under 800 MB).\n",
                peak);
    return 0;
}
