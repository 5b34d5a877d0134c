// How long a scan takes at the till: 1,000 bar codes scanned into one open
// sale against 100,000 products, each timed from the scanner's Enter in the
// sale form's Bar code box until its line holds the new quantity (a first
// scan of a product through the quantity prompt's proposed 1, a repeated
// one raising its line). bench/run prepares the database and runs this.

#include "BenchSupport.h"
#include "core/shared/mdl_Variables_Functions.h"
#include "entry/Frm_AddTransaction.h"
#include "entry/Frm_ProdQuant.h"
#include "shell/MDIfrm_main.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>

namespace M = mdl_Variables_Functions;

namespace {

constexpr int Scans = 1000;
// Products scanned: many lines, and most of them scanned more than once.
constexpr int Distinct = 400;
constexpr double TargetMs = 20;

void pressEnter(QWidget *widget)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

struct Scan {
    double ms = 0;
    bool newLine = false; // through the quantity prompt
};

// Milliseconds from the scanner's Enter until the line is there.
Scan timeScan(MDIfrm_main &main, QLineEdit *box, const QString &code)
{
    QElapsedTimer timer;
    timer.start();
    box->setText(code);
    pressEnter(box);
    Frm_ProdQuant *prompt = main.findForm<Frm_ProdQuant>();
    if (prompt)
        prompt->cmd_OK_Click(); // the proposed 1
    const Scan scan{double(timer.nsecsElapsed()) / 1e6, prompt != nullptr};
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return scan;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const qint64 products =
        kestrel::bench::option(app.arguments(), QStringLiteral("--products"), 100000);
    MDIfrm_main main;
    main.resize(1280, 900);
    main.show();
    kestrel::bench::useBenchDatabase();
    // Every scan must sell: a message (an unknown code, a stock too small)
    // would mean the benchmark timed something else.
    int messages = 0;
    M::SetMessageService({[&](const M::Message &message) {
                              ++messages;
                              std::fprintf(stderr, "%s\n", qPrintable(message.text));
                              return M::MsgAnswer::No;
                          },
                          [] {}});
    auto *form = main.showForm<Frm_AddTransaction>();
    auto *box = form ? form->findChild<QLineEdit *>(QStringLiteral("txt_BarCode")) : nullptr;
    if (!box) {
        std::fprintf(stderr, "no sale form with a Bar code box\n");
        return 1;
    }
    // bench/seed.sql gives product N the bar code 599N.
    QRandomGenerator random(20);
    std::vector<QString> codes;
    for (int i = 0; i < Distinct; ++i)
        codes.push_back(QStringLiteral("599") + QString::number(1 + random.bounded(products)));
    std::vector<double> times, newLines, repeats;
    for (int i = 0; i < Scans; ++i) {
        const Scan scan = timeScan(main, box, codes[size_t(random.bounded(Distinct))]);
        times.push_back(scan.ms);
        (scan.newLine ? newLines : repeats).push_back(scan.ms);
    }
    const qsizetype lines = form->sale().lines.size();
    if (messages > 0 || lines < 2) {
        std::fprintf(stderr, "the scans made %lld lines and %d messages\n",
                     static_cast<long long>(lines), messages);
        return 1;
    }
    // The sale grows with every new product: how the last scans compare
    // with the first says whether a scan's cost grows with it.
    const auto medianOf = [](std::vector<double> part) {
        std::sort(part.begin(), part.end());
        return part[part.size() / 2];
    };
    const double early = medianOf({times.begin(), times.begin() + 100});
    const double late = medianOf({times.end() - 100, times.end()});
    std::sort(times.begin(), times.end());
    const auto at = [&](double share) { return times[size_t(share * (times.size() - 1))]; };
    std::printf("%d scans into one sale of %lld lines, %lld products:\n", Scans,
                static_cast<long long>(lines), static_cast<long long>(products));
    std::printf("median %.2f ms, 99th percentile %.2f ms, slowest %.2f ms (target: each under "
                "%.0f ms)\n",
                at(0.5), at(0.99), times.back(), TargetMs);
    std::printf("median of the first 100 scans %.2f ms, of the last 100 %.2f ms\n", early, late);
    std::printf("new lines (through the prompt): median %.2f ms, slowest %.2f ms; repeated codes: "
                "median %.2f ms, slowest %.2f ms\n",
                medianOf(newLines), *std::max_element(newLines.begin(), newLines.end()),
                medianOf(repeats), *std::max_element(repeats.begin(), repeats.end()));
    return 0;
}
