#include "editing/Frm_EditProduct.h"
#include "ui_Frm_EditProduct.h"

#include "core/shared/FixedLists.h"
#include "widgets/FixedListBox.h"
#include "widgets/NumericKeyFilter.h"

using namespace kestrel;

Frm_EditProduct::Frm_EditProduct(QWidget *parent)
    : FindForm(sql::FindTable::Products, parent), ui(new Ui::Frm_EditProduct)
{
    ui->setupUi(this);
    lists::setUpFixedList(ui->cmb_UM, lists::unitItems());
    for (QLineEdit *digits : {ui->txt_ID, ui->txt_Quantity, ui->txt_BarCode})
        NumericKeyFilter::install(digits, false);
    NumericKeyFilter::install(ui->txt_Price, true);
    setUp({{ui->chk_ID, ui->txt_ID},
           {ui->chk_Description, ui->txt_Description},
           {ui->chk_UM, ui->cmb_UM},
           {ui->chk_Quantity, ui->txt_Quantity},
           {ui->chk_Price, ui->txt_Price},
           {ui->chk_BarCode, ui->txt_BarCode},
           {ui->chk_LastDelivery, ui->mntvw_LastDelivery}},
          ui->cmd_Find, ui->cmd_ShowAll, ui->cmd_Cancel, ui->cmd_Reset);
    setFocusProxy(ui->chk_ID);
}

Frm_EditProduct::~Frm_EditProduct()
{
    delete ui;
}
