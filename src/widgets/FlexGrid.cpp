#include "widgets/FlexGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

namespace kestrel {

FlexGrid::FlexGrid(QWidget *parent) : QTableView(parent), m_model(new FlexGridModel(this))
{
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setWordWrap(false);
    QHeaderView *top = horizontalHeader();
    top->setMinimumSectionSize(0);
    top->setSectionResizeMode(QHeaderView::Interactive);
    top->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    top->setHighlightSections(false);
    QHeaderView *left = verticalHeader();
    // Every row the same height: the view then never measures 100,000 rows.
    left->setSectionResizeMode(QHeaderView::Fixed);
    left->setDefaultSectionSize(fontMetrics().height() + 6);
    left->setMinimumSectionSize(0);
    left->setHighlightSections(false);
    m_fixedWidth = left->sizeHint().width();
    applyFixedColumn();
}

void FlexGrid::setRows(int rows)
{
    m_model->setRows(rows);
    std::erase_if(m_mergedRows, [rows](int r) { return r >= rows; });
}

void FlexGrid::setCols(int cols)
{
    m_model->setCols(cols);
    applyFixedColumn();
    for (int row : m_mergedRows)
        updateMerges(row);
}

void FlexGrid::setFixedCols(int fixedCols)
{
    m_model->setFixedCols(fixedCols);
    applyFixedColumn();
    for (int row : m_mergedRows)
        updateMerges(row);
}

void FlexGrid::applyFixedColumn()
{
    const bool shown = FixedCols() > 0 && m_fixedWidth > 0;
    verticalHeader()->setVisible(shown);
    if (shown)
        verticalHeader()->setFixedWidth(m_fixedWidth);
}

void FlexGrid::setTextMatrix(int row, int col, const QString &text)
{
    m_model->setText(row, col, text);
    if (MergeRow(row))
        updateMerges(row);
}

void FlexGrid::setCellBackColor(int row, int col, const QColor &color)
{
    m_model->setBackColor(row, col, color);
}

void FlexGrid::setRow(int row)
{
    m_row = row;
    showCurrent();
}

void FlexGrid::setCol(int col)
{
    m_col = col;
    showCurrent();
}

void FlexGrid::showCurrent()
{
    const QModelIndex index = m_model->indexOf(m_row, m_col);
    if (index.isValid() && index != currentIndex())
        setCurrentIndex(index);
}

void FlexGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (current.isValid()) {
        m_row = m_model->gridRow(current.row());
        m_col = m_model->gridCol(current.column());
    }
}

void FlexGrid::AddItem(const QString &text, int index)
{
    const int row = index < 0 ? Rows() : std::clamp(index, 1, Rows());
    m_model->insertGridRow(row);
    for (int &merged : m_mergedRows) {
        if (merged >= row)
            ++merged;
    }
    const QStringList parts = text.split(QLatin1Char('\t'));
    for (int c = 0; c < Cols() && c < parts.size(); ++c)
        m_model->setText(row, c, parts[c]);
}

void FlexGrid::RemoveItem(int row)
{
    if (row < 1 || row >= Rows())
        return;
    m_model->removeGridRow(row);
    std::erase(m_mergedRows, row);
    for (int &merged : m_mergedRows) {
        if (merged > row)
            --merged;
    }
}

void FlexGrid::setMergeRow(int row, bool merge)
{
    const bool merged = MergeRow(row);
    if (merge && !merged)
        m_mergedRows.push_back(row);
    else if (!merge && merged)
        std::erase(m_mergedRows, row);
    updateMerges(row);
}

bool FlexGrid::MergeRow(int row) const
{
    return std::find(m_mergedRows.begin(), m_mergedRows.end(), row) != m_mergedRows.end();
}

void FlexGrid::updateMerges(int row)
{
    if (row < 1 || row >= Rows())
        return;
    const int modelRow = row - 1;
    const int columns = m_model->columnCount();
    for (int c = 0; c < columns; ++c) {
        if (rowSpan(modelRow, c) != 1 || columnSpan(modelRow, c) != 1)
            setSpan(modelRow, c, 1, 1);
    }
    if (!MergeRow(row))
        return;
    int start = 0;
    while (start < columns) {
        const QString text = TextMatrix(row, m_model->gridCol(start));
        int end = start + 1;
        while (end < columns && !text.isEmpty() && TextMatrix(row, m_model->gridCol(end)) == text)
            ++end;
        if (end - start > 1)
            setSpan(modelRow, start, 1, end - start);
        start = end;
    }
}

int FlexGrid::ColWidth(int col) const
{
    if (col < FixedCols())
        return verticalHeader()->isHidden() ? 0 : m_fixedWidth;
    return columnWidth(col - FixedCols());
}

void FlexGrid::setColWidth(int col, int pixels)
{
    pixels = std::max(pixels, 0);
    if (col < 0 || col >= Cols())
        return;
    if (col < FixedCols()) {
        m_fixedWidth = pixels;
        applyFixedColumn();
        return;
    }
    setColumnWidth(col - FixedCols(), pixels);
}

void FlexGrid::setColHidden(int col, bool hidden)
{
    if (col >= FixedCols() && col < Cols())
        setColumnHidden(col - FixedCols(), hidden);
}

int FlexGrid::clientWidth() const
{
    const int border = 2 * frameWidth();
    const int rowsHeight = horizontalHeader()->height() + verticalHeader()->length();
    const bool scrollsVertically =
        verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn
        || (verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded && rowsHeight > height() - border);
    const int scrollBar = scrollsVertically ? verticalScrollBar()->sizeHint().width() : 0;
    return std::max(width() - border - scrollBar, 0);
}

QRect FlexGrid::cellRect(int row, int col) const
{
    if (row < 0 || row >= Rows() || col < 0 || col >= Cols())
        return {};
    if (row > 0 && col >= FixedCols()) {
        // Where the view draws the cell, inside its grid lines.
        const QModelIndex index = m_model->indexOf(row, col);
        if (!index.isValid() || isRowHidden(index.row()) || isColumnHidden(index.column()))
            return {};
        return visualRect(index).translated(viewport()->geometry().topLeft());
    }
    // The header row and the fixed column lie on the view's headers.
    QRect rect;
    if (col < FixedCols()) {
        if (verticalHeader()->isHidden())
            return {};
        rect.setLeft(verticalHeader()->geometry().left());
        rect.setWidth(verticalHeader()->width());
    } else {
        const int section = col - FixedCols();
        if (isColumnHidden(section))
            return {};
        rect.setLeft(viewport()->geometry().left() + columnViewportPosition(section));
        rect.setWidth(columnWidth(section));
    }
    if (row == 0) {
        if (horizontalHeader()->isHidden())
            return {};
        rect.setTop(horizontalHeader()->geometry().top());
        rect.setHeight(horizontalHeader()->height());
    } else {
        if (row - 1 >= m_model->rowCount() || isRowHidden(row - 1))
            return {};
        rect.setTop(viewport()->geometry().top() + rowViewportPosition(row - 1));
        rect.setHeight(rowHeight(row - 1));
    }
    return rect;
}

void FlexGrid::endBulkAppend()
{
    m_model->endBulkAppend();
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    // Only a double click on a cell counts: one on the empty area below the
    // last row must not act on whichever row happens to be current.
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid())
        return;
    setCurrentIndex(index);
    emit DblClick();
}

void FlexGrid::keyPressEvent(QKeyEvent *event)
{
    if (!event->text().isEmpty())
        emit KeyPress(event->text().at(0).unicode());
    QTableView::keyPressEvent(event);
}

void FlexGrid::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    emit GotFocus();
}

void FlexGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    emit Scroll();
}

} // namespace kestrel
