#pragma once
// One opening of the read-only result window: the statement, the caption,
// the columns with their widths, and what a double click does there (nothing,
// delete the record, or hand the row to the window that asked for a pick).
// Every report, delete view and chooser is one of these; writeContract() puts
// it into the result-window contract, which the window reads as it loads.

#include "core/shared/ResultContract.h"

#include <vector>

namespace kestrel {

struct ResultColumn {
    QString fieldAndHeader; // the result field shown, and its header: one word
    QString widthFraction;  // share of the grid's width, with a point: "0.0795"
};

struct ResultRequest {
    db::Statement statement;
    QString caption;
    QString rowHeaderWidth = QStringLiteral("0.02");
    std::vector<ResultColumn> columns; // data columns 1 to n, left to right

    // A delete view: a double click deletes the clicked record from this table.
    QString deleteTable;

    // A chooser: the pick flag of the contract that this opening raises, and
    // what a pick does with the row. Set by the window that opens the chooser.
    bool *pickFlag = nullptr;
    mdl_Variables_Functions::PickHandOver onPick;

    // Writes the statement, the caption, n and the columns' fields, headers
    // and widths, then raises the delete or pick flag. Column slots this
    // request does not use keep what they held.
    void writeContract() const;
};

} // namespace kestrel
