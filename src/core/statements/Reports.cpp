#include "core/statements/Reports.h"

#include "core/shared/Formats.h"
#include "core/statements/Lists.h"
#include "core/statements/Records.h"

#include <QStringList>
#include <array>

namespace kestrel::sql {

namespace {

ResultRequest request(db::Statement statement, const QString &caption,
                      std::vector<ResultColumn> columns)
{
    ResultRequest r;
    r.statement = std::move(statement);
    r.caption = caption;
    r.columns = std::move(columns);
    return r;
}

struct TextCriterion {
    const std::optional<QString> &text;
    const char *column; // also the criterion's name in its message
};

std::array<TextCriterion, 4> textCriteria(const ProductStoreCriteria &c)
{
    return {{{c.id, "ID"},
             {c.description, "Description"},
             {c.quantity, "Quantity"},
             {c.barCode, "BarCode"}}};
}

// An amount the price change can use: a plain number, never negative (the
// direction says which way it goes).
std::optional<db::SqlValue> boundAmount(const QString &typed)
{
    const db::SqlValue value = typedAmount(typed);
    if (value.kind() != db::SqlValue::Kind::Decimal || value.string().startsWith(QLatin1Char('-')))
        return std::nullopt;
    return value;
}

} // namespace

// ---- turnover ------------------------------------------------------------

ResultRequest turnoverBetween(const DayRange &days)
{
    return request(db::Statement(salesJoin()
                                     + QStringLiteral(" and (Date BETWEEN ? AND ?) order by "
                                                      "turnover.ID;"),
                                 {db::SqlValue::date(days.first), db::SqlValue::date(days.last)}),
                   QStringLiteral("Turnover Between ") + fmt::longDate(days.first)
                       + QStringLiteral(" and ") + fmt::longDate(days.last),
                   salesColumns());
}

ResultRequest allTurnover()
{
    return request(db::Statement(salesJoin() + QStringLiteral(" order by turnover.ID;")),
                   QStringLiteral("All Turnover"), salesColumns());
}

// ---- turnover chart --------------------------------------------------------

QDate periodStart(const QDate &day, TurnoverPeriod period)
{
    switch (period) {
    case TurnoverPeriod::Week:
        return day.addDays(1 - day.dayOfWeek());
    case TurnoverPeriod::Month:
        return QDate(day.year(), day.month(), 1);
    case TurnoverPeriod::Day:
        break;
    }
    return day;
}

QDate nextPeriod(const QDate &start, TurnoverPeriod period)
{
    const QDate next = period == TurnoverPeriod::Day    ? start.addDays(1)
                       : period == TurnoverPeriod::Week ? start.addDays(7)
                                                        : start.addMonths(1);
    return next <= fmt::LastStorableDate ? next : QDate();
}

qint64 periodCount(const DayRange &days, TurnoverPeriod period)
{
    if (days.first > days.last)
        return 0;
    const QDate first = periodStart(days.first, period), last = periodStart(days.last, period);
    switch (period) {
    case TurnoverPeriod::Week:
        return first.daysTo(last) / 7 + 1;
    case TurnoverPeriod::Month:
        return (last.year() - first.year()) * 12 + last.month() - first.month() + 1;
    case TurnoverPeriod::Day:
        break;
    }
    return first.daysTo(last) + 1;
}

QString turnoverChartProblem(const DayRange &days, TurnoverPeriod period)
{
    if (days.first > days.last)
        return QStringLiteral("The first day is after the last!!!");
    if (periodCount(days, period) > MaxChartBars)
        return QStringLiteral("That makes more than %1 bars: choose fewer days, or weeks or "
                              "months!!!")
            .arg(MaxChartBars);
    return {};
}

db::Statement turnoverPerPeriod(const DayRange &days, TurnoverPeriod period)
{
    // Periods are named by their first day, so every grouping reads back
    // alike. The days are a bare range of Date, which its index serves; no
    // hint forces it, since over much of the table the server rightly
    // prefers to read the table whole. The amounts are summed as exact
    // decimals: the columns are binary DOUBLEs, and a sum of a million of
    // them in binary can be a cent out, where each row's amount rounded to
    // the cent cannot.
    const QString start = period == TurnoverPeriod::Day ? QStringLiteral("Date")
                          : period == TurnoverPeriod::Week
                              ? QStringLiteral("Date - INTERVAL WEEKDAY(Date) DAY")
                              : QStringLiteral("Date - INTERVAL (DAYOFMONTH(Date) - 1) DAY");
    return db::Statement(
        QStringLiteral("SELECT ") + start
            + QStringLiteral(" AS PeriodStart, "
                             "SUM(CAST(Quantity * PricewTax AS DECIMAL(65,2))) AS Gross, "
                             "SUM(CAST(Quantity * Price AS DECIMAL(65,2))) AS Net, "
                             "COUNT(*) AS Sales FROM turnover WHERE Date BETWEEN ? AND ? "
                             "GROUP BY PeriodStart ORDER BY PeriodStart"),
        {db::SqlValue::date(days.first), db::SqlValue::date(days.last)});
}

namespace {

// A sum as the bar's amount, or the problem that keeps it from being one.
QString readSum(const db::Value &text, const QDate &start, Money *sum)
{
    const Money::Reading reading = Money::read(text.value_or(QString()));
    if (reading) {
        *sum = reading.amount;
        return {};
    }
    return QStringLiteral("The turnover from %1 %2!!!")
        .arg(fmt::gridDate(start), fmt::amountProblem(reading.problem));
}

} // namespace

TurnoverChart turnoverChart(db::OdbcConnection &connection, const DayRange &days,
                            TurnoverPeriod period)
{
    TurnoverChart chart;
    chart.problem = turnoverChartProblem(days, period);
    if (!chart.problem.isEmpty())
        return chart;
    const db::ResultSet sums = connection.query(turnoverPerPeriod(days, period));
    const qint64 count = periodCount(days, period);
    chart.bars.reserve(size_t(count));
    size_t row = 0;
    QDate start = periodStart(days.first, period);
    for (qint64 i = 0; i < count; ++i, start = nextPeriod(start, period)) {
        TurnoverBar bar{start, Money::zero(), Money::zero(), 0};
        if (row < sums.rows.size()
            && QDate::fromString(sums.rows[row][0].value_or(QString()), Qt::ISODate) == start) {
            const db::Row &sum = sums.rows[row++];
            chart.problem = readSum(sum[1], start, &bar.gross);
            if (chart.problem.isEmpty())
                chart.problem = readSum(sum[2], start, &bar.net);
            if (!chart.problem.isEmpty()) {
                chart.bars.clear();
                return chart;
            }
            bar.sales = sum[3].value_or(QString()).toLongLong();
        }
        chart.bars.push_back(bar);
    }
    return chart;
}

// ---- product in store -----------------------------------------------------

QString productStoreProblem(const ProductStoreCriteria &criteria)
{
    bool anyTicked = criteria.delivered.has_value();
    for (const TextCriterion &c : textCriteria(criteria)) {
        if (c.text && c.text->isEmpty())
            return QStringLiteral("You have selected %1, but that is empty!")
                .arg(QLatin1String(c.column));
        anyTicked = anyTicked || c.text.has_value();
    }
    return anyTicked ? QString() : QStringLiteral("You haven't selected category!");
}

ResultRequest productsInStore(const ProductStoreCriteria &criteria)
{
    QStringList pieces;
    std::vector<db::SqlValue> values;
    for (const TextCriterion &c : textCriteria(criteria)) {
        if (!c.text)
            continue;
        pieces.append(QStringLiteral(" %1 = ?").arg(QLatin1String(c.column)));
        values.push_back(db::SqlValue::text(*c.text));
    }
    if (criteria.delivered) {
        pieces.append(QStringLiteral(" LastDelivery BETWEEN ? AND ?"));
        values.push_back(db::SqlValue::date(criteria.delivered->first));
        values.push_back(db::SqlValue::date(criteria.delivered->last));
    }
    return request(db::Statement(QStringLiteral("SELECT * FROM products WHERE")
                                     + pieces.join(QStringLiteral(" and")),
                                 std::move(values)),
                   QStringLiteral("Product in Store"), productColumns());
}

// ---- products list -------------------------------------------------------

ResultRequest productsList(ProductOrder order)
{
    struct Ordering {
        const char *column;
        const char *captionName;
    };
    static constexpr Ordering orderings[] = {{"ID", "ID"},
                                             {"Description", "Description"},
                                             {"UM", "UM"},
                                             {"Quantity", "Quantity"},
                                             {"Price", "Price"},
                                             {"BarCode", "BarCode"},
                                             {"LastDelivery", "Last Delivery"}};
    const Ordering &o = orderings[int(order)];
    return request(
        db::Statement(QStringLiteral("SELECT * FROM products order by ") + QLatin1String(o.column)),
        QStringLiteral("Product in Store ordered by ") + QLatin1String(o.captionName),
        productColumns());
}

// ---- top ten customers ----------------------------------------------------

ResultRequest topTenCustomers(CustomerRanking ranking)
{
    const bool visits = ranking == CustomerRanking::Visits;
    const QString measure = visits ? QStringLiteral("Visited") : QStringLiteral("Bought");
    const QString expression = visits ? QStringLiteral("count(*) as Visited")
                                      : QStringLiteral("sum(turnover.price * turnover.quantity) "
                                                       "as Bought ");
    // The sales are grouped by their customer number alone and the customers
    // joined to the groups afterwards: servers that insist on full grouping
    // (MariaDB's among them, which does not see that a key decides the other
    // columns) run it, and it groups a million sales as fast as a plain
    // grouping does, where grouping by every customer column takes ten times
    // as long.
    std::vector<ResultColumn> columns = customerColumns();
    columns.push_back({measure, QStringLiteral("0.0675")});
    return request(
        db::Statement(QStringLiteral("select customers.*,sales.") + measure
                      + QStringLiteral(" from customers,(select turnover.customerid,") + expression
                      + QStringLiteral(" from turnover group by turnover.customerid) as sales "
                                       "where sales.customerid = customers.id order by ")
                      + measure + QStringLiteral(" desc limit 10;")),
        QStringLiteral("TOP 10 Customer ordered by ") + measure, std::move(columns));
}

// ---- change all prices ----------------------------------------------------

std::optional<db::Statement> changeAllPrices(const PriceChange &change)
{
    const std::optional<db::SqlValue> amount = boundAmount(change.amount);
    if (!amount)
        return std::nullopt;
    const bool plus = change.direction == PriceDirection::Plus;
    const bool percentage = change.kind == PriceChangeKind::Percentage;
    return db::Statement(
        QStringLiteral("update products set price = price ")
            + (plus ? QStringLiteral("+ ") : QStringLiteral("- ")) + QStringLiteral("?")
            + (percentage ? QStringLiteral(" / 100 * price;") : QStringLiteral(";")),
        {*amount});
}

qint64 changePricesCounted(db::OdbcConnection &connection, const db::Statement &update)
{
    // Read under lock before and again after: no other change can fall in
    // between, and each price compares as the server stores it.
    const db::Statement prices(
        QStringLiteral("SELECT ID, Price FROM products ORDER BY ID FOR UPDATE"));
    const db::ResultSet before = connection.query(prices);
    connection.execute(update);
    const db::ResultSet after = connection.query(prices);
    qint64 changed = 0;
    for (size_t i = 0; i < after.rows.size(); ++i)
        changed += i >= before.rows.size() || after.rows[i] != before.rows[i];
    return changed;
}

std::optional<db::Statement> productsCheaperThan(const QString &amount)
{
    const std::optional<db::SqlValue> bound = boundAmount(amount);
    if (!bound)
        return std::nullopt;
    return db::Statement(QStringLiteral("SELECT COUNT(*) FROM products WHERE Price < ? FOR UPDATE"),
                         {*bound});
}

} // namespace kestrel::sql
