#include "core/statements/Receipt.h"

#include "core/shared/Formats.h"
#include "core/statements/Sale.h"

#include <limits>

namespace kestrel::sql {

namespace {

db::SqlValue dateValue(const QDate &date)
{
    return date.isValid() ? db::SqlValue::date(date) : db::SqlValue::null();
}

// A stored amount: the column holds binary fractions, which the server
// writes with their two decimals; anything further is rounded, as the
// server itself rounds what it stores.
std::optional<Money> storedAmount(const db::Value &value)
{
    if (!value)
        return std::nullopt;
    const Money::Reading reading = Money::read(*value, Money::ExtraDigits::Round);
    return reading ? std::optional<Money>(reading.amount) : std::nullopt;
}

qint64 integerOf(const db::Value &value)
{
    return value ? value->toLongLong() : 0;
}

// The columns of receiptRows, in order.
enum Field { Id, ProductId, Description, Unit, Quantity, Price, PriceWithTax, FirstName, SurName };

} // namespace

db::Statement receiptRows(const SaleRows &sale)
{
    return db::Statement(
        QStringLiteral(
            "SELECT turnover.ID,turnover.ProductID,products.Description,products.UM,"
            "turnover.Quantity,turnover.Price,turnover.PricewTax,customers.FirstName,"
            "customers.SurName FROM turnover LEFT JOIN products ON products.ID = "
            "turnover.ProductID LEFT JOIN customers ON customers.ID = turnover.CustomerID "
            "WHERE turnover.ID BETWEEN ? AND ? AND turnover.CustomerID = ? AND turnover.Date "
            "<=> ? ORDER BY turnover.ID"),
        {db::SqlValue::integer(sale.fromId), db::SqlValue::integer(sale.toId),
         db::SqlValue::integer(sale.customerId), dateValue(sale.date)});
}

db::Statement saleAroundRow(qint64 turnoverId)
{
    // Each neighbour is read backwards or forwards along the key from the
    // row and stops at the first row of another sale: a few rows, however
    // long the history.
    const QString otherSale =
        QStringLiteral("(b.CustomerID <> s.CustomerID OR NOT b.Date <=> s.Date)");
    return db::Statement(
        QStringLiteral("SELECT s.CustomerID,s.Date,(SELECT b.ID FROM turnover b WHERE b.ID < "
                       "s.ID AND ")
            + otherSale
            + QStringLiteral(" ORDER BY b.ID DESC LIMIT 1),(SELECT b.ID FROM turnover b WHERE "
                             "b.ID > s.ID AND ")
            + otherSale + QStringLiteral(" ORDER BY b.ID LIMIT 1) FROM turnover s WHERE s.ID = ?"),
        {db::SqlValue::integer(turnoverId)});
}

std::optional<SaleRows> saleOfRow(db::OdbcConnection &connection, qint64 turnoverId)
{
    const db::ResultSet found = connection.query(saleAroundRow(turnoverId));
    if (found.isEmpty())
        return std::nullopt;
    const db::Row &row = found.rows.front();
    SaleRows sale;
    sale.customerId = integerOf(row[0]);
    sale.date = row[1] ? QDate::fromString(*row[1], Qt::ISODate) : QDate();
    sale.fromId = row[2] ? integerOf(row[2]) + 1 : 0;
    sale.toId = row[3] ? integerOf(row[3]) - 1 : std::numeric_limits<qint64>::max();
    return sale;
}

std::optional<Receipt> readReceipt(db::OdbcConnection &connection, const SaleRows &sale,
                                   QString *problem)
{
    const db::ResultSet rows = connection.query(receiptRows(sale));
    if (rows.isEmpty()) {
        *problem = saleGoneMessage(sale.fromId, sale.toId);
        return std::nullopt;
    }
    Receipt receipt;
    receipt.firstId = integerOf(rows.rows.front()[Id]);
    receipt.lastId = integerOf(rows.rows.back()[Id]);
    receipt.date = sale.date;
    receipt.customerId = sale.customerId;
    const db::Row &first = rows.rows.front();
    if (first[FirstName])
        receipt.customer =
            *first[FirstName] + QLatin1Char(' ') + first[SurName].value_or(QString());
    SaleTotals totals;
    for (const db::Row &row : rows.rows) {
        ReceiptLine line;
        line.productId = integerOf(row[ProductId]);
        line.description = row[Description].value_or(QString());
        line.unit = row[Unit].value_or(QString());
        line.quantity = row[Quantity] ? fmt::parseQuantity(*row[Quantity]).value_or(-1) : -1;
        const std::optional<Money> price = storedAmount(row[Price]);
        const std::optional<Money> withTax = storedAmount(row[PriceWithTax]);
        const std::optional<Money> amount =
            price && line.quantity >= 0 ? price->times(line.quantity) : std::nullopt;
        addToTotals(totals, line.quantity, price, withTax);
        if (!amount || !withTax || !totals.net || !totals.gross) {
            *problem = QStringLiteral("Sale row ") + QString::number(integerOf(row[Id]))
                       + QStringLiteral(" holds an amount a receipt cannot show!!!");
            return std::nullopt;
        }
        line.price = *price;
        line.amount = *amount;
        receipt.lines.push_back(std::move(line));
    }
    receipt.net = *totals.net;
    receipt.gross = *totals.gross;
    // Both totals lie within the range, so their difference does too.
    receipt.tax = *Money::fromCents(receipt.gross.cents() - receipt.net.cents());
    return receipt;
}

QString saleGoneMessage(qint64 firstId, qint64 lastId)
{
    return QStringLiteral("Sale ") + QString::number(firstId) + QStringLiteral(" to ")
           + QString::number(lastId) + QStringLiteral(" is no longer in the database!!!");
}

} // namespace kestrel::sql
