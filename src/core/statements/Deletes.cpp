#include "core/statements/Deletes.h"

#include "core/database/RetriedTransaction.h"
#include "core/statements/Records.h"

namespace kestrel::sql {

namespace {

// The delete binds the shown ID followed by a blank; the checks read it the
// same way, so both find the same record.
db::SqlValue boundId(const QString &shownId)
{
    return db::SqlValue::text(shownId + QLatin1Char(' '));
}

} // namespace

std::optional<ReferenceCheck> referencesTo(const QString &table, const QString &shownId)
{
    if (table == QLatin1String("customers") || table == QLatin1String("products")) {
        const bool customer = table == QLatin1String("customers");
        return ReferenceCheck{
            db::Statement(
                QStringLiteral("SELECT COUNT(*) FROM turnover WHERE %1 = ? "
                               "LOCK IN SHARE MODE")
                    .arg(customer ? QStringLiteral("CustomerID") : QStringLiteral("ProductID")),
                {boundId(shownId)}),
            QStringLiteral("sale refers to it"), QStringLiteral("sales refer to it"),
            customer ? QStringLiteral("customer") : QStringLiteral("product")};
    }
    if (table == QLatin1String("cities")) {
        // Customers name their city by its acronym; another city with the
        // same acronym still serves them.
        return ReferenceCheck{
            db::Statement(
                QStringLiteral("SELECT COUNT(*) FROM customers WHERE City IN "
                               "(SELECT Acronym FROM cities WHERE ID = ?) AND City NOT IN "
                               "(SELECT Acronym FROM cities WHERE ID <> ?) "
                               "LOCK IN SHARE MODE"),
                {boundId(shownId), boundId(shownId)}),
            QStringLiteral("customer uses its acronym"),
            QStringLiteral("customers use its acronym"), QStringLiteral("city")};
    }
    return std::nullopt;
}

QString deleteRefused(const ReferenceCheck &check, const QString &shownId, qint64 count)
{
    return QStringLiteral("The %1 with ID #%2 can't be deleted: %3 %4!!!")
        .arg(check.record, shownId, QString::number(count),
             count == 1 ? check.referringOne : check.referringMany);
}

QString alreadyDeleted(const QString &shownId)
{
    return QStringLiteral("Row with ID #%1 is already deleted!!!").arg(shownId);
}

Outcome<Done> deleteUnreferenced(db::OdbcConnection &connection, const QString &table,
                                 const QString &shownId)
{
    const std::optional<ReferenceCheck> check = referencesTo(table, shownId);
    const db::Statement statement = deleteRecord(table, shownId);
    qint64 references = 0;
    qint64 deleted = -1;
    const bool done = db::runTransaction(connection, [&](db::Transaction &t) {
        references = 0;
        if (check) {
            const db::ResultSet counted = connection.query(check->count);
            references = counted.rows.at(0).at(0).value_or(QString()).toLongLong();
            if (references > 0)
                return; // rolled back: nothing is deleted
        }
        deleted = connection.execute(statement);
        t.commit();
    });
    if (!done)
        return Refusal{db::OtherTillsText, {}};
    if (references > 0)
        return Refusal{deleteRefused(*check, shownId, references), {}};
    if (deleted == 0)
        return Refusal{alreadyDeleted(shownId), {}};
    return Done{};
}

} // namespace kestrel::sql
