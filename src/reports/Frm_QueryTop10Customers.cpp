#include "reports/Frm_QueryTop10Customers.h"
#include "ui_Frm_QueryTop10Customers.h"

#include "core/statements/Reports.h"

Frm_QueryTop10Customers::Frm_QueryTop10Customers(QWidget *parent)
    : ReportForm(parent), ui(new Ui::Frm_QueryTop10Customers)
{
    ui->setupUi(this);
    connect(ui->cmd_OK, &QPushButton::clicked, this, &Frm_QueryTop10Customers::cmd_OK_Click);
    startWith(ui->opt_Visits);
}

Frm_QueryTop10Customers::~Frm_QueryTop10Customers()
{
    delete ui;
}

void Frm_QueryTop10Customers::cmd_OK_Click()
{
    showReport(kestrel::sql::topTenCustomers(ui->opt_Amount->isChecked()
                                                 ? kestrel::sql::CustomerRanking::Amount
                                                 : kestrel::sql::CustomerRanking::Visits));
}
