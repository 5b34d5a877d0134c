#pragma once
// The records behind the edit grid's rows: loading them, remembering the ID
// each row was loaded with, comparing the rows with the database, and
// gathering what the operator changed for a save. Rows are paired with their
// records by ID, never by position, so records another user adds or deletes
// meanwhile never shift a change onto the wrong record.

#include "core/database/Odbc.h"
#include "core/editing/EditCells.h"
#include "core/editing/SaveChanges.h"
#include "core/shared/ResultContract.h"

#include <QColor>
#include <QHash>
#include <QSet>
#include <functional>
#include <map>
#include <set>
#include <variant>

namespace kestrel {

class FlexGrid;

// What a change in a column does.
enum class ColumnRole {
    ReadOnly,     // nothing: IDs, and fields that are not the record's own
    Field,        // the record's field of the same name receives the text
    PickCustomer, // a sale's customer, changed by picking another
    PickProduct,  // a sale's product, changed by picking another
};

struct EditGridColumn {
    QString field;
    QString header;
    QString editor;       // the editor that opens on the column, after the rules below
    edit::FieldRule rule; // what the column holds, for checks before a save
    ColumnRole role = ColumnRole::ReadOnly;
};

inline const QColor CalledColor(0, 255, 255);
inline const QColor ChangedColor(255, 0, 0);

class EditGridRows {
public:
    explicit EditGridRows(FlexGrid &grid);

    // Shows the rows of statement in the grid, columns 1 to dataColumns as
    // described by columns, rows 1, 3, 5, ... tinted, NULL as "Unknow". The
    // rows are read in a connection cycle of their own as the server sends
    // them, straight into the grid. False once that cycle took its failure
    // path: the database failed, or the result lacks a column's field or an
    // ID.
    bool load(const db::Statement &statement, const mdl_Variables_Functions::ColumnTable &columns,
              int dataColumns, bool joined);
    // The statement found no rows: row 1 is a message, not a record.
    bool noRows() const { return m_ids.empty(); }
    int dataColumns() const { return int(m_columns.size()) - 1; }
    const EditGridColumn &column(int col) const { return m_columns[size_t(col)]; }
    // The column showing field, or 0.
    int columnOf(const QString &field) const;
    qint64 idOf(int row) const { return m_ids[size_t(row - 1)]; }

    // A cell the operator changed (through an editor or a pick).
    void writeCell(int row, int col, const QString &text);
    // Colours a cell; the mark stays until a save restores the stripes.
    void mark(int row, int col, const QColor &color);
    QColor stripeColor(int row) const;

    // A pick for a sale's row: the picked record's ID is kept for the save,
    // its two names go into the row (a customer's first name and surname, a
    // product's description and unit).
    void pick(int row, ColumnRole role, qint64 id, const QString &first, const QString &second);

    // Marks red every cell whose text differs from its record as stored
    // now; every cell of a row whose record is gone.
    void compare(db::OdbcConnection &connection, const db::Statement &statement);

    // A changed cell whose text its column cannot hold exactly.
    struct Unstorable {
        int row = 0;
        int col = 0;
        QString problem; // "is longer than 3 characters", ...
    };
    // Everything the operator changed, by record: cells whose text is no
    // longer the text they were loaded with, and picks. A sale whose price
    // changes and its price with tax not gets the price with tax a new sale
    // would have.
    std::variant<edit::ChangeSet, Unstorable> changes() const;

    // The cell texts of saved records as the server holds them now, by
    // grid row; read by ID, so only those records are read.
    using StoredTexts = std::map<int, std::vector<std::optional<QString>>>;
    StoredTexts readSaved(db::OdbcConnection &connection, const edit::ChangeSet &changes) const;
    // After a save: the saved rows show what the server stored and count as
    // loaded with it, the marks give way to the stripes, and rows whose
    // record is gone turn red. Returns the rows where another user's change
    // of other cells came in with the save.
    std::vector<int> saved(const edit::ChangeSet &changes, const edit::SaveOutcome &outcome,
                           const StoredTexts &stored);

private:
    struct ResultFields;
    void setUpColumns(const mdl_Variables_Functions::ColumnTable &columns, int dataColumns);
    void findColumns(const std::vector<db::Column> &result, bool joined);
    void showNoRows();
    // The grid row of the record with this ID; hint is where it is expected.
    int rowOf(qint64 id, int hint) const;
    void compareRow(int row, const db::Row &record, const ResultFields &fields);
    void compareMissing(db::OdbcConnection &connection, const std::vector<qint64> &ids);
    // Reads the records with these IDs, a chunk at a time, and hands each to
    // each with its grid row (0 for a record the grid does not show).
    // Returns the IDs found.
    QSet<qint64> readByIds(
        db::OdbcConnection &connection, const std::vector<qint64> &ids,
        const std::function<void(int row, const db::Row &, const ResultFields &)> &each) const;
    // Keeps a sale's price with tax with its price.
    void taxFollowsPrice(edit::RecordChange &change) const;
    void restoreStripes();
    edit::RecordChange &changeOf(std::map<int, edit::RecordChange> &records, int row) const;

    FlexGrid &m_grid;
    std::vector<EditGridColumn> m_columns; // 1 to n; 0 unused
    std::vector<qint64> m_ids;             // by grid row less one
    QString m_table;                       // the table the records are saved into
    bool m_joined = false;
    std::set<std::pair<int, int>> m_written; // cells an editor or a pick wrote
    std::set<std::pair<int, int>> m_marked;  // cells coloured other than their stripe
    mutable QHash<qint64, int> m_rowOfId;    // built on first need
};

} // namespace kestrel
