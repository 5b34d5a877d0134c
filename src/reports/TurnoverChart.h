#pragma once
// The turnover chart as Kestrel draws it: a bar of gross turnover for each
// period and, on an axis of its own at the right, the number of sales as a
// line over the bars. The window shows one chart; files and printouts draw
// another at a fixed size, so they look alike whatever the window's size.

#include "core/statements/Reports.h"
#include "widgets/GridExport.h"

#include <QString>
#include <vector>

class QChart;
class QPainter;
class QRectF;
class QWidget;

namespace kestrel::reports {

// What a chart shows: the bars of the chosen days, grouped by period.
struct TurnoverPicture {
    std::vector<sql::TurnoverBar> bars;
    sql::TurnoverPeriod period = sql::TurnoverPeriod::Day;
    sql::DayRange days;

    // "Turnover per Day, 2008.March.05 to 2008.March.31".
    QString title() const;
    // "Gross 1234,56, net 1046,24, 12 sales".
    QString totals() const;
};

// A new chart of picture; the caller owns it.
QChart *makeTurnoverChart(const TurnoverPicture &picture);

// The period of a bar as the chart names it: "2008. 03. 05.", "Week
// 2008-W10, from 2008. 03. 03.", "2008. 03.".
QString periodName(const QDate &start, sql::TurnoverPeriod period);
// One bar in words: its period, its amounts and its number of sales.
QString barText(const sql::TurnoverBar &bar, sql::TurnoverPeriod period);

// Draws picture into target on painter, as large as fits.
void paintTurnoverChart(QPainter &painter, const QRectF &target, const TurnoverPicture &picture);

// The chart to path as a PNG picture or a one-page PDF, whole or not at all.
ExportResult writeTurnoverChart(const TurnoverPicture &picture, const QString &path,
                                ExportFormat format);

// The chart on one landscape page, through the print preview.
void printTurnoverChart(const TurnoverPicture &picture, QWidget *parent);

} // namespace kestrel::reports
