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

// A cell of a changed record as the grid loaded it: if the record no longer
// holds this, another user changed it and nothing is saved.
struct LoadedCell {
    int gridCol = 0;
    QString field; // as the re-read names it
    QString loadedText;
};

struct RecordChange {
    int gridRow = 0;
    qint64 id = 0;
    std::vector<LoadedCell> loaded;
    std::vector<sql::FieldValue> writes; // fields of the record's own table
};

struct ChangeSet {
    QString table;
    // Sales of the joined view: the records are re-read through the join, and
    // a changed ProductID or Quantity moves stock.
    bool sales = false;
    std::vector<RecordChange> records;
};

// The grid's cells as every refusal names them.
using kestrel::GridCell;

struct SaveOutcome {
    enum class Result {
        Saved,          // every record still there was written; see goneRows
        Conflict,       // another user changed cells the operator changed: nothing written
        NotEnoughStock, // a product would go below zero: nothing written
        PickGone,       // a picked customer or product no longer exists: nothing written
        NoQuantity,     // a sale would sell nothing (quantity below one): nothing written
        Refused,        // the server refused a value (SQLSTATE class 22 or 23): nothing written
        Busy,           // other tills' transactions beat every try: nothing written
    };
    Result result = Result::Saved;
    std::vector<GridCell> conflicts; // Conflict
    std::vector<int> goneRows;       // grid rows whose record was deleted: not written
    QString product;                 // NotEnoughStock: the product's description
    QString pickTable;               // PickGone: "customers" or "products"
    qint64 pickId = 0;               // PickGone: the ID that is gone
    int gridRow = 0;                 // NoQuantity, Refused: the row
    QString field;                   // Refused: the field the server named, if any
    QString message;                 // NoQuantity: the sale form's message
};

// Runs the save on connection, again while another till's transaction beats
// it (core/database/RetriedTransaction); a database failure comes out as the
// ODBC layer's exception, with everything rolled back.
SaveOutcome saveChanges(db::OdbcConnection &connection, const ChangeSet &changes);

// Calls each with the IDs a chunk at a time, as long as statements take them.
void forEachChunk(const std::vector<qint64> &ids,
                  const std::function<void(std::span<const qint64>)> &each);

} // namespace kestrel::edit
