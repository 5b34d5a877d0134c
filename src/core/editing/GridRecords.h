#pragma once
// The edit grid's records, kept apart from the grid that shows them: each
// row's record ID and the cell texts it was loaded with, what the operator
// changed (texts and picks), and from these the change set a save sends.
// Rows are paired with their records by ID, never by position, so records
// another user adds or deletes meanwhile never shift a change onto the wrong
// record.

#include "core/database/RowStream.h"
#include "core/editing/EditCells.h"
#include "core/editing/SaveChanges.h"
#include "core/shared/ResultContract.h"
#include "core/shared/TextPool.h"

#include <QHash>
#include <deque>
#include <map>

namespace kestrel::edit {

// What a change in a column does.
enum class ColumnRole {
    ReadOnly,     // nothing: IDs, and fields that are not the record's own
    Field,        // the record's field of the same name receives the text
    PickCustomer, // a sale's customer, changed by picking another
    PickProduct,  // a sale's product, changed by picking another
};

struct GridColumn {
    QString field;
    QString header;
    QString editor; // the editor that opens on the column, after the rules below
    FieldRule rule; // what the column holds, for checks before a save
    ColumnRole role = ColumnRole::ReadOnly;
};

// Where each grid column's field is in a result.
struct ResultFields {
    std::vector<int> index; // by grid column; -1: the result lacks the field
    std::vector<int> type;
    int id = -1;

    // A result that must show every column (the grid's own statement)
    // throws when it lacks one; a re-read just leaves it out.
    ResultFields(const std::vector<db::Column> &result, const std::vector<GridColumn> &columns,
                 bool required);
};

class GridRecords {
public:
    // Columns 1 to dataColumns of the column table; sales: the rows come
    // from the sales join and changes go to turnover.
    GridRecords(const mdl_Variables_Functions::ColumnTable &columns, int dataColumns, bool sales);

    // Takes the grid statement's description: which table the records are
    // saved into and what each column holds and lets the operator do.
    // Throws when the result lacks a column's field or an ID.
    void describe(const std::vector<db::Column> &result);
    // Adds the next record as the server sent it. Throws for a row without
    // a numeric ID.
    void append(db::RowBytes row);

    bool sales() const { return m_sales; }
    const QString &table() const { return m_table; }
    int rowCount() const { return int(m_ids.size()); }
    bool empty() const { return m_ids.empty(); }
    int dataColumns() const { return int(m_columns.size()) - 1; }
    const GridColumn &column(int col) const { return m_columns[size_t(col)]; }
    const std::vector<GridColumn> &columns() const { return m_columns; }
    // The column showing field, or 0.
    int columnOf(const QString &field) const;
    qint64 idOf(int row) const { return m_ids[size_t(row - 1)]; }
    // The row of the record with this ID, or 0; hint is where it is expected.
    int rowOf(qint64 id, int hint = 0) const;

    // The text a cell was loaded with (or last saved with), good until the
    // records change.
    QAnyStringView loadedText(int row, int col) const;
    // What the cell says now: the operator's text, else the loaded one;
    // good until the records change.
    QAnyStringView textView(int row, int col) const;
    QString text(int row, int col) const { return textView(row, col).toString(); }

    // The operator's text for a cell.
    void edit(int row, int col, const QString &text);
    // A pick for a sale's row: the picked record's ID is kept for the save,
    // its two names (a customer's first name and surname, a product's
    // description and unit) go into the row. Returns the columns written.
    std::vector<int> pick(int row, ColumnRole role, qint64 id, const QString &first,
                          const QString &second);

    // Everything the operator changed, by record: cells whose text is no
    // longer the text they were loaded with, and picks. A sale whose price
    // changes and its price with tax not gets the price with tax a new sale
    // would have. Refused, naming the cell, when a changed text cannot be
    // stored exactly in its column.
    Outcome<ChangeSet> changes() const;

    // After a save: the saved records' cells hold what the server stored,
    // by grid column, and count as loaded with it; the operator's changes of
    // those rows are done. Returns the rows where a change of other cells,
    // another user's, came in with the save.
    using StoredTexts = std::map<int, std::vector<std::optional<QString>>>;
    std::vector<int> takeSaved(const ChangeSet &changes, const StoredTexts &stored);

private:
    struct Picks {
        std::optional<qint64> customer;
        std::optional<qint64> product;
    };
    void taxFollowsPrice(RecordChange &change) const;
    RecordChange &changeOf(std::map<int, RecordChange> &records, int row) const;
    ChangedCell changedCell(int row, int col) const;
    size_t at(int row, int col) const { return size_t(row - 1) * m_columns.size() + size_t(col); }

    std::vector<GridColumn> m_columns; // 1 to n; 0 unused
    bool m_sales = false;
    QString m_table;
    std::optional<ResultFields> m_fields;
    std::vector<QByteArray> m_scratch;
    std::vector<qint64> m_ids; // by grid row less one
    TextPool m_pool;
    std::deque<TextPool::Ref> m_loaded; // by row less one, then column
    std::map<GridCell, QString> m_edits;
    std::map<int, Picks> m_picks;         // by grid row
    mutable QHash<qint64, int> m_rowOfId; // built on first need
};

// The cells whose text differs from their record as the database holds it
// now: read by the grid's statement, then records it no longer finds by ID;
// every cell of a row whose record is gone.
std::vector<GridCell> compareRows(db::OdbcConnection &connection, const db::Statement &statement,
                                  const GridRecords &records);

// What a save of the grid did.
struct SavedRows {
    std::vector<int> goneRows;      // records deleted meanwhile: not written
    std::vector<int> savedRows;     // rows now showing what the server stored
    std::vector<int> othersChanged; // of those, rows that brought in another user's change
};

// Saves the changes in one transaction (saveChanges) and reads the saved
// records back into records, so the grid shows what the server stored.
Outcome<SavedRows> saveGridChanges(db::OdbcConnection &connection, GridRecords &records,
                                   const ChangeSet &changes);

} // namespace kestrel::edit
