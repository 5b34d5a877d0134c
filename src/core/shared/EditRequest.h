#pragma once
// One opening of the edit grid: the statement whose rows the operator edits,
// the columns (editor, field and header, width), and whether the rows are
// sales joined with their customers and products. A find form builds one and
// hands it to Frm_EditResults::Open; writeContract() puts it into the
// result-window contract, which the grid reads as it loads.

#include "core/shared/ResultContract.h"

#include <vector>

namespace kestrel {

// The editor kinds of the edit grid's columns.
namespace editor {
inline const QString Text = QStringLiteral("TXT");
inline const QString LockedText = QStringLiteral("LTXT");
inline const QString List = QStringLiteral("CMB");
inline const QString Date = QStringLiteral("DTPCK");
inline const QString Pick = QStringLiteral("PCKBTN");
} // namespace editor

struct EditColumn {
    QString editor;         // one of the kinds above
    QString fieldAndHeader; // the result field edited, and its header: one word
    QString widthFraction;  // share of the grid's width, with a point: "0.0795"
};

// The edit grid has ten data columns.
constexpr int EditGridDataColumns = 10;

struct EditRequest {
    db::Statement statement;
    QString rowHeaderWidth = QStringLiteral("0.02");
    std::vector<EditColumn> columns; // data columns 1 to n, left to right
    // The rows are sales joined with customers and products: changes go to
    // turnover, customers and products are changed by picking them.
    bool joined = false;

    // Writes the statement, n, the columns' editors, fields, headers and
    // widths, and the joined flag. Column slots this request does not use
    // keep what they held.
    void writeContract() const;
};

} // namespace kestrel
