#include "FlexGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

namespace kestrel {

// ---- text pool -------------------------------------------------------------------

TextPool::Ref TextPool::store(QStringView text)
{
    Ref ref;
    if (text.isEmpty())
        return ref;
    const size_t length = size_t(text.size());
    if (m_blocks.empty() || m_blocks.back().capacity() - m_blocks.back().size() < length) {
        // Blocks grow with the pool up to a fixed size, so a small grid
        // stays small and a large one needs few blocks.
        constexpr qint64 smallest = 4 * 1024;
        constexpr qint64 largest = 256 * 1024;
        const size_t capacity = std::max(size_t(std::clamp(m_size, smallest, largest)), length);
        m_blocks.emplace_back().reserve(capacity);
    }
    std::vector<char16_t> &block = m_blocks.back();
    ref.block = quint32(m_blocks.size() - 1);
    ref.start = quint32(block.size());
    ref.length = qint32(length);
    block.insert(block.end(), text.utf16(), text.utf16() + length);
    m_size += qint64(length);
    return ref;
}

// ---- model -------------------------------------------------------------------

FlexGridModel::FlexGridModel(QObject *parent) : QAbstractTableModel(parent)
{
    m_cells.resize(size_t(m_rows) * size_t(m_cols));
}

bool FlexGridModel::validCell(int row, int col) const
{
    return row >= 0 && row < m_rows && col >= 0 && col < m_cols;
}

QModelIndex FlexGridModel::indexOf(int row, int col) const
{
    const int modelRow = row - 1;
    const int modelCol = col - m_fixedCols;
    if (modelRow < 0 || modelRow >= m_shownRows || modelCol < 0 || modelCol >= columnCount())
        return {};
    return index(modelRow, modelCol);
}

void FlexGridModel::setRows(int rows)
{
    endBulkAppend();
    rows = std::max(rows, 1); // the header row always stays
    if (rows == m_rows)
        return;
    if (rows > m_rows) {
        beginInsertRows({}, m_rows - 1, rows - 2);
        m_cells.resize(size_t(rows) * size_t(m_cols));
        m_rows = rows;
        m_shownRows = m_rows - 1;
        endInsertRows();
        return;
    }
    beginRemoveRows({}, rows - 1, m_rows - 2);
    for (size_t i = size_t(rows) * size_t(m_cols); i < m_cells.size(); ++i)
        m_liveText -= m_cells[i].text.length;
    m_cells.resize(size_t(rows) * size_t(m_cols));
    m_cells.shrink_to_fit();
    m_rows = rows;
    m_shownRows = rows - 1;
    endRemoveRows();
    compactPool();
}

void FlexGridModel::setCols(int cols)
{
    endBulkAppend();
    cols = std::max(cols, 1);
    if (cols == m_cols)
        return;
    beginResetModel();
    std::vector<Cell> cells(size_t(m_rows) * size_t(cols));
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < std::min(cols, m_cols); ++c)
            cells[size_t(r) * size_t(cols) + size_t(c)] = cell(r, c);
        for (int c = cols; c < m_cols; ++c)
            m_liveText -= cell(r, c).text.length;
    }
    m_cells = std::move(cells);
    m_cols = cols;
    m_fixedCols = std::min(m_fixedCols, m_cols - 1);
    endResetModel();
}

void FlexGridModel::setFixedCols(int fixedCols)
{
    fixedCols = std::clamp(fixedCols, 0, std::min(1, m_cols - 1));
    if (fixedCols == m_fixedCols)
        return;
    beginResetModel();
    m_fixedCols = fixedCols;
    endResetModel();
}

QString FlexGridModel::text(int row, int col) const
{
    if (!validCell(row, col))
        return {};
    return m_pool.view(cell(row, col).text).toString();
}

FlexGridModel::Cell FlexGridModel::storeText(QStringView text, QRgb background)
{
    Cell c;
    c.background = background;
    c.text = m_pool.store(text);
    m_liveText += c.text.length;
    return c;
}

void FlexGridModel::setText(int row, int col, QStringView text)
{
    if (!validCell(row, col))
        return;
    Cell &old = cell(row, col);
    if (m_pool.view(old.text) == text)
        return;
    m_liveText -= old.text.length;
    old = storeText(text, old.background);
    cellsChanged(row, col, col);
    compactPool();
}

QColor FlexGridModel::backColor(int row, int col) const
{
    if (!validCell(row, col) || qAlpha(cell(row, col).background) == 0)
        return {};
    return QColor::fromRgba(cell(row, col).background);
}

void FlexGridModel::setBackColor(int row, int col, const QColor &color)
{
    if (!validCell(row, col))
        return;
    cell(row, col).background = color.isValid() ? color.rgba() : 0;
    cellsChanged(row, col, col);
}

void FlexGridModel::insertRow(int row)
{
    endBulkAppend();
    row = std::clamp(row, 1, m_rows);
    beginInsertRows({}, row - 1, row - 1);
    m_cells.insert(m_cells.begin() + qsizetype(row) * m_cols, size_t(m_cols), Cell{});
    ++m_rows;
    m_shownRows = m_rows - 1;
    endInsertRows();
}

void FlexGridModel::removeRow(int row)
{
    endBulkAppend();
    if (row < 1 || row >= m_rows)
        return;
    beginRemoveRows({}, row - 1, row - 1);
    const auto first = m_cells.begin() + qsizetype(row) * m_cols;
    for (auto it = first; it != first + m_cols; ++it)
        m_liveText -= it->text.length;
    m_cells.erase(first, first + m_cols);
    --m_rows;
    m_shownRows = m_rows - 1;
    endRemoveRows();
}

void FlexGridModel::beginBulkAppend()
{
    m_bulk = true;
}

void FlexGridModel::appendRow(const std::vector<QStringView> &texts, const QColor &background)
{
    const QRgb rgb = background.isValid() ? background.rgba() : 0;
    for (int c = 0; c < m_cols; ++c)
        m_cells.push_back(storeText(size_t(c) < texts.size() ? texts[size_t(c)] : QStringView(), rgb));
    ++m_rows;
    if (!m_bulk)
        endBulkAppend();
}

void FlexGridModel::endBulkAppend()
{
    m_bulk = false;
    if (m_shownRows == m_rows - 1)
        return;
    beginInsertRows({}, m_shownRows, m_rows - 2);
    m_shownRows = m_rows - 1;
    endInsertRows();
}

void FlexGridModel::cellsChanged(int row, int firstCol, int lastCol)
{
    if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, std::max(firstCol - m_fixedCols, 0),
                               std::max(lastCol - m_fixedCols, 0));
        return;
    }
    if (row > m_shownRows)
        return;
    if (firstCol < m_fixedCols)
        emit headerDataChanged(Qt::Vertical, row - 1, row - 1);
    const int first = std::max(firstCol - m_fixedCols, 0);
    const int last = lastCol - m_fixedCols;
    if (last >= first)
        emit dataChanged(index(row - 1, first), index(row - 1, last));
}

void FlexGridModel::compactPool()
{
    constexpr qint64 slack = 1 << 20;
    if (m_pool.size() < 2 * m_liveText + slack)
        return;
    TextPool pool;
    for (Cell &c : m_cells)
        c.text = pool.store(m_pool.view(c.text));
    m_pool = std::move(pool);
}

int FlexGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_shownRows;
}

int FlexGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_cols - m_fixedCols;
}

QVariant FlexGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = gridRow(index.row());
    const int col = gridCol(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return text(row, col);
    case Qt::BackgroundRole: {
        const QColor color = backColor(row, col);
        return color.isValid() ? QVariant(color) : QVariant();
    }
    default:
        return {};
    }
}

QVariant FlexGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal)
        return text(0, gridCol(section));
    return m_fixedCols > 0 ? QVariant(text(gridRow(section), 0)) : QVariant();
}

Qt::ItemFlags FlexGridModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

// ---- view ----------------------------------------------------------------------

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
    m_model->insertRow(row);
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
    m_model->removeRow(row);
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

int FlexGrid::clientWidth() const
{
    const int border = 2 * frameWidth();
    const int rowsHeight = horizontalHeader()->height() + verticalHeader()->length();
    const bool scrollsVertically = verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn
                                   || (verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded
                                       && rowsHeight > height() - border);
    const int scrollBar = scrollsVertically ? verticalScrollBar()->sizeHint().width() : 0;
    return std::max(width() - border - scrollBar, 0);
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
