#include "entry/Frm_ProdQuant.h"
#include "ui_Frm_ProdQuant.h"

#include "core/shared/Formats.h"
#include "core/shared/mdl_Variables_Functions.h"
#include "entry/Frm_AddTransaction.h"
#include "widgets/NumericKeyFilter.h"

namespace M = mdl_Variables_Functions;

Frm_ProdQuant::Frm_ProdQuant(QWidget *parent) : kestrel::KForm(parent), ui(new Ui::Frm_ProdQuant)
{
    ui->setupUi(this);
    kestrel::NumericKeyFilter::install(ui->txt_Quantity, false);
    connect(ui->cmd_OK, &QPushButton::clicked, this, &Frm_ProdQuant::cmd_OK_Click);
    connect(ui->cmd_Cancel, &QPushButton::clicked, this, &Frm_ProdQuant::cmd_Cancel_Click);
    answerEscapeWith(ui->cmd_Cancel);
    setFocusProxy(ui->txt_Quantity);
}

Frm_ProdQuant::~Frm_ProdQuant()
{
    delete ui;
}

void Frm_ProdQuant::askFor(Frm_AddTransaction *sale, int line, qint64 productId,
                           const QString &unit, qint64 inStore, Offer offer)
{
    m_sale = sale;
    m_line = line;
    m_inStore = inStore;
    setWindowTitle(QStringLiteral("Product Quantity ID: ") + QString::number(productId));
    ui->lbl_UM->setText(unit);
    ui->lbl_UMS->setText(unit);
    ui->lbl_StoreQnt->setText(QString::number(inStore));
    // Whatever the box holds, the operator types the quantity over it.
    ui->txt_Quantity->selectAll();
    if (offer == Offer::OneUnit)
        ui->txt_Quantity->setText(QStringLiteral("1"));
    // The window gives the keys to its proxy as it activates.
    QWidget *keys = offer == Offer::OneUnit ? static_cast<QWidget *>(ui->cmd_OK) : ui->txt_Quantity;
    setFocusProxy(keys);
    keys->setFocus();
}

void Frm_ProdQuant::cmd_OK_Click()
{
    const QString typed = ui->txt_Quantity->text();
    // An empty box asks for nothing, as 0 does; a number too long to be
    // any stock asks for more than there is.
    const std::optional<qint64> wanted = kestrel::fmt::parseQuantity(typed);
    if (!wanted || *wanted <= 0 || *wanted > m_inStore) {
        M::MsgBox(NotEnoughText);
        ui->txt_Quantity->setText(QString::number(m_inStore));
        ui->txt_Quantity->selectAll();
        ui->txt_Quantity->setFocus();
        return;
    }
    if (m_sale)
        m_sale->setLineQuantity(m_line, *wanted, typed);
    Unload();
}

void Frm_ProdQuant::cmd_Cancel_Click()
{
    // Done with the line before it goes, so the sale form does not close
    // this prompt a second time while removing it.
    const QPointer<Frm_AddTransaction> sale = m_sale;
    m_sale = nullptr;
    if (sale)
        sale->removeLine(m_line);
    Unload();
}
