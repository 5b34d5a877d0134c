#include "core/statements/Edit.h"

#include "core/statements/Records.h"

namespace kestrel::sql {

namespace {

EditRequest editRequest(db::Statement select, const char *rowHeaderWidth,
                        std::vector<EditColumn> columns, bool joined = false)
{
    EditRequest request;
    request.statement = std::move(select);
    request.rowHeaderWidth = QString::fromLatin1(rowHeaderWidth);
    request.columns = std::move(columns);
    request.joined = joined;
    return request;
}

// head, then "(?,?,?)" with one bound value per ID, then tail.
db::Statement withIds(const QString &head, std::span<const qint64> ids, const QString &tail)
{
    std::vector<db::SqlValue> values;
    QString marks;
    for (const qint64 id : ids) {
        marks += marks.isEmpty() ? QStringLiteral("?") : QStringLiteral(",?");
        values.push_back(db::SqlValue::integer(id));
    }
    return db::Statement(head + QLatin1Char('(') + marks + QLatin1Char(')') + tail,
                         std::move(values));
}

QString lockClause(Lock lock)
{
    return lock == Lock::ForUpdate ? QStringLiteral(" FOR UPDATE") : QString();
}

} // namespace

EditRequest editCities(db::Statement select)
{
    using namespace editor;
    return editRequest(std::move(select), "0.02",
                       {{Text, "ID", "0.0426"},
                        {Text, "Acronym", "0.0426"},
                        {Text, "FullName", "0.3408"},
                        {Text, "PostalCode", "0.1278"},
                        {List, "Country", "0.3408"},
                        {Text, "CountryCode", "0.0852"}});
}

EditRequest editCustomers(db::Statement select)
{
    using namespace editor;
    return editRequest(std::move(select), "0.02",
                       {{Text, "ID", "0.035"},
                        {Text, "FirstName", "0.14"},
                        {Text, "SurName", "0.14"},
                        {Text, "Address", "0.14"},
                        {Text, "City", "0.035"},
                        {Text, "Telephone", "0.07"},
                        {Text, "Email", "0.105"},
                        {Text, "PersonalIDNo", "0.07"},
                        {Date, "Joined", "0.105"},
                        {Text, "ShippingAddress", "0.14"}});
}

EditRequest editProducts(db::Statement select)
{
    using namespace editor;
    return editRequest(std::move(select), "0.0203",
                       {{Text, "ID", "0.0396"},
                        {Text, "Description", "0.4083"},
                        {List, "UM", "0.0848"},
                        {Text, "Quantity", "0.0848"},
                        {Text, "Price", "0.095"},
                        {Text, "BarCode", "0.1234"},
                        {Date, "LastDelivery", "0.14"}});
}

EditRequest editTransactions(db::Statement select)
{
    using namespace editor;
    return editRequest(std::move(select), "0.02",
                       {{LockedText, "ID", "0.0794"},
                        {Pick, "FirstName", "0.0964"},
                        {Pick, "SurName", "0.0964"},
                        {Date, "Date", "0.1164"},
                        {Text, "Quantity", "0.0794"},
                        {LockedText, "UM", "0.0794"},
                        {Text, "Price", "0.0794"},
                        {Text, "PricewTax", "0.0794"},
                        {Pick, "Description", "0.245"}},
                       true);
}

db::Statement recordsById(const QString &table, std::span<const qint64> ids, Lock lock)
{
    return withIds(QStringLiteral("SELECT * FROM ") + identifier(table)
                       + QStringLiteral(" WHERE `ID` IN "),
                   ids, lockClause(lock));
}

db::Statement salesById(std::span<const qint64> ids, Lock lock)
{
    return withIds(
        QStringLiteral("SELECT turnover.ID,customers.FirstName,customers.SurName,turnover.Date,"
                       "turnover.Quantity,products.UM,turnover.Price,turnover.PricewTax,"
                       "products.Description,turnover.ProductID,turnover.CustomerID "
                       "FROM turnover LEFT JOIN customers ON customers.ID = turnover.CustomerID "
                       "LEFT JOIN products ON products.ID = turnover.ProductID "
                       "WHERE turnover.ID IN "),
        ids, lockClause(lock));
}

db::Statement productStocks(std::span<const qint64> ids)
{
    return withIds(QStringLiteral("SELECT ID,Description,Quantity FROM products WHERE ID IN "), ids,
                   lockClause(Lock::ForUpdate));
}

db::Statement existingCustomers(std::span<const qint64> ids)
{
    return withIds(QStringLiteral("SELECT ID FROM customers WHERE ID IN "), ids,
                   QStringLiteral(" LOCK IN SHARE MODE"));
}

db::Statement updateRecord(const QString &table, const std::vector<FieldValue> &values, qint64 id)
{
    QStringList assignments;
    std::vector<db::SqlValue> bound;
    for (const FieldValue &v : values) {
        assignments.append(identifier(v.field) + QStringLiteral(" = ?"));
        bound.push_back(v.value);
    }
    bound.push_back(db::SqlValue::integer(id));
    return db::Statement(QStringLiteral("UPDATE ") + identifier(table) + QStringLiteral(" SET ")
                             + assignments.join(u',') + QStringLiteral(" WHERE `ID` = ?"),
                         std::move(bound));
}

db::Statement moveStock(qint64 productId, qint64 delta)
{
    return db::Statement(QStringLiteral("UPDATE products SET Quantity = Quantity + ? WHERE ID = ?"),
                         {db::SqlValue::integer(delta), db::SqlValue::integer(productId)});
}

} // namespace kestrel::sql
