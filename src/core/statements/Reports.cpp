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
