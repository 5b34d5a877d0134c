#include "reports/TurnoverChart.h"

#include "core/shared/Formats.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QValueAxis>
#include <functional>

namespace kestrel::reports {

using sql::TurnoverBar;
using sql::TurnoverPeriod;

namespace {

// At most this many labels stand under the bars: one per bar while they
// fit, else one per month, else one per year.
constexpr int MaxLabels = 31;

// Kestrel's green, a shade darker than the grids' stripes, and a colour
// that stands apart from it for the line and the chosen bar.
const QColor GrossColour(40, 150, 110);
const QColor SalesColour(210, 100, 20);

// Files and printouts draw the chart at this size, in a screen's pixels,
// and scale it to the page: the same labels fit on every page.
const QSizeF DrawnSize(1200, 675);
constexpr qreal PngScale = 1.5;

QString periodWord(TurnoverPeriod period)
{
    switch (period) {
    case TurnoverPeriod::Week:
        return QStringLiteral("Week");
    case TurnoverPeriod::Month:
        return QStringLiteral("Month");
    case TurnoverPeriod::Day:
        break;
    }
    return QStringLiteral("Day");
}

// A bar's label under the chart.
QString shortName(const QDate &start, TurnoverPeriod period)
{
    switch (period) {
    case TurnoverPeriod::Week:
        return fmt::isoWeek(start);
    case TurnoverPeriod::Month:
        return fmt::gridMonth(start);
    case TurnoverPeriod::Day:
        break;
    }
    return fmt::gridDate(start);
}

// Labels for runs of bars: a run is the bars whose periods start within
// the same label.
QCategoryAxis *periodAxis(const std::vector<TurnoverBar> &bars, TurnoverPeriod period)
{
    using Label = std::function<QString(const QDate &)>;
    const Label levels[] = {[period](const QDate &d) { return shortName(d, period); },
                            [](const QDate &d) { return fmt::gridMonth(d); },
                            [](const QDate &d) { return QString::number(d.year()); }};
    auto *axis = new QCategoryAxis;
    axis->setStartValue(-0.5);
    axis->setRange(-0.5, qreal(bars.size()) - 0.5);
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionCenter);
    axis->setGridLineVisible(false);
    for (const Label &label : levels) {
        std::vector<std::pair<QString, qreal>> runs; // each label and where its run ends
        for (size_t i = 0; i < bars.size(); ++i) {
            const QString text = label(bars[i].start);
            if (runs.empty() || runs.back().first != text)
                runs.emplace_back(text, 0);
            runs.back().second = qreal(i) + 0.5;
        }
        if (runs.size() > MaxLabels && &label != &levels[std::size(levels) - 1])
            continue;
        for (const auto &[text, end] : runs)
            axis->append(text, end);
        // Long labels side by side would be cut short: they lean instead.
        axis->setLabelsAngle(runs.size() > 8 ? -45 : 0);
        break;
    }
    return axis;
}

QValueAxis *valueAxis(qreal largest, const QString &title, const QString &format)
{
    auto *axis = new QValueAxis;
    axis->setRange(0, std::max<qreal>(largest, 1));
    axis->setTickCount(6);
    axis->applyNiceNumbers();
    axis->setLabelFormat(format);
    axis->setTitleText(title);
    return axis;
}

QString salesText(qint64 sales)
{
    return sales == 1 ? QStringLiteral("1 sale") : QStringLiteral("%1 sales").arg(sales);
}

// A sum of the bars' amounts in words; beyond the largest amount it says so.
QString sumText(const std::vector<TurnoverBar> &bars, Money TurnoverBar::*amount)
{
    std::optional<Money> sum = Money::zero();
    for (const TurnoverBar &bar : bars) {
        if (sum)
            sum = sum->plus(bar.*amount);
    }
    return sum ? fmt::formatAmount(*sum)
               : QStringLiteral("beyond ") + fmt::formatAmount(Money::largest());
}

// Draws on one page of a PDF or a printer, inside its margins.
bool paintOnPage(QPagedPaintDevice &page, const TurnoverPicture &picture)
{
    QPainter painter;
    if (!painter.begin(&page))
        return false;
    const QRect area = page.pageLayout().paintRectPixels(page.logicalDpiX());
    paintTurnoverChart(painter, QRectF(QPointF(), area.size()), picture);
    return painter.end();
}

} // namespace

QString TurnoverPicture::title() const
{
    return QStringLiteral("Turnover per %1, %2 to %3")
        .arg(periodWord(period), fmt::longDate(days.first), fmt::longDate(days.last));
}

QString TurnoverPicture::totals() const
{
    qint64 sales = 0;
    for (const TurnoverBar &bar : bars)
        sales += bar.sales;
    return QStringLiteral("Gross %1, net %2, %3")
        .arg(sumText(bars, &TurnoverBar::gross), sumText(bars, &TurnoverBar::net),
             salesText(sales));
}

QString periodName(const QDate &start, TurnoverPeriod period)
{
    if (period == TurnoverPeriod::Week)
        return QStringLiteral("Week %1, from %2").arg(fmt::isoWeek(start), fmt::gridDate(start));
    return shortName(start, period);
}

QString barText(const TurnoverBar &bar, TurnoverPeriod period)
{
    return QStringLiteral("%1: gross %2, net %3, %4")
        .arg(periodName(bar.start, period), fmt::formatAmount(bar.gross),
             fmt::formatAmount(bar.net), salesText(bar.sales));
}

QChart *makeTurnoverChart(const TurnoverPicture &picture)
{
    auto *chart = new QChart;
    chart->setTitle(QStringLiteral("<b>%1</b><br>%2")
                        .arg(picture.title().toHtmlEscaped(), picture.totals().toHtmlEscaped()));
    // The axes' numbers as Kestrel writes amounts: a decimal comma, no
    // grouping.
    QLocale decimalComma(QLocale::German);
    decimalComma.setNumberOptions(QLocale::OmitGroupSeparator);
    chart->setLocale(decimalComma);
    chart->setLocalizeNumbers(true);
    chart->legend()->setAlignment(Qt::AlignBottom);

    auto *gross = new QBarSet(QStringLiteral("Gross"));
    auto *sales = new QLineSeries;
    sales->setName(QStringLiteral("Sales"));
    qreal grossTop = 0, salesTop = 0;
    for (size_t i = 0; i < picture.bars.size(); ++i) {
        const TurnoverBar &bar = picture.bars[i];
        const qreal units = qreal(bar.gross.cents()) / Money::CentsPerUnit;
        gross->append(units);
        sales->append(qreal(i), qreal(bar.sales));
        grossTop = std::max(grossTop, units);
        salesTop = std::max(salesTop, qreal(bar.sales));
    }
    gross->setColor(GrossColour);
    gross->setBorderColor(GrossColour);
    gross->setSelectedColor(SalesColour);
    sales->setPen(QPen(SalesColour, 2));
    sales->setPointsVisible(picture.bars.size() <= 62);
    auto *bars = new QBarSeries;
    bars->setBarWidth(0.8);
    bars->append(gross);
    chart->addSeries(bars);
    chart->addSeries(sales);

    QCategoryAxis *periods = periodAxis(picture.bars, picture.period);
    QValueAxis *amounts =
        valueAxis(grossTop, QStringLiteral("Gross"),
                  grossTop >= 100 ? QStringLiteral("%.0f") : QStringLiteral("%.2f"));
    // Whole sales only: below five the ticks would fall between them and
    // read "0 0 1 1".
    QValueAxis *counts =
        valueAxis(std::max<qreal>(salesTop, 5), QStringLiteral("Sales"), QStringLiteral("%.0f"));
    counts->setGridLineVisible(false);
    chart->addAxis(periods, Qt::AlignBottom);
    chart->addAxis(amounts, Qt::AlignLeft);
    chart->addAxis(counts, Qt::AlignRight);
    for (QAbstractSeries *series :
         {static_cast<QAbstractSeries *>(bars), static_cast<QAbstractSeries *>(sales)})
        series->attachAxis(periods);
    bars->attachAxis(amounts);
    sales->attachAxis(counts);
    return chart;
}

void paintTurnoverChart(QPainter &painter, const QRectF &target, const TurnoverPicture &picture)
{
    QGraphicsScene scene;
    QChart *chart = makeTurnoverChart(picture);
    scene.addItem(chart);
    chart->setGeometry(QRectF(QPointF(), DrawnSize));
    // Laid out now: left to itself the chart arranges its axes on the event
    // loop, after this picture has been painted.
    chart->layout()->activate();
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, target, chart->geometry(), Qt::KeepAspectRatio);
}

ExportResult writeTurnoverChart(const TurnoverPicture &picture, const QString &path,
                                ExportFormat format)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return ExportResult::Failed;
    bool painted = false;
    if (format == ExportFormat::Png) {
        QImage image((DrawnSize * PngScale).toSize(), QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            paintTurnoverChart(painter, image.rect(), picture);
        }
        painted = image.save(&file, "PNG");
    } else {
        QPdfWriter pdf(&file);
        setUpPdf(pdf, picture.title());
        painted = paintOnPage(pdf, picture);
    }
    return painted && file.commit() ? ExportResult::Saved : ExportResult::Failed;
}

void printTurnoverChart(const TurnoverPicture &picture, QWidget *parent)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(picture.title());
    printer.setPageOrientation(QPageLayout::Landscape);
    showPrintPreview(printer, parent, [&](QPrinter &target, QPrintPreviewDialog &) {
        paintOnPage(target, picture);
    });
}

} // namespace kestrel::reports
