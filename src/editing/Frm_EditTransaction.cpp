#include "editing/Frm_EditTransaction.h"
#include "ui_Frm_EditTransaction.h"

#include "core/shared/mdl_Variables_Functions.h"
#include "core/statements/Lists.h"
#include "reports/Frm_QueryResults.h"
#include "widgets/FlexGrid.h"
#include "widgets/FormHost.h"
#include "widgets/NumericKeyFilter.h"

#include <QCloseEvent>

namespace M = mdl_Variables_Functions;
using namespace kestrel;

Frm_EditTransaction::Frm_EditTransaction(QWidget *parent)
    : FindForm(sql::FindTable::Transactions, parent), ui(new Ui::Frm_EditTransaction),
      m_customer{nullptr, nullptr, nullptr, &M::EditTransPickCustomer, sql::pickCustomer, 3, {}},
      m_product{nullptr, nullptr, nullptr, &M::EditTransPickProduct, sql::pickProduct, 2, {}}
{
    ui->setupUi(this);
    m_customer.tick = ui->chk_CustomerID;
    m_customer.button = ui->cmd_PickCust;
    m_customer.box = ui->txt_Customer;
    m_product.tick = ui->chk_ProductID;
    m_product.button = ui->cmd_PickProd;
    m_product.box = ui->txt_Product;
    for (QLineEdit *digits : {ui->txt_ID, ui->txt_Quantity})
        NumericKeyFilter::install(digits, false);
    for (QLineEdit *amount : {ui->txt_Price, ui->txt_PricewTax})
        NumericKeyFilter::install(amount, true);
    setUp({{ui->chk_ID, ui->txt_ID},
           {ui->chk_ProductID, ui->txt_Product, &m_product.picked},
           {ui->chk_Quantity, ui->txt_Quantity},
           {ui->chk_Price, ui->txt_Price},
           {ui->chk_PricewTax, ui->txt_PricewTax},
           {ui->chk_CustomerID, ui->txt_Customer, &m_customer.picked},
           {ui->chk_Date, ui->mntvw_Date}},
          ui->cmd_Find, ui->cmd_ShowAll, ui->cmd_Cancel, ui->cmd_Reset);
    // The form opens at the size it has with the buttons showing.
    restore(m_customer);
    restore(m_product);
    connect(ui->cmd_PickCust, &QPushButton::clicked, this,
            &Frm_EditTransaction::cmd_PickCust_Click);
    connect(ui->cmd_PickProd, &QPushButton::clicked, this,
            &Frm_EditTransaction::cmd_PickProd_Click);
    setFocusProxy(ui->chk_ID);
}

Frm_EditTransaction::~Frm_EditTransaction()
{
    delete ui;
}

void Frm_EditTransaction::closeEvent(QCloseEvent *event)
{
    FindForm::closeEvent(event);
    if (event->isAccepted())
        closeChooser();
}

void Frm_EditTransaction::clearForm()
{
    // A chooser still open would write into a box that is gone.
    closeChooser();
    restore(m_customer);
    restore(m_product);
    clearCriteria();
}

void Frm_EditTransaction::restore(PickPlace &place)
{
    place.picked = {};
    place.box->clear();
    place.box->hide();
    place.button->show();
}

void Frm_EditTransaction::closeChooser()
{
    if (m_chooser && !m_chooser->isUnloading())
        m_chooser->Unload();
}

void Frm_EditTransaction::cmd_PickCust_Click()
{
    openChooser(m_customer);
}

void Frm_EditTransaction::cmd_PickProd_Click()
{
    openChooser(m_product);
}

void Frm_EditTransaction::openChooser(PickPlace &place)
{
    place.tick->setChecked(true);
    place.button->hide();
    place.box->show();
    // The box takes the button's place, and the keys come back to it.
    place.box->setFocus();
    PickPlace *target = &place;
    m_chooser = Frm_QueryResults::OpenChooser(
        place.list(), place.pickFlag, this,
        [this, target](const QStringList &T) { takePick(*target, T); });
}

void Frm_EditTransaction::takePick(PickPlace &place, const QStringList &T)
{
    bool isNumber = false;
    const qint64 id = T.value(1).toLongLong(&isNumber);
    place.picked = {isNumber ? std::optional<qint64>(id) : std::nullopt, T.value(place.textCell)};
    place.box->setText(place.picked.text);
    // Back to the form, where the operator goes on with the next criterion.
    if (FormHost *host = FormHost::instance())
        host->showForm<Frm_EditTransaction>();
    place.box->setFocus();
}
