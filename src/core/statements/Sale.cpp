#include "core/statements/Sale.h"

#include "core/database/RefusedValue.h"
#include "core/database/RetriedTransaction.h"
#include "core/shared/FieldText.h"
#include "core/shared/Formats.h"
#include "core/statements/Claims.h"
#include "core/statements/Records.h"

#include <algorithm>

namespace kestrel::sql {

namespace {

QString lineName(const SaleLine &line)
{
    return line.description + QStringLiteral(" (ID ") + QString::number(line.productId)
           + QLatin1Char(')');
}

// The units of one product that the whole sale asks for.
qint64 quantityInSale(const Sale &sale, qint64 productId)
{
    qint64 total = 0;
    for (const SaleLine &line : sale.lines) {
        if (line.productId == productId)
            total += line.quantity;
    }
    return total;
}

db::SqlValue amountValue(const std::optional<Money> &amount)
{
    return amount ? amount->toSql() : db::SqlValue::null();
}

// Why a sale stopped before it was stored.
struct Stop {
    enum class Reason { CustomerGone, StockShort, Refused } reason;
    size_t line = 0; // the line whose stock could not be lowered, or was refused
    QString column;  // Refused: the column the server named, if any
};

// Runs one statement of line i; a value the server refuses stops the sale.
std::optional<Stop> sendLine(size_t i, const std::function<void()> &statement)
{
    if (const std::optional<db::Refusal> refused = db::refusalOf(statement))
        return Stop{Stop::Reason::Refused, i, refused->column};
    return std::nullopt;
}

// Sends the sale's statements inside the open transaction, up to the first
// that cannot be carried out.
std::optional<Stop> sendSale(db::OdbcConnection &connection, const Sale &sale, SaleIds &ids)
{
    if (!sale.customerId || !claimCustomer(connection, db::SqlValue::integer(*sale.customerId)))
        return Stop{Stop::Reason::CustomerGone, 0, {}};
    for (size_t i = 0; i < sale.lines.size(); ++i) {
        const SaleLine &line = sale.lines[i];
        if (auto stop = sendLine(i, [&] { connection.execute(insertTurnover(sale, line)); }))
            return stop;
        if (i == 0)
            ids.first = insertedId(connection, QStringLiteral("turnover"));
        if (i + 1 == sale.lines.size())
            ids.last = insertedId(connection, QStringLiteral("turnover"));
    }
    for (const size_t i : stockOrder(sale)) {
        qint64 lowered = 0;
        if (auto stop =
                sendLine(i, [&] { lowered = connection.execute(lowerStock(sale.lines[i])); }))
            return stop;
        if (lowered < 1)
            return Stop{Stop::Reason::StockShort, i, {}};
    }
    return std::nullopt;
}

// What the server refused of a line: the value of the column it named, or
// the line as a whole.
QString refusedLine(const Sale &sale, const Stop &stop)
{
    const SaleLine &line = sale.lines[stop.line];
    const std::optional<Money> withTax = line.price ? priceWithTax(*line.price) : std::nullopt;
    const auto shown = [](const std::optional<Money> &amount) {
        return amount ? fmt::formatAmount(*amount) : QString();
    };
    const std::pair<const char *, QString> values[] = {{"Quantity", QString::number(line.quantity)},
                                                       {"Price", shown(line.price)},
                                                       {"PricewTax", shown(withTax)}};
    for (const auto &[column, value] : values) {
        if (stop.column.compare(QLatin1String(column), Qt::CaseInsensitive) == 0)
            return db::refusedValueMessage(QStringLiteral("Line ") + lineName(line)
                                               + QStringLiteral(", ") + QLatin1String(column),
                                           value);
    }
    return db::refusedRecordMessage(QStringLiteral("the line ") + lineName(line));
}

// The message for a refused sale. Asked after the rollback, so the stock it
// names is what the store holds now, not what this sale had left of it.
QString refusal(db::OdbcConnection &connection, const Sale &sale, const Stop &stop)
{
    if (stop.reason == Stop::Reason::Refused)
        return refusedLine(sale, stop);
    if (stop.reason == Stop::Reason::CustomerGone)
        return QStringLiteral("Customer ") + sale.customerName + QStringLiteral(" (ID ")
               + QString::number(sale.customerId.value_or(0))
               + QStringLiteral(") is no longer in the database!!!");
    const SaleLine &line = sale.lines[stop.line];
    const db::ResultSet stock = connection.query(productStock(line.productId));
    if (stock.isEmpty())
        return QStringLiteral("Product ") + lineName(line)
               + QStringLiteral(" is no longer in the database!!!");
    return QStringLiteral("Not enough supplies in store for ") + lineName(line)
           + QStringLiteral(": ")
           + fieldText(stock.rows.front().front(), stock.columns.front().sqlType)
           + QStringLiteral(" in store, ") + QString::number(quantityInSale(sale, line.productId))
           + QStringLiteral(" in this sale!!!");
}

} // namespace

std::optional<Money> priceWithTax(Money price)
{
    return price.scaled(100 + TaxRatePercent, 100);
}

SaleTotals saleTotals(const Sale &sale)
{
    SaleTotals totals;
    for (const SaleLine &line : sale.lines) {
        if (line.quantity <= 0 || !line.price)
            continue;
        addToTotals(totals, line.quantity, line.price, priceWithTax(*line.price));
    }
    return totals;
}

void addToTotals(SaleTotals &totals, qint64 quantity, std::optional<Money> price,
                 std::optional<Money> withTax)
{
    const auto add = [quantity](std::optional<Money> &total, std::optional<Money> amount) {
        const std::optional<Money> line = amount ? amount->times(quantity) : std::nullopt;
        total = total && line ? total->plus(*line) : std::nullopt;
    };
    add(totals.net, price);
    add(totals.gross, withTax);
}

QString noQuantityMessage(const QString &description, qint64 productId)
{
    return QStringLiteral("Quantity of ") + description + QStringLiteral(" (ID ")
           + QString::number(productId) + QStringLiteral(") can't be 0!!!");
}

std::vector<size_t> stockOrder(const Sale &sale)
{
    std::vector<size_t> order(sale.lines.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    const auto key = [&](size_t i) { return sale.lines[i].productId; };
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return key(a) < key(b); });
    return order;
}

std::optional<QString> checkSale(const Sale &sale)
{
    if (!sale.customerId)
        return QStringLiteral("No Customer added!!!");
    if (sale.lines.empty())
        return QStringLiteral("Product chart can't be empty!!!");
    for (const SaleLine &line : sale.lines) {
        // A line waiting for its quantity would be stored as a sale of nothing.
        if (line.quantity <= 0)
            return noQuantityMessage(line.description, line.productId);
        if (!line.price)
            return fmt::unstorableAmountMessage(QStringLiteral("Price of ") + lineName(line));
    }
    const SaleTotals totals = saleTotals(sale);
    if (!totals.net || !totals.gross)
        return QStringLiteral("The total of this sale ")
               + fmt::amountProblem(Money::Problem::TooLarge) + QStringLiteral("!!!");
    return std::nullopt;
}

db::Statement insertTurnover(const Sale &sale, const SaleLine &line)
{
    const std::optional<Money> withTax = line.price ? priceWithTax(*line.price) : std::nullopt;
    return insertRow(
        QStringLiteral("turnover"),
        {QStringLiteral("ProductID"), QStringLiteral("Quantity"), QStringLiteral("Price"),
         QStringLiteral("PricewTax"), QStringLiteral("Date"), QStringLiteral("CustomerID")},
        {db::SqlValue::integer(line.productId), db::SqlValue::integer(line.quantity),
         amountValue(line.price), amountValue(withTax), db::SqlValue::date(sale.date),
         sale.customerId ? db::SqlValue::integer(*sale.customerId) : db::SqlValue::null()});
}

db::Statement lowerStock(const SaleLine &line)
{
    const db::SqlValue quantity = db::SqlValue::integer(line.quantity);
    return db::Statement(
        QStringLiteral(
            "UPDATE products SET Quantity = Quantity - ? WHERE ID = ? AND Quantity >= ?"),
        {quantity, db::SqlValue::integer(line.productId), quantity});
}

db::Statement productStock(qint64 productId)
{
    return db::Statement(QStringLiteral("SELECT Quantity FROM products WHERE ID = ?"),
                         {db::SqlValue::integer(productId)});
}

Outcome<SaleIds> storeSale(db::OdbcConnection &connection, const Sale &sale)
{
    std::optional<Stop> stop;
    SaleIds ids;
    const bool done = db::runTransaction(connection, [&](db::Transaction &transaction) {
        stop = sendSale(connection, sale, ids);
        if (!stop)
            transaction.commit();
    }); // a refused sale is rolled back: nothing of it stays
    if (!done)
        return Refusal{db::OtherTillsText, {}};
    if (stop)
        return Refusal{refusal(connection, sale, *stop), {}};
    return ids;
}

} // namespace kestrel::sql
