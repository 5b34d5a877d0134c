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

// A value that reads as a number, an amount or a date ("-3,50", "12",
// "2008. 03. 05."): cut short, it says something else.
bool isNumberLike(QAnyStringView text)
{
    bool digits = false;
    bool others = false;
    text.visit([&](auto view) {
        for (const auto ch : view) {
            const char16_t c = QChar(ch).unicode();
            if (c >= u'0' && c <= u'9')
                digits = true;
            else if (c != u',' && c != u'.' && c != u'-' && c != u'+' && c != u' ' && c != u':'
                     && c != u'/')
                others = true;
        }
    });
    return digits && !others;
}

// The width of texts in one font, every row of a long list measured: the
// advances of Latin-1 characters are looked up once, other texts (rare in
// a shop's lists) are measured whole.
class TextWidths {
public:
    explicit TextWidths(const QFontMetricsF &metrics) : m_metrics(metrics) { m_latin1.fill(-1); }

    qreal of(QAnyStringView text)
    {
        qreal width = 0;
        text.visit([&](auto view) {
            if constexpr (std::is_same_v<decltype(view), QLatin1StringView>) {
                for (const char c : view)
                    width += advance(static_cast<unsigned char>(c));
            } else {
                width = m_metrics.horizontalAdvance(view.toString());
            }
        });
        return width;
    }

private:
    qreal advance(unsigned char c)
    {
        if (m_latin1[c] < 0)
            m_latin1[c] = m_metrics.horizontalAdvance(QChar(c));
        return m_latin1[c];
    }

    const QFontMetricsF &m_metrics;
    std::array<qreal, 256> m_latin1;
};

// The type of the table's headers and rows.
constexpr qreal TablePoints = 8.5;
// Smaller type, when the columns of numbers alone are wider than the page,
// tried this many times.
constexpr int FontShrinks = 4;

} // namespace

PagedTable::PagedTable(const FlexGrid &grid, QString caption, QDateTime exported, QString note)
    : m_grid(grid), m_caption(std::move(caption)), m_exported(std::move(exported)),
      m_note(std::move(note)), m_titleFont(fontOf(13, true)), m_smallFont(fontOf(8, false)),
      m_headerFont(fontOf(TablePoints, true)), m_bodyFont(fontOf(TablePoints, false)),
      m_titleMetrics(m_titleFont), m_smallMetrics(m_smallFont), m_headerMetrics(m_headerFont),
      m_bodyMetrics(m_bodyFont)
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
    m_headerFont = fontOf(TablePoints, true);
    m_bodyFont = fontOf(TablePoints, false);
    m_titleMetrics = QFontMetricsF(m_titleFont, &device);
    m_smallMetrics = QFontMetricsF(m_smallFont, &device);
    m_headerMetrics = QFontMetricsF(m_headerFont, &device);
    m_bodyMetrics = QFontMetricsF(m_bodyFont, &device);
    for (int shrink = 0;; ++shrink) {
        m_padding = m_bodyMetrics.averageCharWidth() * 0.6;
        measureColumns();
        qreal numbers = 0;
        for (const Column &column : m_columns)
            numbers += column.numbers ? std::max(column.widest, column.header) : 0;
        if (numbers <= page.width() || shrink == FontShrinks)
            break;
        for (QFont *font : {&m_bodyFont, &m_headerFont})
            font->setPointSizeF(font->pointSizeF() * page.width() / numbers * 0.97);
        m_headerMetrics = QFontMetricsF(m_headerFont, &device);
        m_bodyMetrics = QFontMetricsF(m_bodyFont, &device);
    }
    fitColumns(page.width());
    m_rowHeight = std::ceil(m_bodyMetrics.height() * 1.4);
    m_tableTop = m_titleMetrics.height() + m_smallMetrics.height() + m_rowHeight * 0.6;
    const qreal footer = m_smallMetrics.height() + m_rowHeight * 0.6;
    const qreal rowsRoom = page.height() - m_tableTop - m_rowHeight - footer;
    m_rowsPerPage = std::max(1, int(std::floor(rowsRoom / m_rowHeight)));
    const qint64 rows = std::max(m_grid.Rows() - 1, 0);
    m_pageCount = std::max<qint64>(1, (rows + m_rowsPerPage - 1) / m_rowsPerPage);
}

void PagedTable::measureColumns()
{
    // The data columns the grid shows, with their shares of its width.
    m_columns.clear();
    qreal gridWidth = 0;
    for (int c = m_grid.FixedCols(); c < m_grid.Cols(); ++c) {
        if (m_grid.ColWidth(c) > 0) {
            m_columns.push_back({c, 0, 0, qreal(m_grid.ColWidth(c))});
            gridWidth += m_grid.ColWidth(c);
        }
    }
    TextWidths widths(m_bodyMetrics);
    for (Column &column : m_columns) {
        column.share /= std::max(gridWidth, qreal(1));
        column.header =
            m_headerMetrics.horizontalAdvance(m_grid.TextMatrix(0, column.gridCol)) + 2 * m_padding;
        bool numbers = false;
        bool text = false;
        qreal widest = 0;
        for (int row = 1; row < m_grid.Rows(); ++row) {
            const QAnyStringView value = m_grid.textView(row, column.gridCol);
            if (value.isEmpty())
                continue;
            (isNumberLike(value) ? numbers : text) = true;
            widest = std::max(widest, widths.of(value));
        }
        column.numbers = numbers && !text;
        column.widest = widest + 2 * m_padding;
    }
}

void PagedTable::fitColumns(qreal pageWidth)
{
    qreal room = pageWidth;
    std::vector<Column *> texts;
    for (Column &column : m_columns) {
        if (column.numbers) {
            column.width = std::max(column.widest, column.header);
            room -= column.width;
        } else {
            texts.push_back(&column);
        }
    }
    room = std::max(room, qreal(0));
    // Each text column takes its share of the room, but no less than its
    // header needs (where every header fits) and no more than its widest
    // text needs (while the room runs short); a scale found by halving
    // makes the widths add up to the room.
    qreal headers = 0;
    qreal needs = 0;
    qreal shares = 0;
    for (const Column *column : texts) {
        headers += column->header;
        needs += std::max(column->widest, column->header);
        shares += column->share;
    }
    const bool headersFit = headers <= room;
    const auto widthAt = [&](const Column &column, qreal scale) {
        const qreal most = std::max(column.widest, column.header);
        return std::clamp(scale * column.share, headersFit ? column.header : qreal(0), most);
    };
    if (needs <= room) {
        for (Column *column : texts)
            column->width = std::max(column->widest, column->header)
                            + (room - needs) * column->share / std::max(shares, qreal(1e-9));
    } else {
        qreal low = 0;
        qreal high = 1;
        for (const Column *column : texts)
            high = std::max(high, std::max(column->widest, column->header)
                                      / std::max(column->share, qreal(1e-9)));
        for (int i = 0; i < 60; ++i) {
            const qreal middle = (low + high) / 2;
            qreal total = 0;
            for (const Column *column : texts)
                total += widthAt(*column, middle);
            (total < room ? low : high) = middle;
        }
        for (Column *column : texts)
            column->width = widthAt(*column, low);
    }
    qreal left = 0;
    for (Column &column : m_columns) {
        column.left = left;
        left += column.width;
    }
}

void PagedTable::paintCell(QPainter &painter, const QRectF &cell, const QString &text,
                           const QFontMetricsF &metrics, bool whole) const
{
    if (text.isEmpty())
        return;
    const QRectF inside = cell.adjusted(m_padding, 0, -m_padding, 0);
    // A number is never cut: should it come out a hair wider than measured,
    // it reaches into the padding instead.
    if (whole) {
        painter.drawText(
            inside, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip, text);
        return;
    }
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
                  m_grid.TextMatrix(0, column.gridCol), m_headerMetrics, false);
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
                  m_grid.TextMatrix(gridRow, column.gridCol), m_bodyMetrics, column.numbers);
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
