#pragma once
// Saving the edit grid's changes: one transaction that re-reads the changed
// records by ID under lock, refuses the whole save when another user changed
// one of them since the grid loaded it, moves stock with a sale's product or
// quantity, and writes only the fields the operator changed. Either every
// change is stored or none is.

#include "core/database/Odbc.h"
#include "core/shared/Outcome.h"
#include "core/statements/Edit.h"

#include <functional>
#include <span>

namespace kestrel::edit {

// A cell of a changed record: what the grid loaded into it and what the
// operator made of it. If the record no longer holds the loaded text,
// another user changed it and nothing is saved.
struct ChangedCell {
    int gridCol = 0;
    QString field; // as the re-read names it
    QString loadedText;
    QString text; // what the cell shows now, for a message about it
};

struct RecordChange {
    int gridRow = 0;
    qint64 id = 0;
    std::vector<ChangedCell> cells;
    std::vector<sql::FieldValue> writes; // fields of the record's own table
};

struct ChangeSet {
    QString table;
    // Sales of the joined view: the records are re-read through the join, and
    // a changed ProductID or Quantity moves stock.
    bool sales = false;
    std::vector<RecordChange> records;
    // The grid's column headers by column, for messages naming a cell.
    std::vector<QString> headers;
};

// The grid's cells as every refusal names them.
using kestrel::GridCell;

// "Row 3, Price", as every message about a cell names it.
QString cellName(const ChangeSet &changes, int row, int col);

// A save that was done: every record still there was written.
struct Saved {
    std::vector<int> goneRows; // grid rows whose record was deleted: not written
};

// Runs the save on connection, again while another till's transaction beats
// it (core/database/RetriedTransaction). Refused, with nothing written, when
// another user changed a cell the operator changed (those cells), a product
// would go below zero, a picked customer or product no longer exists, a sale
// would sell nothing (its quantity cell), the server refuses a value (its
// cell) or other tills' transactions beat every try. A database failure
// comes out as the ODBC layer's exception, with everything rolled back.
Outcome<Saved> saveChanges(db::OdbcConnection &connection, const ChangeSet &changes);

// Calls each with the IDs a chunk at a time, as long as statements take them.
void forEachChunk(const std::vector<qint64> &ids,
                  const std::function<void(std::span<const qint64>)> &each);

} // namespace kestrel::edit
