#include "reports/Frm_QueryProductsList.h"
#include "ui_Frm_QueryProductsList.h"

#include "core/statements/Reports.h"

Frm_QueryProductsList::Frm_QueryProductsList(QWidget *parent)
    : ReportForm(parent), ui(new Ui::Frm_QueryProductsList)
{
    ui->setupUi(this);
    connect(ui->cmd_Order, &QPushButton::clicked, this, &Frm_QueryProductsList::cmd_Order_Click);
    startWith(ui->opt_ID);
}

Frm_QueryProductsList::~Frm_QueryProductsList()
{
    delete ui;
}

void Frm_QueryProductsList::cmd_Order_Click()
{
    // In the order of kestrel::sql::ProductOrder.
    const int chosen = chosenOption({ui->opt_ID, ui->opt_Description, ui->opt_UM, ui->opt_Quantity,
                                     ui->opt_Price, ui->opt_BarCode, ui->opt_LastDelivery});
    showReport(kestrel::sql::productsList(kestrel::sql::ProductOrder(chosen)));
}
