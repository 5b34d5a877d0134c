#include "entry/Frm_AddTransaction.h"
#include "ui_Frm_AddTransaction.h"

#include "core/database/ConnectionCycle.h"
#include "core/shared/Formats.h"
#include "core/shared/mdl_Variables_Functions.h"
#include "core/statements/BarCode.h"
#include "core/statements/Lists.h"
#include "entry/Frm_ProdQuant.h"
#include "reports/Frm_QueryResults.h"
#include "widgets/FlexGrid.h"
#include "widgets/FormHost.h"
#include "widgets/ReceiptPrint.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QHeaderView>
#include <QShortcut>
#include <iterator>
#include <span>

namespace M = mdl_Variables_Functions;
using kestrel::FlexGrid;
using kestrel::fmt::twipsToPixels;

namespace {

const QColor White(255, 255, 255);

const QString CustomerHeaders[] = {QStringLiteral("Customer ID"), QStringLiteral("First Name"),
                                   QStringLiteral("Sur Name")};
const QString ProductHeaders[] = {QStringLiteral("Product ID"), QStringLiteral("Description"),
                                  QStringLiteral("Quantity"), QStringLiteral("UM"),
                                  QStringLiteral("Price")};

// The product grid's columns.
enum ProductColumn { ColID = 0, ColDescription = 1, ColQuantity = 2, ColUM = 3, ColPrice = 4 };
constexpr int ProductCols = 5;

// A grid of cols data columns and no row-header column, sized to show its
// columns at their designed widths and rows data rows without scrolling.
void setUpGrid(FlexGrid *grid, std::span<const int> widthsTwips, int rows)
{
    grid->setFixedCols(0);
    grid->setCols(int(widthsTwips.size()));
    grid->setRows(2);
    int width = 2 * grid->frameWidth();
    for (int twips : widthsTwips)
        width += twipsToPixels(twips);
    const int height = 2 * grid->frameWidth() + grid->horizontalHeader()->sizeHint().height()
                       + rows * grid->verticalHeader()->defaultSectionSize();
    grid->setFixedSize(width, height);
}

void showHeaders(FlexGrid *grid, std::span<const QString> headers, std::span<const int> widths)
{
    for (size_t c = 0; c < headers.size(); ++c) {
        grid->setTextMatrix(0, int(c), headers[c]);
        grid->setColWidth(int(c), twipsToPixels(widths[c]));
    }
}

// The next sale's ID where the connection still answers; nothing otherwise
// (the failure that ended the save is the one reported).
std::optional<qint64> nextIdIfReachable(kestrel::db::OdbcConnection &c) noexcept
{
    try {
        return M::NextIdOn(c, QStringLiteral("turnover"));
    } catch (...) {
        return std::nullopt;
    }
}

// Cell i of a picked row; a row shorter than expected reads as empty.
QString cell(const QStringList &T, int i)
{
    return T.value(i);
}

// The ID of a picked row (cell 1).
std::optional<qint64> idOf(const QStringList &T)
{
    bool ok = false;
    const qint64 id = cell(T, 1).toLongLong(&ok);
    return ok ? std::optional<qint64>(id) : std::nullopt;
}

} // namespace

Frm_AddTransaction::Frm_AddTransaction(QWidget *parent)
    : EntryForm(QStringLiteral("turnover"), AddNextFailure::Silent, parent),
      ui(new Ui::Frm_AddTransaction)
{
    ui->setupUi(this);
    setUpGrid(ui->fxg_Customer, CustomerWidths, 1);
    setUpGrid(ui->fxg_Products, ProductWidths, ScrollingRows - 2);
    // A line is chosen whole, for Remove.
    ui->fxg_Products->setSelectionBehavior(QAbstractItemView::SelectRows);
    connectButtons(ui->cmd_OK, ui->cmd_Next, ui->cmd_Reset, ui->cmd_Cancel);
    connect(ui->cmd_AddCustomer, &QPushButton::clicked, this,
            &Frm_AddTransaction::cmd_AddCustomer_Click);
    connect(ui->cmd_AddProduct, &QPushButton::clicked, this,
            &Frm_AddTransaction::cmd_AddProduct_Click);
    connect(ui->cmd_RemoveProduct, &QPushButton::clicked, this,
            &Frm_AddTransaction::cmd_RemoveProduct_Click);
    connect(ui->dtp_Date, &QDateTimeEdit::dateTimeChanged, this,
            &Frm_AddTransaction::dtp_Date_Change);
    // A scanner types the code and Enter, as the keyboard does.
    connect(ui->txt_BarCode, &QLineEdit::returnPressed, this,
            &Frm_AddTransaction::txt_BarCode_Enter);
    connect(ui->cmd_PrintReceipt, &QPushButton::clicked, this,
            &Frm_AddTransaction::cmd_PrintReceipt_Click);
    // Ctrl+R anywhere in the window, once a sale has been saved here.
    auto *printReceipt = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
    printReceipt->setContext(Qt::WidgetWithChildrenShortcut);
    connect(printReceipt, &QShortcut::activated, ui->cmd_PrintReceipt, &QPushButton::click);
    // A sale starts with its customer.
    setFocusProxy(ui->cmd_AddCustomer);
}

Frm_AddTransaction::~Frm_AddTransaction()
{
    delete ui;
}

void Frm_AddTransaction::Form_Load()
{
    showEmptySale();
}

void Frm_AddTransaction::showEmptySale()
{
    showNextID(ui->txt_ID);
    ui->dtp_Date->setDateTime(QDateTime::currentDateTime());
    m_totals = {};
    showTotals();
    ui->txt_ShippingAddress->clear();
    showHeaders(ui->fxg_Customer, CustomerHeaders, CustomerWidths);
    showHeaders(ui->fxg_Products, ProductHeaders, ProductWidths);
}

void Frm_AddTransaction::cmd_Reset_Click()
{
    closePrompt();
    showEmptySale();
    for (int c = 0; c < ui->fxg_Customer->Cols(); ++c)
        ui->fxg_Customer->setTextMatrix(1, c, QString());
    m_customerId.reset();
    m_customerName.clear();
    FlexGrid *grid = ui->fxg_Products;
    while (grid->Rows() > 2)
        grid->RemoveItem(1);
    for (int c = 0; c < ProductCols; ++c) {
        grid->setTextMatrix(1, c, QString());
        grid->setCellBackColor(1, c, White);
    }
    m_lines.clear();
}

void Frm_AddTransaction::closeEvent(QCloseEvent *event)
{
    EntryForm::closeEvent(event);
    if (!event->isAccepted())
        return;
    // The prompt and the chooser work for this sale alone: left open, they
    // would write into a form that is gone.
    closePrompt();
    if (m_chooser && !m_chooser->isUnloading())
        m_chooser->Unload();
}

// ---- choosers ----------------------------------------------------------

void Frm_AddTransaction::cmd_AddCustomer_Click()
{
    openChooser(kestrel::sql::pickCustomer(), &M::AddTransPickCustomer,
                &Frm_AddTransaction::takeCustomerPick);
}

void Frm_AddTransaction::cmd_AddProduct_Click()
{
    openChooser(kestrel::sql::pickProduct(), &M::AddTransPickProduct,
                &Frm_AddTransaction::takeProductPick);
}

void Frm_AddTransaction::openChooser(kestrel::ResultRequest request, bool *pickFlag,
                                     void (Frm_AddTransaction::*take)(const QStringList &))
{
    m_chooser =
        Frm_QueryResults::OpenChooser(std::move(request), pickFlag, this,
                                      [this, take](const QStringList &T) { (this->*take)(T); });
}

void Frm_AddTransaction::takeCustomerPick(const QStringList &T)
{
    for (int c = 0; c < 3; ++c)
        ui->fxg_Customer->setTextMatrix(1, c, cell(T, c + 1));
    m_customerId = idOf(T);
    m_customerName = cell(T, 2) + QLatin1Char(' ') + cell(T, 3);
    ui->txt_ShippingAddress->setPlainText(cell(T, 10) + QStringLiteral(" , ") + cell(T, 5));
}

void Frm_AddTransaction::takeProductPick(const QStringList &T)
{
    addProductLine(T, Frm_ProdQuant::Offer::TypedQuantity);
}

void Frm_AddTransaction::addProductLine(const QStringList &T, Frm_ProdQuant::Offer offer)
{
    // A prompt still open now asks for this line, keeping what was typed
    // into it; the line picked before keeps its quantity 0.
    FlexGrid *grid = ui->fxg_Products;
    if (!m_lines.empty())
        grid->AddItem();
    const int line = ++m_lastLine;
    const qint64 productId = idOf(T).value_or(0);
    m_lines.push_back({line, {productId, cell(T, 2), 0, kestrel::fmt::parseAmount(cell(T, 5))}});
    const int last = grid->Rows() - 1;
    grid->setTextMatrix(last, ColID, cell(T, 1));
    grid->setTextMatrix(last, ColDescription, cell(T, 2));
    grid->setTextMatrix(last, ColUM, cell(T, 3));
    grid->setTextMatrix(last, ColPrice, cell(T, 5));
    if (grid->Rows() >= ScrollingRows)
        grid->setColWidth(ColQuantity, twipsToPixels(NarrowQuantityWidth));
    grid->setTextMatrix(last, ColQuantity, QStringLiteral("0"));
    askQuantity(line, T, offer);
    RefreshTransaction();
}

void Frm_AddTransaction::askQuantity(int line, const QStringList &T, Frm_ProdQuant::Offer offer)
{
    kestrel::FormHost *host = kestrel::FormHost::instance();
    if (auto *prompt = host ? host->showForm<Frm_ProdQuant>() : nullptr)
        prompt->askFor(this, line, idOf(T).value_or(0), cell(T, 3),
                       kestrel::fmt::parseQuantity(cell(T, 4)).value_or(0), offer);
}

// ---- bar codes ------------------------------------------------------------

void Frm_AddTransaction::txt_BarCode_Enter()
{
    const QString code = ui->txt_BarCode->text().trimmed();
    if (code.isEmpty())
        return;
    std::vector<QStringList> found;
    if (!kestrel::db::runConnectionCycle([&](kestrel::db::OdbcConnection &c) {
            found = kestrel::sql::scannedProducts(c, code);
        }))
        return readyForNextScan(); // the cycle has told the operator
    if (found.empty()) {
        M::MsgBox(kestrel::sql::unknownBarCodeMessage(code));
        return readyForNextScan();
    }
    ui->txt_BarCode->clear(); // the next scan starts afresh
    if (found.size() > 1) {
        // The pick comes back as a scan of the product the operator chose.
        openChooser(kestrel::sql::pickProductWithBarCode(code), &M::AddTransPickProduct,
                    &Frm_AddTransaction::takeScannedProduct);
        return;
    }
    takeScannedProduct(found.front());
}

void Frm_AddTransaction::takeScannedProduct(const QStringList &T)
{
    const qint64 productId = idOf(T).value_or(0);
    const auto sells = [productId](const ProductLine &l) { return l.sold.productId == productId; };
    const auto line = std::find_if(m_lines.begin(), m_lines.end(), sells);
    if (line == m_lines.end())
        return addProductLine(T, Frm_ProdQuant::Offer::OneUnit);
    // A line still waiting for its quantity is asked for once more rather
    // than doubled.
    if (line->sold.quantity == 0)
        return askQuantity(line->number, T, Frm_ProdQuant::Offer::OneUnit);
    // The stock as the lookup just read it, against every unit of the
    // product this sale already holds.
    qint64 inSale = 0;
    for (const ProductLine &l : m_lines)
        inSale += sells(l) ? l.sold.quantity : 0;
    if (inSale + 1 > kestrel::fmt::parseQuantity(cell(T, 4)).value_or(0)) {
        M::MsgBox(Frm_ProdQuant::NotEnoughText);
        return readyForNextScan();
    }
    const qint64 raised = line->sold.quantity + 1;
    setLineQuantity(line->number, raised, QString::number(raised));
}

void Frm_AddTransaction::readyForNextScan()
{
    ui->txt_BarCode->setFocus();
    ui->txt_BarCode->selectAll();
}

// ---- the receipt ------------------------------------------------------------

void Frm_AddTransaction::cmd_PrintReceipt_Click()
{
    if (m_savedSale)
        kestrel::printReceipt(*m_savedSale, this);
}

// ---- product lines ------------------------------------------------------

int Frm_AddTransaction::rowOfLine(int line) const
{
    const auto at = std::find_if(m_lines.begin(), m_lines.end(),
                                 [line](const ProductLine &l) { return l.number == line; });
    return at == m_lines.end() ? -1 : int(std::distance(m_lines.begin(), at)) + 1;
}

bool Frm_AddTransaction::hasLine(int line) const
{
    return rowOfLine(line) > 0;
}

void Frm_AddTransaction::setLineQuantity(int line, qint64 quantity, const QString &typed)
{
    const int r = rowOfLine(line);
    if (r < 1)
        return;
    m_lines[size_t(r - 1)].sold.quantity = quantity;
    ui->fxg_Products->setTextMatrix(r, ColQuantity, typed);
    RefreshTransaction();
}

void Frm_AddTransaction::removeLine(int line)
{
    const int r = rowOfLine(line);
    if (r < 1)
        return;
    removeRow(r);
    RefreshTransaction();
}

void Frm_AddTransaction::cmd_RemoveProduct_Click()
{
    removeRow(ui->fxg_Products->Row());
    RefreshTransaction();
}

void Frm_AddTransaction::removeRow(int r)
{
    FlexGrid *grid = ui->fxg_Products;
    if (r < 1 || r > int(m_lines.size()))
        return;
    const int line = m_lines[size_t(r - 1)].number;
    m_lines.erase(m_lines.begin() + (r - 1));
    // The grid keeps one row: the last line's row is emptied rather than removed.
    if (grid->Rows() < 3) {
        for (int c = 0; c < ProductCols; ++c)
            grid->setTextMatrix(1, c, QString());
    } else {
        grid->RemoveItem(r);
    }
    // A prompt asking for the removed line has nothing left to ask for.
    kestrel::FormHost *host = kestrel::FormHost::instance();
    Frm_ProdQuant *prompt = host ? host->findForm<Frm_ProdQuant>() : nullptr;
    if (prompt && prompt->sale() == this && prompt->line() == line)
        prompt->Unload();
}

void Frm_AddTransaction::closePrompt()
{
    kestrel::FormHost *host = kestrel::FormHost::instance();
    Frm_ProdQuant *prompt = host ? host->findForm<Frm_ProdQuant>() : nullptr;
    if (prompt && prompt->sale() == this)
        prompt->Unload();
}

void Frm_AddTransaction::RefreshTransaction()
{
    FlexGrid *grid = ui->fxg_Products;
    // Walking the rows leaves the last line current, so Remove right after
    // a pick takes the line just added.
    for (int r = 1; r < grid->Rows(); ++r) {
        grid->setRow(r);
        for (int c = 0; c < ProductCols; ++c)
            grid->setCellBackColor(r, c, r % 2 == 1 ? White : kestrel::StripeColor);
    }
    ComputeTotals();
    showTotals();
}

void Frm_AddTransaction::ComputeTotals()
{
    m_totals = kestrel::sql::saleTotals(sale());
}

void Frm_AddTransaction::showTotals()
{
    // A total beyond the largest amount cannot be shown exactly; saving
    // such a sale is refused.
    const auto shown = [](const std::optional<kestrel::Money> &total) {
        return total ? kestrel::fmt::formatAmount(*total) : QStringLiteral("too large");
    };
    ui->txt_WOTAX->setText(shown(m_totals.net));
    ui->txt_WTAX->setText(shown(m_totals.gross));
}

// ---- date and save ------------------------------------------------------

void Frm_AddTransaction::dtp_Date_Change()
{
    const QDateTime now = QDateTime::currentDateTime();
    if (ui->dtp_Date->dateTime() > now)
        ui->dtp_Date->setDateTime(now);
}

kestrel::sql::Sale Frm_AddTransaction::sale() const
{
    kestrel::sql::Sale sale{m_customerId, m_customerName, ui->dtp_Date->date(), {}};
    for (const ProductLine &line : m_lines)
        sale.lines.push_back(line.sold);
    return sale;
}

bool Frm_AddTransaction::SaveTransaction()
{
    const kestrel::sql::Sale sale = this->sale();
    if (const std::optional<QString> problem = kestrel::sql::checkSale(sale))
        return checkFailed(*problem);
    std::optional<kestrel::Outcome<kestrel::sql::SaleIds>> stored;
    std::optional<qint64> nextId;
    const bool ran = kestrel::db::runConnectionCycle([&](kestrel::db::OdbcConnection &c) {
        // Rows of a sale refused or failed halfway used up their IDs: the
        // sale on screen, when saved again, starts further on.
        try {
            stored = kestrel::sql::storeSale(c, sale);
        } catch (...) {
            nextId = nextIdIfReachable(c);
            throw;
        }
        nextId = M::NextIdOn(c, QStringLiteral("turnover"));
    });
    if (nextId)
        ui->txt_ID->setText(QString::number(*nextId));
    // A failure has been reported by the cycle; either way the sale stays
    // on screen, to be put right and saved again.
    if (!ran)
        return false;
    if (!stored->isDone())
        return checkFailed(stored->refusal().message);
    const kestrel::sql::SaleIds ids = stored->value();
    showStatusNote(kestrel::entry::storedNote(ids));
    m_savedSale = {ids.first, ids.last, *sale.customerId, sale.date};
    ui->cmd_PrintReceipt->setEnabled(true);
    return true;
}
