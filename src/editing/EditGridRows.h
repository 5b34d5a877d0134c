#pragma once
// The edit grid's rows as the grid shows them: the records (core/editing
// GridRecords) arrive a turn at a time and go into the grid; what the
// operator writes or picks goes into the records and the grid alike; cells
// are tinted for what a compare or a save found. The records are the truth,
// the grid shows them.

#include "core/editing/GridLoad.h"
#include "core/editing/GridRecords.h"

#include <QColor>
#include <memory>
#include <set>

namespace kestrel {

class FlexGrid;

using edit::ColumnRole;
using EditGridColumn = edit::GridColumn;

inline const QColor CalledColor(0, 255, 255);
inline const QColor ChangedColor(255, 0, 0);

class EditGridRows {
public:
    explicit EditGridRows(FlexGrid &grid);

    // Empties the grid, heads columns 1 to dataColumns as described by
    // columns and starts loading the statement's records; false once the
    // load took its failure path.
    bool startLoad(const db::Statement &statement,
                   const mdl_Variables_Functions::ColumnTable &columns, int dataColumns,
                   bool joined);
    // Loads records until the deadline and keeps them for the grid, rows 1,
    // 3, 5, ... tinted, NULL as "Unknow"; the grid shows them at showRows()
    // and at the end. Once every record is in and there is none, row 1 is a
    // message, not a record.
    db::StreamingCycle::Turn loadTurn(const QDeadlineTimer &deadline);
    void showRows();
    // Ends the loading; the rows already read stay.
    void stopLoad();
    bool isLoading() const { return m_load.isLoading(); }

    // The statement found no rows: row 1 is a message, not a record.
    bool noRows() const { return !m_records || (!isLoading() && m_records->empty()); }
    int rowCount() const { return m_records ? m_records->rowCount() : 0; }
    int dataColumns() const { return m_records->dataColumns(); }
    const EditGridColumn &column(int col) const { return m_records->column(col); }
    int columnOf(const QString &field) const { return m_records->columnOf(field); }
    qint64 idOf(int row) const { return m_records->idOf(row); }
    const edit::GridRecords &records() const { return *m_records; }
    edit::GridRecords &records() { return *m_records; }

    // A cell the operator changed (through an editor or a pick).
    void writeCell(int row, int col, const QString &text);
    void pick(int row, ColumnRole role, qint64 id, const QString &first, const QString &second);
    // Colours a cell; the mark stays until a save restores the stripes.
    void mark(int row, int col, const QColor &color);
    void markChanged(const std::vector<GridCell> &cells);

    // After a save: the saved rows show what the server stored, the marks
    // give way to the stripes, and rows whose record is gone turn red.
    void showSaved(const edit::SavedRows &saved);

private:
    QColor stripeColor(int row) const;
    void showNoRows();
    void restoreStripes();

    FlexGrid &m_grid;
    std::unique_ptr<edit::GridRecords> m_records;
    edit::GridLoad m_load;
    int m_inGrid = 0;            // records the grid holds, shown or not yet
    std::set<GridCell> m_marked; // cells coloured other than their stripe
};

} // namespace kestrel
