#include "editing/Frm_EditCustomer.h"
#include "ui_Frm_EditCustomer.h"

#include "widgets/NumericKeyFilter.h"

using namespace kestrel;

Frm_EditCustomer::Frm_EditCustomer(QWidget *parent)
    : FindForm(sql::FindTable::Customers, parent), ui(new Ui::Frm_EditCustomer)
{
    ui->setupUi(this);
    for (QLineEdit *digits : {ui->txt_ID, ui->txt_Telephone, ui->txt_PersonalIDNo})
        NumericKeyFilter::install(digits, false);
    setUp({{ui->chk_ID, ui->txt_ID},
           {ui->chk_FirstName, ui->txt_FirstName},
           {ui->chk_SurName, ui->txt_SurName},
           {ui->chk_Address, ui->txt_Address},
           {ui->chk_City, ui->txt_City},
           {ui->chk_Telephone, ui->txt_Telephone},
           {ui->chk_Email, ui->txt_Email},
           {ui->chk_PersonalIDNo, ui->txt_PersonalIDNo},
           {ui->chk_Joined, ui->mntvw_Joined},
           {ui->chk_ShippingAddress, ui->txt_ShippingAddress}},
          ui->cmd_Find, ui->cmd_ShowAll, ui->cmd_Cancel);
    setFocusProxy(ui->chk_ID);
}

Frm_EditCustomer::~Frm_EditCustomer()
{
    delete ui;
}
