// How long the result window takes to show every sale, against the mariadb
// command-line client printing the same statement, and how much memory the
// window needs for them. bench/run prepares the database and runs this.

#include "BenchSupport.h"
#include "reports/Frm_QueryResults.h"
#include "shell/MDIfrm_main.h"
#include "widgets/FlexGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>

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

// Seconds until the window is open and its grid holds every row; -1 on failure.
double timeWindow(MDIfrm_main &main, int expectedRows)
{
    main.closeForm<Frm_QueryResults>();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QElapsedTimer timer;
    timer.start();
    const QPointer<Frm_QueryResults> window = Frm_QueryResults::Open(allSalesRequest());
    QCoreApplication::processEvents(); // the first paint
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (!window || window->fxg_QueryResult->Rows() - 1 != expectedRows) {
        std::fprintf(stderr, "the window did not show %d rows\n", expectedRows);
        return -1;
    }
    return seconds;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int runs = kestrel::bench::runsArgument(app.arguments(), 3);

    MDIfrm_main main;
    main.resize(1280, 900);
    main.show();
    kestrel::bench::useBenchDatabase();
    constexpr int Sales = 100000;
    QCoreApplication::processEvents();
    const double before = kestrel::bench::peakMegabytes();

    // Best of several runs for both, so a cold cache on either side does not
    // decide the ratio.
    double window = 1e9;
    double client = 1e9;
    for (int i = 0; i < runs; ++i) {
        const double w = timeWindow(main, Sales);
        const double c = kestrel::bench::timeClient(AllSales);
        if (w < 0 || c < 0)
            return 1;
        std::printf("run %d: result window %.3f s, mariadb client %.3f s\n", i + 1, w, c);
        window = std::min(window, w);
        client = std::min(client, c);
    }
    std::printf("result window, %d rows: %.3f s\n", Sales, window);
    std::printf("mariadb client, same statement: %.3f s\n", client);
    std::printf("ratio: %.2f (target at most 1.5)\n", window / client);
    std::printf("peak memory: %.1f MB (target under 150 MB; %.1f MB before the first list)\n",
                kestrel::bench::peakMegabytes(), before);
    return 0;
}
