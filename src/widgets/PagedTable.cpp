#include "widgets/PagedTable.h"

#include "core/shared/Formats.h"
#include "widgets/FlexGrid.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <cmath>

namespace kestrel {

namespace {

const QColor HeaderShade(225, 225, 225);
const QColor RuleColor(140, 140, 140);

QFont fontOf(qreal points, bool bold)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace

PagedTable::PagedTable(const FlexGrid &grid, QString caption, QDateTime exported, QString note)
    : m_grid(grid), m_caption(std::move(caption)), m_exported(std::move(exported)),
      m_note(std::move(note)), m_titleFont(fontOf(13, true)), m_smallFont(fontOf(8, false)),
      m_headerFont(fontOf(8.5, true)), m_bodyFont(fontOf(8.5, false)), m_titleMetrics(m_titleFont),
      m_smallMetrics(m_smallFont), m_headerMetrics(m_headerFont), m_bodyMetrics(m_bodyFont)
{
}

QString PagedTable::exportedLine(const QDateTime &exported)
{
    return QStringLiteral("Exported ") + fmt::gridDate(exported.date()) + QLatin1Char(' ')
           + exported.time().toString(QStringLiteral("HH:mm"));
}

void PagedTable::layOut(QPaintDevice &device, const QRectF &page)
{
    m_page = page;
    m_titleMetrics = QFontMetricsF(m_titleFont, &device);
    m_smallMetrics = QFontMetricsF(m_smallFont, &device);
    m_headerMetrics = QFontMetricsF(m_headerFont, &device);
    m_bodyMetrics = QFontMetricsF(m_bodyFont, &device);
    m_rowHeight = std::ceil(m_bodyMetrics.height() * 1.4);
    m_padding = m_bodyMetrics.averageCharWidth() * 0.6;
    m_tableTop = m_titleMetrics.height() + m_smallMetrics.height() + m_rowHeight * 0.6;
    const qreal footer = m_smallMetrics.height() + m_rowHeight * 0.6;
    const qreal rowsRoom = page.height() - m_tableTop - m_rowHeight - footer;
    m_rowsPerPage = std::max(1, int(std::floor(rowsRoom / m_rowHeight)));
    const qint64 rows = std::max(m_grid.Rows() - 1, 0);
    m_pageCount = std::max<qint64>(1, (rows + m_rowsPerPage - 1) / m_rowsPerPage);

    // The data columns the grid shows, in its proportions across the page.
    m_columns.clear();
    qreal gridWidth = 0;
    for (int c = m_grid.FixedCols(); c < m_grid.Cols(); ++c) {
        if (m_grid.ColWidth(c) > 0) {
            m_columns.push_back({c, 0, qreal(m_grid.ColWidth(c))});
            gridWidth += m_grid.ColWidth(c);
        }
    }
    qreal left = 0;
    for (Column &column : m_columns) {
        column.width = column.width * page.width() / std::max(gridWidth, qreal(1));
        column.left = left;
        left += column.width;
    }
}

void PagedTable::paintCell(QPainter &painter, const QRectF &cell, const QString &text,
                           const QFontMetricsF &metrics) const
{
    if (text.isEmpty())
        return;
    const QRectF inside = cell.adjusted(m_padding, 0, -m_padding, 0);
    QString shown = text;
    if (metrics.horizontalAdvance(text) > inside.width())
        shown = metrics.elidedText(text, Qt::ElideRight, inside.width());
    painter.drawText(inside, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

void PagedTable::paintHeaderBlock(QPainter &painter, int page) const
{
    const QFontMetricsF &title = m_titleMetrics;
    const QFontMetricsF &small = m_smallMetrics;
    painter.setPen(Qt::black);
    painter.setFont(m_titleFont);
    painter.drawText(QRectF(0, 0, m_page.width(), title.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_caption);
    painter.setFont(m_smallFont);
    painter.drawText(QRectF(0, title.height(), m_page.width(), small.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     m_note.isEmpty()
                         ? exportedLine(m_exported)
                         : exportedLine(m_exported) + QStringLiteral(" \u2013 ") + m_note);

    const QRectF header(0, m_tableTop, m_page.width(), m_rowHeight);
    painter.fillRect(header, HeaderShade);
    painter.setFont(m_headerFont);
    for (const Column &column : m_columns)
        paintCell(painter, QRectF(column.left, header.top(), column.width, m_rowHeight),
                  m_grid.TextMatrix(0, column.gridCol), m_headerMetrics);
    painter.setPen(RuleColor);
    painter.drawLine(header.bottomLeft(), header.bottomRight());

    painter.setPen(Qt::black);
    painter.setFont(m_smallFont);
    const qreal footTop = m_page.height() - small.height();
    painter.drawText(QRectF(0, footTop, m_page.width(), small.height()),
                     Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                     QStringLiteral("Page %1 of %2").arg(page + 1).arg(m_pageCount));
}

void PagedTable::paintRow(QPainter &painter, int gridRow, qreal top) const
{
    if (!m_columns.empty()) {
        // The grid's stripes, so the page reads like the window.
        const QColor shade = m_grid.CellBackColor(gridRow, m_columns.front().gridCol);
        if (shade.isValid())
            painter.fillRect(QRectF(0, top, m_page.width(), m_rowHeight), shade);
    }
    for (const Column &column : m_columns)
        paintCell(painter, QRectF(column.left, top, column.width, m_rowHeight),
                  m_grid.TextMatrix(gridRow, column.gridCol), m_bodyMetrics);
}

void PagedTable::paintPage(QPainter &painter, int page) const
{
    paintHeaderBlock(painter, page);
    painter.setPen(Qt::black);
    painter.setFont(m_bodyFont);
    const int firstRow = 1 + page * m_rowsPerPage;
    const int lastRow = std::min(firstRow + m_rowsPerPage, m_grid.Rows()) - 1;
    qreal top = m_tableTop + m_rowHeight;
    for (int row = firstRow; row <= lastRow; ++row, top += m_rowHeight)
        paintRow(painter, row, top);
}

bool PagedTable::print(QPagedPaintDevice &device, int first, int last,
                       const std::function<bool(int page)> &onPage)
{
    const QRectF page = device.pageLayout().paintRectPixels(device.logicalDpiX());
    layOut(device, QRectF(0, 0, page.width(), page.height()));
    first = std::clamp(first, 0, m_pageCount - 1);
    last = std::clamp(last, first, m_pageCount - 1);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    for (int p = first; p <= last; ++p) {
        if (onPage && !onPage(p)) {
            painter.end();
            return false;
        }
        if (p > first && !device.newPage()) {
            painter.end();
            return false;
        }
        paintPage(painter, p);
    }
    return painter.end();
}

} // namespace kestrel
