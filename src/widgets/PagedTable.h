#pragma once
// A grid's rows as a paged table, the one layout behind PDF export, print
// and print preview: on every page the caption, the date and time of the
// export, the header row, then as many rows as fit, and "Page n of N" at the
// foot. A column of numbers (amounts, IDs, dates) takes the width its widest
// value needs and is never cut; the columns of text share the rest in the
// proportions they have in the grid, each wide enough for its header where
// the page allows, and a text too long for its column is cut with an
// ellipsis. Any page can be painted on its own, so a preview or a print
// range lays out only the pages it shows.

#include <QDateTime>
#include <QFont>
#include <QFontMetricsF>
#include <QRectF>
#include <QString>
#include <functional>
#include <vector>

class QPagedPaintDevice;
class QPainter;
class QPaintDevice;

namespace kestrel {

class FlexGrid;

class PagedTable {
public:
    // note, when there is one, follows the export's date on every page.
    PagedTable(const FlexGrid &grid, QString caption, QDateTime exported, QString note = QString());

    // Fits the table to the device's printable area; call before the others.
    void layOut(QPaintDevice &device, const QRectF &page);

    int pageCount() const { return m_pageCount; }
    int rowsPerPage() const { return m_rowsPerPage; }

    // Paints page (0 for the first) with the painter's origin at the top
    // left of the printable area.
    void paintPage(QPainter &painter, int page) const;

    // Lays out and paints pages first to last (counted from 0) onto device,
    // asking onPage before each whether to go on. False when onPage stopped
    // it or the device could not be painted.
    bool print(QPagedPaintDevice &device, int first, int last,
               const std::function<bool(int page)> &onPage);

    // "Exported 2008. 03. 05. 14:30", as the second line of every page reads.
    static QString exportedLine(const QDateTime &exported);

private:
    struct Column {
        int gridCol = 0;
        qreal left = 0;
        qreal width = 0;
        qreal share = 0;  // of the grid's width
        qreal header = 0; // width the header needs
        qreal widest = 0; // width the widest value needs
        bool numbers = false;
    };
    // What each shown column holds and needs, from every row of the grid.
    void measureColumns();
    // Widths across the page: numbers whole, text in the grid's proportions.
    void fitColumns(qreal pageWidth);
    void paintHeaderBlock(QPainter &painter, int page) const;
    void paintRow(QPainter &painter, int gridRow, qreal top) const;
    void paintCell(QPainter &painter, const QRectF &cell, const QString &text,
                   const QFontMetricsF &metrics, bool whole) const;

    const FlexGrid &m_grid;
    QString m_caption;
    QDateTime m_exported;
    QString m_note;
    QFont m_titleFont;
    QFont m_smallFont;
    QFont m_headerFont;
    QFont m_bodyFont;
    // Measured on the device painted on: a PDF and a printer differ in
    // resolution from the screen.
    QFontMetricsF m_titleMetrics;
    QFontMetricsF m_smallMetrics;
    QFontMetricsF m_headerMetrics;
    QFontMetricsF m_bodyMetrics;
    QRectF m_page;
    std::vector<Column> m_columns;
    qreal m_rowHeight = 0;
    qreal m_padding = 0;
    qreal m_tableTop = 0;
    int m_rowsPerPage = 1;
    int m_pageCount = 1;
};

} // namespace kestrel
