#include "widgets/FlexGridModel.h"

#include <algorithm>
#include <cmath>

namespace kestrel {

namespace {

// Relative luminance, as the contrast ratio measures it.
double luminance(const QColor &color)
{
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF())
           + 0.0722 * linear(color.blueF());
}

} // namespace

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor textColorOn(const QColor &background)
{
    const QColor black(Qt::black), white(Qt::white);
    return contrastRatio(background, black) >= contrastRatio(background, white) ? black : white;
}

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
    std::deque<Cell> cells(size_t(m_rows) * size_t(cols));
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < std::min(cols, m_cols); ++c) {
            const size_t to = size_t(r) * size_t(cols) + size_t(c);
            cells[to] = cell(r, c);
        }
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

QAnyStringView FlexGridModel::textView(int row, int col) const
{
    if (!validCell(row, col))
        return {};
    return m_pool.view(cell(row, col).text);
}

FlexGridModel::Cell FlexGridModel::storeText(QAnyStringView text, QRgb background)
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
    if (QAnyStringView::equal(m_pool.view(old.text), text))
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

void FlexGridModel::insertGridRow(int row)
{
    endBulkAppend();
    row = std::clamp(row, 1, m_rows);
    beginInsertRows({}, row - 1, row - 1);
    m_cells.insert(m_cells.begin() + qsizetype(row) * m_cols, size_t(m_cols), Cell{});
    ++m_rows;
    m_shownRows = m_rows - 1;
    endInsertRows();
}

void FlexGridModel::removeGridRow(int row)
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

void FlexGridModel::appendRow(std::span<const QAnyStringView> texts, const QColor &background)
{
    const QRgb rgb = background.isValid() ? background.rgba() : 0;
    for (int c = 0; c < m_cols; ++c) {
        m_cells.push_back(
            storeText(size_t(c) < texts.size() ? texts[size_t(c)] : QAnyStringView(), rgb));
    }
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
    case Qt::ForegroundRole: {
        const QColor color = backColor(row, col);
        return color.isValid() ? QVariant(textColorOn(color)) : QVariant();
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
} // namespace kestrel
