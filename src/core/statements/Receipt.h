#pragma once
// The customer's receipt of a saved sale, read back from its turnover rows:
// every amount on it is what the database holds, in Money, so the receipt
// equals the saved rows to the cent whatever the sale form showed.
//
// Kestrel's tables know no sale as such: a sale is the run of turnover rows
// it stored in one transaction, one customer and one date. The sale form
// knows the first and last ID the server gave them; a row of the edit grid
// finds its sale as the rows around it of the same customer and date,
// up to the nearest rows of another customer or date.

#include "core/database/Odbc.h"
#include "core/shared/Money.h"

#include <QDate>
#include <optional>
#include <vector>

namespace kestrel::sql {

// Which turnover rows make one sale: those from fromId to toId (both
// included) of customerId on date (no date: rows without one).
struct SaleRows {
    qint64 fromId = 0;
    qint64 toId = 0;
    qint64 customerId = 0;
    QDate date;
};

struct ReceiptLine {
    qint64 productId = 0;
    QString description;
    QString unit;
    qint64 quantity = 0;
    Money price;  // unit price without tax
    Money amount; // quantity times price
};

struct Receipt {
    qint64 firstId = 0; // the sale's first and last turnover rows
    qint64 lastId = 0;
    QDate date;
    qint64 customerId = 0;
    QString customer; // first name and surname; empty when the customer is gone
    std::vector<ReceiptLine> lines;
    // SUM(Quantity * Price), SUM(Quantity * PricewTax) and their difference.
    Money net;
    Money tax;
    Money gross;
};

// The statements: the rows of a sale with their products and customer, and
// the sale around one turnover row (its customer, its date, and the IDs of
// the nearest rows before and after it of another customer or date).
db::Statement receiptRows(const SaleRows &sale);
db::Statement saleAroundRow(qint64 turnoverId);

// The sale that turnover row turnoverId belongs to; nullopt when the row is
// gone.
std::optional<SaleRows> saleOfRow(db::OdbcConnection &connection, qint64 turnoverId);

// The receipt of sale as the database holds it. Nullopt with problem set
// when no row of it is left, or a stored value is no amount Kestrel keeps.
std::optional<Receipt> readReceipt(db::OdbcConnection &connection, const SaleRows &sale,
                                   QString *problem);

// "Sale 12 to 14 is no longer in the database!!!"
QString saleGoneMessage(qint64 firstId, qint64 lastId);

} // namespace kestrel::sql
