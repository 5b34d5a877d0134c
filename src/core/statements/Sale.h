#pragma once
// A sale as Kestrel stores it: one turnover row per product line, each line
// lowering its product's stock, all of it in one transaction. A line lowers
// the stock only where enough is left, so two lines of one product, or
// another till selling meanwhile, can never take the stock below zero; a
// customer or product deleted since it was picked stops the sale too, on a
// cluster's other nodes as well (core/statements/Claims.h). Either every line
// is stored with its stock change, or nothing is.

#include "core/database/Odbc.h"
#include "core/shared/Money.h"
#include "core/shared/Outcome.h"

#include <QDate>
#include <optional>
#include <vector>

namespace kestrel::sql {

// One product line.
struct SaleLine {
    qint64 productId = 0;
    QString description;
    qint64 quantity = 0; // whole units; 0 while the line waits for its quantity
    std::optional<Money>
        price; // unit price without tax; none when the list's is no amount Kestrel keeps
};

struct Sale {
    std::optional<qint64> customerId; // none: no customer picked yet
    QString customerName;             // first name and surname, for messages
    QDate date;
    std::vector<SaleLine> lines;
};

// The tax on every sale, in percent of the net price.
constexpr int TaxRatePercent = 18;

// The unit price with tax as turnover stores it: the price plus the tax
// rate, rounded to the cent half away from zero ("1,50" gives 1,77, "0,25" gives
// 0,30). Nullopt beyond the largest amount.
std::optional<Money> priceWithTax(Money price);

// The totals a sale shows. The net total is the sum of quantity times
// price over the lines; the gross total the sum of quantity times each
// line's price with tax, rounded as turnover stores it. So they are what
// SUM(Quantity * Price) and SUM(Quantity * PricewTax) give over the saved
// rows, to the cent. A line still waiting for its quantity, or whose price
// is no amount, adds nothing; a total beyond the largest amount is nullopt.
struct SaleTotals {
    std::optional<Money> net = Money::zero();
    std::optional<Money> gross = Money::zero();
};
SaleTotals saleTotals(const Sale &sale);
// Adds a line to totals: quantity times price to the net, quantity times the
// price with tax to the gross. A missing amount, or a total leaving the
// range, makes that total nullopt.
void addToTotals(SaleTotals &totals, qint64 quantity, std::optional<Money> price,
                 std::optional<Money> withTax);

// "Quantity of Milk (ID 3) can't be 0!!!": a line that would sell nothing.
QString noQuantityMessage(const QString &description, qint64 productId);

// The checks before a sale is sent, in order: a customer, at least one
// product line, on every line a quantity and a price Kestrel keeps, and
// totals within the largest amount. The first failure's message, or nullopt
// when the sale may go.
std::optional<QString> checkSale(const Sale &sale);

// The order in which a sale lowers its stocks: its lines by product ID.
// Every till locks the products it sells in the same order, so two sales of
// the same products never wait for each other in a circle.
std::vector<size_t> stockOrder(const Sale &sale);

// ---- the statements of a sale -------------------------------------------

// The line's turnover row; the server numbers it.
db::Statement insertTurnover(const Sale &sale, const SaleLine &line);
// Lowers the line's product by its quantity where that much is left: it
// matches no row when the stock is short or the product is gone.
db::Statement lowerStock(const SaleLine &line);
// The quantity in store of one product.
db::Statement productStock(qint64 productId);

// The IDs the server gave a stored sale's first and last turnover rows; on a
// cluster they are not consecutive.
struct SaleIds {
    qint64 first = 0;
    qint64 last = 0;
};

// Stores the sale in one transaction on connection (core/database/
// RetriedTransaction: run again while another till's transaction beats it).
// Gives the stored rows' IDs when every line is stored, or the refusal
// saying why the sale was not (a customer or product gone, a line above the
// stock, a value the server would not take, other tills busy with the same
// records try after try) with nothing stored. Any other database failure
// throws, with nothing stored either.
Outcome<SaleIds> storeSale(db::OdbcConnection &connection, const Sale &sale);

} // namespace kestrel::sql
