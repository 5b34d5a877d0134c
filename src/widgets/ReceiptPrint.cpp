#include "widgets/ReceiptPrint.h"

#include "core/database/ConnectionCycle.h"
#include "core/shared/Formats.h"
#include "core/shared/mdl_Variables_Functions.h"
#include "core/statements/Sale.h"

#include <QAbstractTextDocumentLayout>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>

namespace M = mdl_Variables_Functions;

namespace kestrel {

namespace {

constexpr double RollWidthMm = 80;
constexpr double RollSideMm = 4;
constexpr double RollEndMm = 5;
constexpr double SheetMarginMm = 20;

QString esc(const QString &text)
{
    return text.toHtmlEscaped();
}

QString amount(Money money)
{
    return fmt::formatAmount(money);
}

QString saleNumbers(const sql::Receipt &receipt)
{
    return receipt.firstId == receipt.lastId
               ? QStringLiteral("Sale ID: ") + QString::number(receipt.firstId)
               : QStringLiteral("Sale IDs: ") + QString::number(receipt.firstId)
                     + QStringLiteral(" to ") + QString::number(receipt.lastId);
}

QString customerText(const sql::Receipt &receipt)
{
    const QString id = QStringLiteral("ID ") + QString::number(receipt.customerId);
    return receipt.customer.isEmpty()
               ? id
               : receipt.customer + QStringLiteral(" (") + id + QLatin1Char(')');
}

// The shop's name and address, centred, and what sale this is.
QString head(const sql::Receipt &receipt, const ShopDetails &shop)
{
    QString html = QStringLiteral("<p align=\"center\"><b>") + esc(shop.name)
                   + QStringLiteral("</b><br>")
                   + esc(shop.address).replace(QLatin1Char('\n'), QStringLiteral("<br>"))
                   + QStringLiteral("</p><p>") + esc(saleNumbers(receipt));
    html += QStringLiteral("<br>Date: ") + esc(fmt::gridDate(receipt.date));
    return html + QStringLiteral("<br>Customer: ") + esc(customerText(receipt))
           + QStringLiteral("</p><hr>");
}

QString cell(const QString &text, bool right = false, int span = 1)
{
    return QStringLiteral("<td") + (right ? QStringLiteral(" align=\"right\"") : QString())
           + (span > 1 ? QStringLiteral(" colspan=\"%1\"").arg(span) : QString()) + QLatin1Char('>')
           + esc(text) + QStringLiteral("</td>");
}

// On the roll: the description on a line of its own, then quantity, unit
// and unit price, and the amount at the right.
QString narrowLines(const sql::Receipt &receipt)
{
    QString html;
    for (const sql::ReceiptLine &line : receipt.lines) {
        html += QStringLiteral("<tr>") + cell(line.description, false, 2) + QStringLiteral("</tr>");
        html += QStringLiteral("<tr>")
                + cell(QString::number(line.quantity) + QLatin1Char(' ') + line.unit
                       + QStringLiteral(" x ") + amount(line.price))
                + cell(amount(line.amount), true) + QStringLiteral("</tr>");
    }
    return html;
}

QString wideLines(const sql::Receipt &receipt)
{
    QString html = QStringLiteral("<tr><th align=\"left\">Description</th><th "
                                  "align=\"right\">Quantity</th><th align=\"left\">UM</th><th "
                                  "align=\"right\">Unit price</th><th "
                                  "align=\"right\">Amount</th></tr>");
    for (const sql::ReceiptLine &line : receipt.lines)
        html += QStringLiteral("<tr>") + cell(line.description)
                + cell(QString::number(line.quantity), true) + cell(line.unit)
                + cell(amount(line.price), true) + cell(amount(line.amount), true)
                + QStringLiteral("</tr>");
    return html;
}

QString totals(const sql::Receipt &receipt, int span)
{
    const auto row = [span](const QString &label, Money money, bool bold) {
        const QString figure =
            bold ? QStringLiteral("<b>") + esc(amount(money)) + QStringLiteral("</b>")
                 : esc(amount(money));
        return QStringLiteral("<tr><td colspan=\"%1\">").arg(span - 1) + esc(label)
               + QStringLiteral("</td><td align=\"right\">") + figure
               + QStringLiteral("</td></tr>");
    };
    return row(QStringLiteral("Net total"), receipt.net, false)
           + row(QStringLiteral("Tax (%1 %)").arg(sql::TaxRatePercent), receipt.tax, false)
           + row(QStringLiteral("Gross total"), receipt.gross, true);
}

std::unique_ptr<QPrinter> pdfPrinter()
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    return printer;
}

} // namespace

std::unique_ptr<QTextDocument> receiptDocument(const sql::Receipt &receipt, const ShopDetails &shop,
                                               bool narrow)
{
    auto document = std::make_unique<QTextDocument>();
    QFont font = document->defaultFont();
    font.setPointSizeF(narrow ? 8 : 10);
    document->setDefaultFont(font);
    document->setDocumentMargin(0);
    const int span = narrow ? 2 : 5;
    const QString table =
        QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"1\">");
    document->setHtml(head(receipt, shop) + table
                      + (narrow ? narrowLines(receipt) : wideLines(receipt))
                      + QStringLiteral("</table><hr>") + table + totals(receipt, span)
                      + QStringLiteral("</table>"));
    return document;
}

QMarginsF receiptMargins(const QPageSize &size)
{
    return size.size(QPageSize::Millimeter).width() <= RollWidthMm
               ? QMarginsF(RollSideMm, RollEndMm, RollSideMm, RollEndMm)
               : QMarginsF(SheetMarginMm, SheetMarginMm, SheetMarginMm, SheetMarginMm);
}

QPageSize receiptRoll(const sql::Receipt &receipt, const ShopDetails &shop)
{
    // Laid out once at the roll's printable width to learn its length.
    const std::unique_ptr<QPrinter> printer = pdfPrinter();
    const std::unique_ptr<QTextDocument> document = receiptDocument(receipt, shop, true);
    document->documentLayout()->setPaintDevice(printer.get());
    const double dotsPerMm = printer->resolution() / 25.4;
    document->setTextWidth((RollWidthMm - 2 * RollSideMm) * dotsPerMm);
    const double lengthMm = document->size().height() / dotsPerMm + 2 * RollEndMm;
    return QPageSize(QSizeF(RollWidthMm, std::ceil(lengthMm)), QPageSize::Millimeter,
                     QStringLiteral("80 mm roll"), QPageSize::ExactMatch);
}

void paintReceipt(const sql::Receipt &receipt, const ShopDetails &shop, QPrinter &printer)
{
    const QPageLayout layout = printer.pageLayout();
    const bool narrow = layout.paintRect(QPageLayout::Millimeter).width() < NarrowReceiptMm;
    const std::unique_ptr<QTextDocument> document = receiptDocument(receipt, shop, narrow);
    document->documentLayout()->setPaintDevice(&printer);
    const QSizeF page = layout.paintRectPixels(printer.resolution()).size();
    document->setPageSize(page);
    QPainter painter(&printer);
    for (int p = 0; p < document->pageCount(); ++p) {
        if (p > 0)
            printer.newPage();
        painter.save();
        painter.translate(0, -p * page.height());
        document->drawContents(&painter, QRectF(QPointF(0, p * page.height()), page));
        painter.restore();
    }
}

namespace {

// A tab of the print dialog's options: the receipt's paper, the roll first.
QComboBox *paperChoice(QPrintDialog &dialog)
{
    auto *tab = new QWidget;
    tab->setWindowTitle(QStringLiteral("Receipt"));
    auto *paper = new QComboBox(tab);
    paper->setObjectName(QStringLiteral("cmb_ReceiptPaper"));
    paper->addItems({QStringLiteral("80 mm roll"), QStringLiteral("A4")});
    auto *label = new QLabel(QStringLiteral("Receipt paper:"), tab);
    label->setBuddy(paper);
    auto *layout = new QHBoxLayout(tab);
    layout->addWidget(label);
    layout->addWidget(paper);
    layout->addStretch();
    dialog.setOptionTabs({tab});
    return paper;
}

void printRead(const std::function<std::optional<sql::SaleRows>(db::OdbcConnection &)> &which,
               QWidget *parent)
{
    std::optional<sql::Receipt> receipt;
    QString problem;
    const bool ran = db::runConnectionCycle([&](db::OdbcConnection &connection) {
        if (const std::optional<sql::SaleRows> sale = which(connection))
            receipt = sql::readReceipt(connection, *sale, &problem);
        else
            problem = QStringLiteral("This sale is no longer in the database!!!");
    });
    if (!ran)
        return; // the cycle has told the operator
    if (!receipt) {
        M::MsgBox(problem);
        return;
    }
    const ShopDetails shop = ShopDetails::load();
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Receipt %1").arg(receipt->firstId));
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("dlg_PrintReceipt"));
    dialog.setWindowTitle(QStringLiteral("Print Receipt"));
    // The dialog sets every printer it switches to, Print to File too, to
    // that printer's own paper; the receipt's paper is a choice of its own.
    QComboBox *paper = paperChoice(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QPageSize size =
        paper->currentIndex() == 0 ? receiptRoll(*receipt, shop) : QPageSize(QPageSize::A4);
    printer.setPageLayout(
        QPageLayout(size, QPageLayout::Portrait, receiptMargins(size), QPageLayout::Millimeter));
    paintReceipt(*receipt, shop, printer);
}

} // namespace

void printReceipt(const sql::SaleRows &sale, QWidget *parent)
{
    printRead([&](db::OdbcConnection &) { return std::optional<sql::SaleRows>(sale); }, parent);
}

void printReceiptOfRow(qint64 turnoverId, QWidget *parent)
{
    printRead([&](db::OdbcConnection &c) { return sql::saleOfRow(c, turnoverId); }, parent);
}

} // namespace kestrel
