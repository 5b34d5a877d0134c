#pragma once
// The edit grid's statements: the four tables' grids as the find forms open
// them, the re-reading of records by ID (to compare, and under lock to check
// for other users' changes before a save), the update of one record's
// changed fields, and the stock moves of a sale whose product or quantity
// changed. Table and column names are fixed text or come from the server's
// description of the grid's own result; every value is bound.

#include "core/database/Statement.h"
#include "core/shared/EditRequest.h"

#include <span>

namespace kestrel::sql {

// The edit grid over the rows of select, with the columns each table's find
// form shows.
EditRequest editCities(db::Statement select);
EditRequest editCustomers(db::Statement select);
EditRequest editProducts(db::Statement select);
// Rows of the sales join: ID, FirstName, SurName, Date, Quantity, UM, Price,
// PricewTax, Description.
EditRequest editTransactions(db::Statement select);

// At most this many IDs go into one statement; callers split longer lists.
constexpr size_t MaxIdsPerStatement = 1000;

// Whether a re-read locks the records it reads until the transaction ends.
enum class Lock { None, ForUpdate };

// Every column of the table's records with these IDs.
db::Statement recordsById(const QString &table, std::span<const qint64> ids, Lock lock);

// Sales with these IDs as the sales grid shows them (ID, FirstName, SurName,
// Date, Quantity, UM, Price, PricewTax, Description), plus their ProductID
// and CustomerID. A sale whose customer or product is gone still comes back,
// with NULL names.
db::Statement salesById(std::span<const qint64> ids, Lock lock);

// ID, Description and Quantity of these products, locked for a stock move.
db::Statement productStocks(std::span<const qint64> ids);
// The IDs among these that customers still has, kept from being deleted
// until the transaction ends.
db::Statement existingCustomers(std::span<const qint64> ids);

struct FieldValue {
    QString field;
    db::SqlValue value;
};
// "UPDATE `table` SET `a` = ?,`b` = ? WHERE `ID` = ?"
db::Statement updateRecord(const QString &table, const std::vector<FieldValue> &values, qint64 id);

// Adds delta (negative: takes it away) to a product's stock.
db::Statement moveStock(qint64 productId, qint64 delta);

} // namespace kestrel::sql
