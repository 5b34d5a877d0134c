#pragma once
// What may stand in the way of deleting a record from a delete view: rows of
// another table that refer to it and would be left pointing at nothing
// (sales of a customer or a product, customers of a city's acronym), and
// the messages that say so. Values are bound as the delete binds them.

#include "core/database/Odbc.h"
#include "core/database/Statement.h"
#include "core/shared/Outcome.h"

#include <optional>

namespace kestrel::sql {

struct ReferenceCheck {
    // "SELECT COUNT(*) ..." of the referring rows, locking them until the
    // transaction ends, so none can be added between the count and the delete.
    db::Statement count;
    QString referringOne;  // "sale refers to it"
    QString referringMany; // "sales refer to it"
    QString record;        // "customer"
};

// The check for a record of table with the ID as the list shows it; none for
// a table nothing refers to (turnover).
std::optional<ReferenceCheck> referencesTo(const QString &table, const QString &shownId);

// "The customer with ID #17 can't be deleted: 3 sales refer to it!!!"
QString deleteRefused(const ReferenceCheck &check, const QString &shownId, qint64 count);
// The record is gone already: someone else deleted it, or this view did.
QString alreadyDeleted(const QString &shownId);

// A delete view's delete of the record of table with the ID as the list
// shows it: what refers to it is counted and the record deleted in one
// transaction, so no sale can come to refer to it in between. Done, or the
// refusal saying why nothing was deleted: rows refer to it, it is gone
// already, or other tills kept the records busy try after try. Any other
// database failure throws.
Outcome<Done> deleteUnreferenced(db::OdbcConnection &connection, const QString &table,
                                 const QString &shownId);

} // namespace kestrel::sql
