#include "editing/EditGridRows.h"

#include "core/shared/EditRequest.h"
#include "widgets/FlexGrid.h"

namespace kestrel {

EditGridRows::EditGridRows(FlexGrid &grid) : m_grid(grid) {}

bool EditGridRows::startLoad(const db::Statement &statement,
                             const mdl_Variables_Functions::ColumnTable &columns, int dataColumns,
                             bool joined)
{
    m_records = std::make_unique<edit::GridRecords>(columns, dataColumns, joined);
    m_inGrid = 0;
    m_marked.clear();
    m_grid.setMergeRow(1, false);
    m_grid.setRows(1);
    m_grid.setCols(EditGridDataColumns + 1);
    for (int j = 1; j <= EditGridDataColumns; ++j) {
        m_grid.setColHidden(j, j > dataColumns);
        m_grid.setTextMatrix(0, j, j <= dataColumns ? column(j).header : QString());
    }
    return m_load.start(statement, *m_records);
}

db::StreamingCycle::Turn EditGridRows::loadTurn(const QDeadlineTimer &deadline)
{
    const db::StreamingCycle::Turn turn = m_load.read(deadline);
    if (turn == db::StreamingCycle::Turn::Failed)
        return turn;
    m_grid.beginBulkAppend();
    std::vector<QAnyStringView> views(size_t(dataColumns()) + 1);
    for (; m_inGrid < m_records->rowCount(); ++m_inGrid) {
        const int row = m_inGrid + 1;
        for (int j = 1; j <= dataColumns(); ++j)
            views[size_t(j)] = m_records->loadedText(row, j);
        m_grid.appendRow(views, stripeColor(row));
    }
    if (turn == db::StreamingCycle::Turn::Finished) {
        showRows();
        if (m_records->empty())
            showNoRows();
    }
    return turn;
}

void EditGridRows::showRows()
{
    m_grid.endBulkAppend();
}

void EditGridRows::stopLoad()
{
    m_load.stop();
    showRows();
}

QColor EditGridRows::stripeColor(int row) const
{
    return row % 2 == 1 ? StripeColor : QColor();
}

void EditGridRows::showNoRows()
{
    static const QString noItems = QStringLiteral("No Items Found in DataBase");
    m_grid.setRows(2);
    for (int j = 1; j <= dataColumns(); ++j) {
        m_grid.setTextMatrix(1, j, noItems);
        m_grid.setCellBackColor(1, j, StripeColor);
    }
    m_grid.setMergeRow(1, true);
}

void EditGridRows::writeCell(int row, int col, const QString &text)
{
    m_records->edit(row, col, text);
    m_grid.setTextMatrix(row, col, text);
}

void EditGridRows::pick(int row, ColumnRole role, qint64 id, const QString &first,
                        const QString &second)
{
    for (const int col : m_records->pick(row, role, id, first, second))
        m_grid.setTextMatrix(row, col, m_records->text(row, col));
}

void EditGridRows::mark(int row, int col, const QColor &color)
{
    m_grid.setCellBackColor(row, col, color);
    m_marked.insert({row, col});
}

void EditGridRows::markChanged(const std::vector<GridCell> &cells)
{
    for (const GridCell &cell : cells)
        mark(cell.row, cell.col, ChangedColor);
}

void EditGridRows::restoreStripes()
{
    for (const GridCell &cell : m_marked)
        m_grid.setCellBackColor(cell.row, cell.col, stripeColor(cell.row));
    m_marked.clear();
}

void EditGridRows::showSaved(const edit::SavedRows &saved)
{
    for (const int row : saved.savedRows) {
        for (int j = 1; j <= dataColumns(); ++j)
            m_grid.setTextMatrix(row, j, m_records->text(row, j));
    }
    restoreStripes();
    for (const int row : saved.goneRows) {
        for (int j = 1; j <= dataColumns(); ++j)
            mark(row, j, ChangedColor);
    }
}

} // namespace kestrel
