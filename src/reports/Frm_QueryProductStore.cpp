#include "reports/Frm_QueryProductStore.h"
#include "ui_Frm_QueryProductStore.h"

#include "core/shared/mdl_Variables_Functions.h"
#include "widgets/NumericKeyFilter.h"

namespace M = mdl_Variables_Functions;

namespace {

// The text of a ticked criterion, exactly as typed; nothing when unticked.
std::optional<QString> ticked(const QCheckBox *tick, const QLineEdit *box)
{
    if (!tick->isChecked())
        return std::nullopt;
    return box->text();
}

} // namespace

Frm_QueryProductStore::Frm_QueryProductStore(QWidget *parent)
    : ReportForm(parent), ui(new Ui::Frm_QueryProductStore)
{
    ui->setupUi(this);
    for (QLineEdit *digits : {ui->txt_ID, ui->txt_Quantity, ui->txt_BarCode})
        kestrel::NumericKeyFilter::install(digits, false);
    connect(ui->cmd_OK, &QPushButton::clicked, this, &Frm_QueryProductStore::cmd_OK_Click);
    connect(ui->cmd_Reset, &QPushButton::clicked, this, &Frm_QueryProductStore::cmd_Reset_Click);
    connect(ui->cmd_Cancel, &QPushButton::clicked, this, &Frm_QueryProductStore::cmd_Cancel_Click);
    answerEscapeWith(ui->cmd_Cancel);
    // As in the find forms: Enter on a criterion runs the report.
    answerEnterWith(ui->cmd_OK, {ui->chk_ID, ui->txt_ID, ui->chk_Description, ui->txt_Description,
                                 ui->chk_Quantity, ui->txt_Quantity, ui->chk_BarCode,
                                 ui->txt_BarCode, ui->chk_Delivered, ui->mntvw_From, ui->mntvw_To});
    setFocusProxy(ui->chk_ID);
}

Frm_QueryProductStore::~Frm_QueryProductStore()
{
    delete ui;
}

void Frm_QueryProductStore::Form_Load()
{
    showToday({ui->mntvw_From, ui->mntvw_To});
}

kestrel::sql::ProductStoreCriteria Frm_QueryProductStore::criteria() const
{
    kestrel::sql::ProductStoreCriteria c;
    c.id = ticked(ui->chk_ID, ui->txt_ID);
    c.description = ticked(ui->chk_Description, ui->txt_Description);
    c.quantity = ticked(ui->chk_Quantity, ui->txt_Quantity);
    c.barCode = ticked(ui->chk_BarCode, ui->txt_BarCode);
    if (ui->chk_Delivered->isChecked())
        c.delivered = {ui->mntvw_From->selectedDate(), ui->mntvw_To->selectedDate()};
    return c;
}

void Frm_QueryProductStore::cmd_OK_Click()
{
    const kestrel::sql::ProductStoreCriteria c = criteria();
    const QString problem = kestrel::sql::productStoreProblem(c);
    if (!problem.isEmpty()) {
        M::MsgBox(problem);
        return;
    }
    showReport(kestrel::sql::productsInStore(c));
}

void Frm_QueryProductStore::cmd_Reset_Click()
{
    for (QCheckBox *tick :
         {ui->chk_ID, ui->chk_Description, ui->chk_Quantity, ui->chk_BarCode, ui->chk_Delivered})
        tick->setChecked(false);
    for (QLineEdit *box : {ui->txt_ID, ui->txt_Description, ui->txt_Quantity, ui->txt_BarCode})
        box->clear();
    showToday({ui->mntvw_From, ui->mntvw_To});
}

void Frm_QueryProductStore::cmd_Cancel_Click()
{
    Unload();
}
