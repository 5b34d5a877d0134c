#include "core/statements/Sale.h"

#include "core/database/RetriedTransaction.h"
#include "core/shared/FieldText.h"
#include "core/shared/Formats.h"
#include "core/statements/Claims.h"
#include "core/statements/Records.h"

#include <algorithm>
#include <cmath>

namespace kestrel::sql {

namespace {

// An ID as the lists show it: bound as the integer it is; anything else
// goes as text for the server to judge.
db::SqlValue idValue(const QString &shown)
{
    bool ok = false;
    const qint64 id = shown.toLongLong(&ok);
    return ok ? db::SqlValue::integer(id) : db::SqlValue::text(shown);
}

// Multiplies a string of decimal digits by a small factor.
QString timesDigits(const QString &digits, int factor)
{
    QString product(digits.size(), QLatin1Char('0'));
    int carry = 0;
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        const int value = digits.at(i).digitValue() * factor + carry;
        product[i] = QChar(u'0' + value % 10);
        carry = value / 10;
    }
    return carry ? QString::number(carry) + product : product;
}

// Adds one to a string of decimal digits.
QString plusOne(QString digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits.at(i) != QLatin1Char('9')) {
            digits[i] = QChar(digits.at(i).unicode() + 1);
            return digits;
        }
        digits[i] = QLatin1Char('0');
    }
    return QLatin1Char('1') + digits;
}

QString lineName(const SaleLine &line)
{
    return line.description + QStringLiteral(" (ID ") + line.productId + QLatin1Char(')');
}

// The units of one product that the whole sale asks for.
double quantityInSale(const Sale &sale, const QString &productId)
{
    double total = 0;
    for (const SaleLine &line : sale.lines) {
        if (line.productId == productId)
            total += wholeQuantity(line.quantity);
    }
    return total;
}

// Why a sale stopped before it was stored.
struct Stop {
    enum class Reason { CustomerGone, StockShort } reason;
    size_t line = 0; // the line whose stock could not be lowered
};

// Sends the sale's statements inside the open transaction, up to the first
// that cannot be carried out.
std::optional<Stop> sendSale(db::OdbcConnection &connection, const Sale &sale, SaleIds &ids)
{
    if (!claimCustomer(connection, idValue(sale.customerId)))
        return Stop{Stop::Reason::CustomerGone};
    for (size_t i = 0; i < sale.lines.size(); ++i) {
        connection.execute(insertTurnover(sale, sale.lines[i]));
        if (i == 0)
            ids.first = insertedId(connection, QStringLiteral("turnover"));
        if (i + 1 == sale.lines.size())
            ids.last = insertedId(connection, QStringLiteral("turnover"));
    }
    for (const size_t i : stockOrder(sale)) {
        if (connection.execute(lowerStock(sale.lines[i])) < 1)
            return Stop{Stop::Reason::StockShort, i};
    }
    return std::nullopt;
}

// The message for a refused sale. Asked after the rollback, so the stock it
// names is what the store holds now, not what this sale had left of it.
QString refusal(db::OdbcConnection &connection, const Sale &sale, const Stop &stop)
{
    if (stop.reason == Stop::Reason::CustomerGone)
        return QStringLiteral("Customer ") + sale.customerName + QStringLiteral(" (ID ")
               + sale.customerId + QStringLiteral(") is no longer in the database!!!");
    const SaleLine &line = sale.lines[stop.line];
    const db::ResultSet stock = connection.query(productStock(line.productId));
    if (stock.isEmpty())
        return QStringLiteral("Product ") + lineName(line)
               + QStringLiteral(" is no longer in the database!!!");
    return QStringLiteral("Not enough supplies in store for ") + lineName(line)
           + QStringLiteral(": ")
           + fieldText(stock.rows.front().front(), stock.columns.front().sqlType)
           + QStringLiteral(" in store, ")
           + QString::number(quantityInSale(sale, line.productId), 'f', 0)
           + QStringLiteral(" in this sale!!!");
}

} // namespace

double wholeQuantity(const QString &text)
{
    const std::optional<double> value = fmt::parseAmount(text);
    return value ? std::floor(*value) : 0;
}

std::optional<QString> priceWithTax(const QString &price)
{
    if (!fmt::parseAmount(price))
        return std::nullopt;
    const db::SqlValue number = db::SqlValue::decimal(fmt::amountForSql(price));
    if (number.isNull())
        return std::nullopt;
    // Whole cents of price * 118 / 100, from the price's digits d and its
    // decimals s: d * 118 / 10^s, with the s dropped digits deciding the
    // rounding. No binary fraction comes near it.
    QString text = number.string();
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative)
        text.remove(0, 1);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    const qsizetype decimals = point < 0 ? 0 : text.size() - point - 1;
    if (point >= 0)
        text.remove(point, 1);
    const QString product = timesDigits(text, 118);
    QString cents = product.left(product.size() - decimals);
    if (decimals > 0 && product.at(product.size() - decimals).digitValue() >= 5)
        cents = plusOne(cents);
    while (cents.size() < 3)
        cents.prepend(QLatin1Char('0'));
    while (cents.size() > 3 && cents.startsWith(QLatin1Char('0')))
        cents.remove(0, 1);
    const bool zero = cents.count(QLatin1Char('0')) == cents.size();
    return (negative && !zero ? QStringLiteral("-") : QString()) + cents.chopped(2)
           + QLatin1Char('.') + cents.right(2);
}

std::vector<size_t> stockOrder(const Sale &sale)
{
    std::vector<size_t> order(sale.lines.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    const auto key = [&](size_t i) { return sale.lines[i].productId.toLongLong(); };
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return key(a) < key(b); });
    return order;
}

std::optional<QString> checkSale(const Sale &sale)
{
    if (sale.customerId.isEmpty())
        return QStringLiteral("No Customer added!!!");
    if (sale.lines.empty())
        return QStringLiteral("Product chart can't be empty!!!");
    for (const SaleLine &line : sale.lines) {
        // A line waiting for its quantity would be stored as a sale of nothing.
        if (wholeQuantity(line.quantity) <= 0)
            return QStringLiteral("Quantity of ") + lineName(line)
                   + QStringLiteral(" can't be 0!!!");
    }
    return std::nullopt;
}

db::Statement insertTurnover(const Sale &sale, const SaleLine &line)
{
    const std::optional<QString> withTax = priceWithTax(line.price);
    return insertRow(
        QStringLiteral("turnover"),
        {QStringLiteral("ProductID"), QStringLiteral("Quantity"), QStringLiteral("Price"),
         QStringLiteral("PricewTax"), QStringLiteral("Date"), QStringLiteral("CustomerID")},
        {idValue(line.productId), db::SqlValue::decimal(line.quantity), typedAmount(line.price),
         withTax ? db::SqlValue::decimal(*withTax) : db::SqlValue::null(),
         db::SqlValue::date(sale.date), idValue(sale.customerId)});
}

db::Statement lowerStock(const SaleLine &line)
{
    const db::SqlValue quantity = db::SqlValue::decimal(line.quantity);
    return db::Statement(
        QStringLiteral(
            "UPDATE products SET Quantity = Quantity - ? WHERE ID = ? AND Quantity >= ?"),
        {quantity, idValue(line.productId), quantity});
}

db::Statement productStock(const QString &productId)
{
    return db::Statement(QStringLiteral("SELECT Quantity FROM products WHERE ID = ?"),
                         {idValue(productId)});
}

std::optional<QString> storeSale(db::OdbcConnection &connection, const Sale &sale, SaleIds *stored)
{
    std::optional<Stop> stop;
    SaleIds ids;
    const bool done = db::runTransaction(connection, [&](db::Transaction &transaction) {
        stop = sendSale(connection, sale, ids);
        if (!stop)
            transaction.commit();
    }); // a refused sale is rolled back: nothing of it stays
    if (!done)
        return db::OtherTillsText;
    if (stop)
        return refusal(connection, sale, *stop);
    if (stored)
        *stored = ids;
    return std::nullopt;
}

} // namespace kestrel::sql
