#pragma once
// What keeps a sale from referring to a customer deleted at the same moment.
// On one server the sale's lock on the customer's row and the delete's lock
// on the customer's sales order the two. A Galera cluster compares only the
// rows two transactions write, and the locks of one node are unknown to the
// others: a sale on one node and a delete of its customer on another would
// both be stored. So a sale writes its customer's row (and the edit grid the
// row of a customer it picks for a sale); a delete writes it too, and the
// cluster refuses whichever of the two comes second, which runs again and
// finds the other's work. No table changes for it, so every existing
// database keeps working as it is.

#include "core/database/Odbc.h"

namespace kestrel::sql {

// Claims the customer with that ID for the running transaction: its row is
// written and written back, the same when the transaction ends, and locked
// until then. False when there is no such customer.
bool claimCustomer(db::OdbcConnection &connection, const db::SqlValue &id);

} // namespace kestrel::sql
