#pragma once
// Kestrel's one grid: a read-only table addressed the way every Kestrel form
// thinks of it. Row 0 is the header row, shown as the view's column headers;
// with one fixed column, column 0 is the row-header column at the left edge.
// Data rows start at 1. Cells hold text and an optional background colour.
//
// Cell texts live in a shared pool of large UTF-16 blocks, each cell a place
// in it, so a grid of 100,000 rows costs a few bytes per cell beyond its text,
// and loading appends rows in bulk with one view update at the end.

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>
#include <QTableView>
#include <vector>

namespace kestrel {

// Texts of many cells in a few large blocks: no allocation per text, and
// growing never moves what is already stored.
class TextPool {
public:
    struct Ref {
        quint32 block = 0;
        quint32 start = 0;
        qint32 length = 0;
    };
    Ref store(QStringView text);
    QStringView view(const Ref &ref) const
    {
        if (ref.length == 0)
            return {};
        return QStringView(m_blocks[ref.block].data() + ref.start, ref.length);
    }
    // Characters stored, those of replaced texts included.
    qint64 size() const { return m_size; }

private:
    std::vector<std::vector<char16_t>> m_blocks;
    qint64 m_size = 0;
};

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
    void setText(int row, int col, QStringView text);
    // An invalid colour is the grid's own background.
    QColor backColor(int row, int col) const;
    void setBackColor(int row, int col, const QColor &color);

    void insertRow(int row);
    void removeRow(int row);

    // Bulk loading: appendRow stores a row without telling the view; the
    // rows appear together when the bulk ends.
    void beginBulkAppend();
    void appendRow(const std::vector<QStringView> &texts, const QColor &background);
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
    Cell &cell(int row, int col) { return m_cells[size_t(row) * size_t(m_cols) + size_t(col)]; }
    const Cell &cell(int row, int col) const
    {
        return m_cells[size_t(row) * size_t(m_cols) + size_t(col)];
    }
    Cell storeText(QStringView text, QRgb background);
    void cellsChanged(int row, int firstCol, int lastCol);
    // Rebuilds the pool from the live cells once most of it is dead text.
    void compactPool();

    int m_rows = 2;
    int m_cols = 2;
    int m_fixedCols = 1;
    int m_shownRows = 1; // data rows the view knows about
    bool m_bulk = false;
    std::vector<Cell> m_cells;
    TextPool m_pool;
    qint64 m_liveText = 0;
};

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

    // Fast loading of many rows: between the two calls appendRow stores each
    // row without a view update; endBulkAppend shows them all at once.
    void beginBulkAppend() { m_model->beginBulkAppend(); }
    void appendRow(const std::vector<QStringView> &texts, const QColor &background = QColor())
    {
        m_model->appendRow(texts, background);
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
