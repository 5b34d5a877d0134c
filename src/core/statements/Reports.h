#pragma once
// The report forms' statements. Each form gathers what the operator chose
// into a plain struct; these functions turn it into the whole request for
// the result window (statement, caption, columns), so a request always
// carries its own columns. The price change's statements, which the form
// sends itself, are here too. Every typed or picked value is bound.

#include "core/database/Odbc.h"
#include "core/shared/Money.h"
#include "core/shared/ResultRequest.h"

#include <QDate>
#include <optional>

namespace kestrel::sql {

// Two days of a calendar pair, both included. A first day after the last
// is sent as chosen and finds nothing.
struct DayRange {
    QDate first;
    QDate last;
};

// ---- turnover ------------------------------------------------------------

// Every sale dated within days, in transaction-number order, captioned
// "Turnover Between 2008.March.05 and 2008.March.07".
ResultRequest turnoverBetween(const DayRange &days);
// Every sale, captioned "All Turnover".
ResultRequest allTurnover();

// ---- turnover chart --------------------------------------------------------

// How the turnover chart groups the days: each day, each ISO week (Monday to
// Sunday), each calendar month.
enum class TurnoverPeriod { Day, Week, Month };

// The first day of the period that holds day: the day itself, the Monday of
// its week, the first of its month.
QDate periodStart(const QDate &day, TurnoverPeriod period);
// The first day of the period after the one that starts on start; invalid
// past 9999-12-31.
QDate nextPeriod(const QDate &start, TurnoverPeriod period);
// How many periods the chart of days shows: from the one holding the first
// day to the one holding the last; 0 when the first day is after the last.
qint64 periodCount(const DayRange &days, TurnoverPeriod period);

// One bar of the chart: the sales dated within the period that starts on
// start and within the chosen days (so the first and the last period may be
// cut short). A sale is a row of turnover, one product line, as Top 10
// Customers counts visits. The amounts are what the server sums over the
// saved rows, exactly: gross is SUM(Quantity * PricewTax), net SUM(Quantity
// * Price).
struct TurnoverBar {
    QDate start;
    Money gross;
    Money net;
    qint64 sales = 0;

    friend bool operator==(const TurnoverBar &, const TurnoverBar &) = default;
};

// More bars than a chart can show side by side, or than an operator can
// read: four years by day.
constexpr qint64 MaxChartBars = 1500;

// What keeps the chart of days from being drawn, as the operator is told:
// the first day after the last, or more bars than MaxChartBars. Empty when
// the chart can be drawn.
QString turnoverChartProblem(const DayRange &days, TurnoverPeriod period);

// The one grouped statement behind the chart: for each period that has
// sales within days, its first day, its gross and net sums and its number
// of sales, in the order of the periods. It finds the days through the
// sales' Date index.
db::Statement turnoverPerPeriod(const DayRange &days, TurnoverPeriod period);

struct TurnoverChart {
    // One bar for every period of the days, zero where nothing was sold.
    std::vector<TurnoverBar> bars;
    // What kept the chart from being drawn; empty when it has its bars.
    QString problem;
};

// Runs turnoverPerPeriod on connection and gives a bar for every period.
// A sum beyond the largest amount Kestrel keeps is a problem, never a
// rounded bar.
TurnoverChart turnoverChart(db::OdbcConnection &connection, const DayRange &days,
                            TurnoverPeriod period);

// ---- product in store -----------------------------------------------------

struct ProductStoreCriteria {
    // A ticked criterion holds the text beside it exactly as typed; an
    // unticked one holds nothing.
    std::optional<QString> id;
    std::optional<QString> description;
    std::optional<QString> quantity;
    std::optional<QString> barCode;
    // The range of the last delivery, when ticked.
    std::optional<DayRange> delivered;
};

// What stops the report, as the operator is told: the first ticked
// criterion left empty (in the order ID, Description, Quantity, BarCode),
// or no criterion ticked at all. Empty when the criteria make a report.
QString productStoreProblem(const ProductStoreCriteria &criteria);

// The products matching every ticked criterion, captioned "Product in Store".
ResultRequest productsInStore(const ProductStoreCriteria &criteria);

// ---- products list -------------------------------------------------------

// The columns the whole product list can be ordered by, in the form's order.
enum class ProductOrder { ID, Description, UM, Quantity, Price, BarCode, LastDelivery };

// Every product in ascending order of one column, captioned "Product in
// Store ordered by ..." ("Last Delivery" for LastDelivery).
ResultRequest productsList(ProductOrder order);

// ---- top ten customers ----------------------------------------------------

enum class CustomerRanking { Visits, Amount };

// The ten customers with the most sales rows (a column "Visited") or the most
// money spent before tax (a column "Bought"), largest first. Customers
// without sales do not appear.
ResultRequest topTenCustomers(CustomerRanking ranking);

// ---- change all prices ----------------------------------------------------

enum class PriceChangeKind { Percentage, Absolute };
enum class PriceDirection { Plus, Minus };

struct PriceChange {
    PriceChangeKind kind = PriceChangeKind::Percentage;
    PriceDirection direction = PriceDirection::Plus;
    QString amount; // as typed, with a decimal comma: "12,50"

    // Only a fixed decrease can take a price below zero; a percentage
    // decrease stops at 100 % and so at zero.
    bool canGoBelowZero() const
    {
        return kind == PriceChangeKind::Absolute && direction == PriceDirection::Minus;
    }
};

// The UPDATE of every product's price, the amount bound as the number typed
// (decimals kept). Nothing when the amount is not a number.
std::optional<db::Statement> changeAllPrices(const PriceChange &change);

// Runs the change of every price (changeAllPrices) on connection, inside
// the caller's transaction, and counts the prices it changed. A price the
// change leaves as it was (0,00 stays 0,00; 0,01 plus 1 % rounds back to
// 0,01) does not count: the server's own count, with the found-rows option
// Kestrel's connections carry, counts every row it matched.
qint64 changePricesCounted(db::OdbcConnection &connection, const db::Statement &update);

// How many products cost less than the amount, their rows locked until the
// transaction ends so that none can get cheaper before the change. Nothing
// when the amount is not a number.
std::optional<db::Statement> productsCheaperThan(const QString &amount);

} // namespace kestrel::sql
