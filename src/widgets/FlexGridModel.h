#pragma once
// The grid's cells: texts and background colours addressed the way every
// Kestrel form thinks of them, row 0 the header row and, with one fixed
// column, column 0 the row-header column. Data rows start at 1. The view
// sees data row r as model row r - 1 and the header row as its headers.

#include "core/shared/TextPool.h"

#include <QAbstractTableModel>
#include <QColor>
#include <deque>
#include <span>

namespace kestrel {

// The contrast ratio of two colours as accessibility guidelines measure it,
// from 1 (the same) to 21 (black on white).
double contrastRatio(const QColor &a, const QColor &b);
// The text colour for a cell of colour background: black or white,
// whichever contrasts more. A tinted cell keeps its text readable whatever
// the palette (a dark one writes near-white text); one of the two always
// contrasts with the cell at a ratio of 4.5 or more.
QColor textColorOn(const QColor &background);

class FlexGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit FlexGridModel(QObject *parent = nullptr);

    // ---- the grid's coordinates (row 0 the header row) ----
    int rows() const { return m_rows; }
    int cols() const { return m_cols; }
    int fixedCols() const { return m_fixedCols; }
    void setRows(int rows);
    void setCols(int cols);
    void setFixedCols(int fixedCols);

    QString text(int row, int col) const;
    // The same text without a copy, good until the cell changes.
    QAnyStringView textView(int row, int col) const;
    void setText(int row, int col, QStringView text);
    // An invalid colour is the grid's own background.
    QColor backColor(int row, int col) const;
    void setBackColor(int row, int col, const QColor &color);

    // Rows in the grid's own numbering (data rows from 1). Named apart from
    // QAbstractItemModel's insertRow and removeRow, which count view rows
    // from 0 and take a parent.
    void insertGridRow(int row);
    void removeGridRow(int row);

    // Bulk loading: appendRow stores a row without telling the view; the
    // rows appear together when the bulk ends.
    void beginBulkAppend();
    void appendRow(std::span<const QAnyStringView> texts, const QColor &background);
    void endBulkAppend();

    // ---- QAbstractTableModel ----
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Grid row and column of a view index, and back.
    int gridRow(int modelRow) const { return modelRow + 1; }
    int gridCol(int modelCol) const { return modelCol + m_fixedCols; }
    QModelIndex indexOf(int row, int col) const;

private:
    struct Cell {
        TextPool::Ref text;
        QRgb background = 0; // alpha 0: no colour of its own
    };
    bool validCell(int row, int col) const;
    size_t at(int row, int col) const { return size_t(row) * size_t(m_cols) + size_t(col); }
    Cell &cell(int row, int col) { return m_cells[at(row, col)]; }
    const Cell &cell(int row, int col) const { return m_cells[at(row, col)]; }
    Cell storeText(QAnyStringView text, QRgb background);
    void cellsChanged(int row, int firstCol, int lastCol);
    // Rebuilds the pool from the live cells once most of it is dead text.
    void compactPool();

    int m_rows = 2;
    int m_cols = 2;
    int m_fixedCols = 1;
    int m_shownRows = 1; // data rows the view knows about
    bool m_bulk = false;
    // In pieces rather than one array: a list growing to millions of cells
    // never needs room for a second copy of them while it grows.
    std::deque<Cell> m_cells;
    TextPool m_pool;
    qint64 m_liveText = 0;
};

} // namespace kestrel
