#include "reports/Frm_QueryTurnoverBInterval.h"
#include "ui_Frm_QueryTurnoverBInterval.h"

#include "core/statements/Reports.h"

Frm_QueryTurnoverBInterval::Frm_QueryTurnoverBInterval(QWidget *parent)
    : ReportForm(parent), ui(new Ui::Frm_QueryTurnoverBInterval)
{
    ui->setupUi(this);
    connect(ui->cmd_OK, &QPushButton::clicked, this, &Frm_QueryTurnoverBInterval::cmd_OK_Click);
    connect(ui->cmd_ShowAll, &QPushButton::clicked, this,
            &Frm_QueryTurnoverBInterval::cmd_ShowAll_Click);
    connect(ui->cmd_Cancel, &QPushButton::clicked, this,
            &Frm_QueryTurnoverBInterval::cmd_Cancel_Click);
    setFocusProxy(ui->mntvw_From);
}

Frm_QueryTurnoverBInterval::~Frm_QueryTurnoverBInterval()
{
    delete ui;
}

void Frm_QueryTurnoverBInterval::Form_Load()
{
    showToday({ui->mntvw_From, ui->mntvw_To});
}

void Frm_QueryTurnoverBInterval::cmd_OK_Click()
{
    showReport(kestrel::sql::turnoverBetween(
        {ui->mntvw_From->selectedDate(), ui->mntvw_To->selectedDate()}));
}

void Frm_QueryTurnoverBInterval::cmd_ShowAll_Click()
{
    showReport(kestrel::sql::allTurnover());
}

void Frm_QueryTurnoverBInterval::cmd_Cancel_Click()
{
    Unload();
}
