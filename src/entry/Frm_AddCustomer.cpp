#include "entry/Frm_AddCustomer.h"
#include "ui_Frm_AddCustomer.h"

#include "core/shared/Formats.h"
#include "widgets/NumericKeyFilter.h"

#include <QDate>
#include <QEvent>

using namespace kestrel;

Frm_AddCustomer::Frm_AddCustomer(QWidget *parent)
    : EntryForm(QStringLiteral("customers"), AddNextFailure::Reported, parent),
      ui(new Ui::Frm_AddCustomer)
{
    ui->setupUi(this);
    NumericKeyFilter::install(ui->txt_Telephone, false);
    NumericKeyFilter::install(ui->txt_PersonalIDNo, false);
    ui->txt_Address->installEventFilter(this);
    connect(ui->chk_SameAddress, &QCheckBox::toggled, this,
            &Frm_AddCustomer::chk_SameAddress_Click);
    connectButtons(ui->cmd_OK, ui->cmd_AddNext, ui->cmd_Reset, ui->cmd_Cancel);
    // The operator starts typing in the first box that takes input.
    setFocusProxy(ui->txt_City);
}

Frm_AddCustomer::~Frm_AddCustomer()
{
    delete ui;
}

void Frm_AddCustomer::Form_Load()
{
    showNextID(ui->txt_ID);
    ui->mntvw_Joined->setSelectedDate(QDate::currentDate());
}

void Frm_AddCustomer::cmd_Reset_Click()
{
    showNextID(ui->txt_ID);
    for (QLineEdit *box : {ui->txt_City, ui->txt_FirstName, ui->txt_SurName, ui->txt_Telephone,
                           ui->txt_Email, ui->txt_PersonalIDNo})
        box->clear();
    ui->txt_Address->clear();
    ui->mntvw_Joined->setSelectedDate(QDate::currentDate());
    ui->txt_ShippingAddress->clear();
    ui->chk_SameAddress->setChecked(true);
}

void Frm_AddCustomer::chk_SameAddress_Click()
{
    const bool same = ui->chk_SameAddress->isChecked();
    ui->txt_ShippingAddress->setEnabled(!same);
    if (same)
        copyAddressToShipping();
}

void Frm_AddCustomer::txt_Address_KeyUp()
{
    if (ui->chk_SameAddress->isChecked())
        copyAddressToShipping();
}

void Frm_AddCustomer::copyAddressToShipping()
{
    ui->txt_ShippingAddress->setPlainText(ui->txt_Address->toPlainText());
    // Whoever unticks the box next goes on typing after the copied text.
    ui->txt_ShippingAddress->moveCursor(QTextCursor::End);
}

bool Frm_AddCustomer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->txt_Address && event->type() == QEvent::KeyRelease)
        txt_Address_KeyUp();
    return EntryForm::eventFilter(watched, event);
}

bool Frm_AddCustomer::SaveCustomer()
{
    if (ui->txt_City->text().isEmpty())
        return checkFailed(QStringLiteral("City can't be empty!!!"));
    if (ui->txt_FirstName->text().isEmpty())
        return checkFailed(QStringLiteral("FirstName can't be empty!!!"));
    if (ui->txt_SurName->text().isEmpty())
        return checkFailed(QStringLiteral("SurName can't be empty!!!"));
    if (ui->txt_Address->toPlainText().isEmpty())
        return checkFailed(QStringLiteral("Address can't be empty!!!"));
    if (entry::isEmptyOrZero(ui->txt_Telephone->text()))
        return checkFailed(QStringLiteral("Telephone can't be empty!!!"));
    if (ui->txt_Email->text().isEmpty())
        return checkFailed(QStringLiteral("@ - mail can't be empty!!!"));
    if (entry::isEmptyOrZero(ui->txt_PersonalIDNo->text()))
        return checkFailed(QStringLiteral("Personal ID No. can't be empty!!!"));
    if (ui->txt_ShippingAddress->toPlainText().isEmpty())
        return checkFailed(QStringLiteral("Shipping Address can't be empty!!!"));
    const QDate joined = ui->mntvw_Joined->selectedDate();
    if (!fmt::isStorableDate(joined))
        return checkFailed(fmt::unstorableDateMessage(QStringLiteral("Joined")));
    return insertRecord(
        {QStringLiteral("FirstName"), QStringLiteral("SurName"), QStringLiteral("Address"),
         QStringLiteral("City"), QStringLiteral("Telephone"), QStringLiteral("Email"),
         QStringLiteral("PersonalIDNo"), QStringLiteral("Joined"),
         QStringLiteral("ShippingAddress")},
        {db::SqlValue::text(ui->txt_FirstName->text()), db::SqlValue::text(ui->txt_SurName->text()),
         db::SqlValue::text(ui->txt_Address->toPlainText()),
         db::SqlValue::text(ui->txt_City->text()), db::SqlValue::text(ui->txt_Telephone->text()),
         db::SqlValue::text(ui->txt_Email->text()),
         db::SqlValue::text(ui->txt_PersonalIDNo->text()), db::SqlValue::date(joined),
         db::SqlValue::text(ui->txt_ShippingAddress->toPlainText())});
}
