#pragma once
// Kestrel's one grid: a read-only table addressed the way every Kestrel form
// thinks of it (see FlexGridModel): row 0 is the header row, shown as the
// view's column headers; with one fixed column, column 0 is the row-header
// column at the left edge. Data rows start at 1. Loading appends rows in bulk
// with one view update at the end.

#include "widgets/FlexGridModel.h"

#include <QTableView>
#include <vector>

namespace kestrel {

// The tint of alternate data rows wherever a grid stripes its rows: the
// lists, the edit grid and the sale's product lines.
inline const QColor StripeColor(200, 255, 230);

class FlexGrid : public QTableView {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget *parent = nullptr);

    // Rows and columns, fixed ones included. A new grid has a header row,
    // one data row, a fixed column and one data column.
    int Rows() const { return m_model->rows(); }
    void setRows(int rows);
    int Cols() const { return m_model->cols(); }
    void setCols(int cols);
    // 1: column 0 is the row-header column; 0: column 0 is a data column.
    int FixedCols() const { return m_model->fixedCols(); }
    void setFixedCols(int fixedCols);

    QString TextMatrix(int row, int col) const { return m_model->text(row, col); }
    // The cell's text without a copy, for reading many cells fast; valid
    // until the next text is written.
    QAnyStringView textView(int row, int col) const { return m_model->textView(row, col); }
    void setTextMatrix(int row, int col, const QString &text);
    QColor CellBackColor(int row, int col) const { return m_model->backColor(row, col); }
    void setCellBackColor(int row, int col, const QColor &color);

    // The current cell, in grid coordinates.
    int Row() const { return m_row; }
    void setRow(int row);
    int Col() const { return m_col; }
    void setCol(int col);

    // Adds a row whose cells are the tab-separated parts of text, before row
    // index, or at the end when index is -1.
    void AddItem(const QString &text = QString(), int index = -1);
    void RemoveItem(int row);

    // Equal neighbouring texts of a merged row show as one cell.
    void setMergeRow(int row, bool merge);
    bool MergeRow(int row) const;

    // Column widths in pixels; column 0 of a grid with a fixed column is the
    // row-header column. A width of 0 hides the column.
    int ColWidth(int col) const;
    void setColWidth(int col, int pixels);
    // The width the columns, the fixed one included, can fill without a
    // horizontal scroll bar: the grid less its border and, when the rows
    // need one, the vertical scroll bar.
    int clientWidth() const;
    // A hidden data column takes no room, and neither the arrow keys nor a
    // click can make it current.
    void setColHidden(int col, bool hidden);

    // Where cell (row, col) lies in the grid widget's own pixels, header row
    // and fixed column included; a data cell as the view draws it, inside its
    // grid lines, so an in-cell editor laid over it covers it exactly. Empty
    // for a cell out of range or hidden; a cell scrolled out of sight lies
    // outside the viewport.
    QRect cellRect(int row, int col) const;
    // The current cell's rectangle, piece by piece.
    int CellLeft() const { return cellRect(m_row, m_col).left(); }
    int CellTop() const { return cellRect(m_row, m_col).top(); }
    int CellWidth() const { return cellRect(m_row, m_col).width(); }
    int CellHeight() const { return cellRect(m_row, m_col).height(); }

    // Fast loading of many rows: between the two calls appendRow stores each
    // row without a view update; endBulkAppend shows them all at once.
    void beginBulkAppend() { m_model->beginBulkAppend(); }
    void appendRow(std::span<const QAnyStringView> texts, const QColor &background = QColor())
    {
        m_model->appendRow(texts, background);
    }
    void appendRow(const std::vector<QStringView> &texts, const QColor &background = QColor())
    {
        const std::vector<QAnyStringView> any(texts.begin(), texts.end());
        m_model->appendRow(any, background);
    }
    void endBulkAppend();

    FlexGridModel *gridModel() const { return m_model; }

signals:
    void DblClick();
    // The character of a typed key (its Latin-1/Unicode code), before the
    // grid moves on it.
    void KeyPress(int keyAscii);
    void GotFocus();
    void Scroll();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void showCurrent();
    void updateMerges(int row);
    void applyFixedColumn();

    FlexGridModel *m_model;
    int m_row = 1;
    int m_col = 1;
    int m_fixedWidth = 0;
    std::vector<int> m_mergedRows;
};

} // namespace kestrel
