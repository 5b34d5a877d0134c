#include "entry/Frm_AddCity.h"
#include "ui_Frm_AddCity.h"

#include "core/shared/FixedLists.h"
#include "widgets/FixedListBox.h"
#include "widgets/NumericKeyFilter.h"

using namespace kestrel;

Frm_AddCity::Frm_AddCity(QWidget *parent)
    : EntryForm(QStringLiteral("cities"), AddNextFailure::Reported, parent), ui(new Ui::Frm_AddCity)
{
    ui->setupUi(this);
    lists::setUpFixedList(ui->cmb_Country, lists::countryItems());
    NumericKeyFilter::install(ui->txt_PostalCode, false);
    connectButtons(ui->cmd_OK, ui->cmd_AddNext, ui->cmd_Reset, ui->cmd_Cancel);
    // The operator starts typing in the first box that takes input.
    setFocusProxy(ui->txt_Acronym);
}

Frm_AddCity::~Frm_AddCity()
{
    delete ui;
}

void Frm_AddCity::Form_Load()
{
    showNextID(ui->txt_ID);
}

void Frm_AddCity::cmd_Reset_Click()
{
    showNextID(ui->txt_ID);
    ui->txt_Acronym->clear();
    ui->txt_FullName->clear();
    ui->txt_PostalCode->clear();
    ui->txt_CountryCode->clear();
    ui->cmb_Country->setCurrentIndex(-1);
}

bool Frm_AddCity::SaveCity()
{
    if (ui->txt_Acronym->text().isEmpty())
        return checkFailed(QStringLiteral("Acronym can't be empty!!!"));
    if (ui->txt_FullName->text().isEmpty())
        return checkFailed(QStringLiteral("FullName can't be empty!!!"));
    if (entry::isEmptyOrZero(ui->txt_PostalCode->text()))
        return checkFailed(QStringLiteral("PostalCode can't be empty!!!"));
    if (ui->txt_CountryCode->text().isEmpty())
        return checkFailed(QStringLiteral("CountryCode can't be empty!!!"));
    if (ui->cmb_Country->currentText().isEmpty())
        return checkFailed(QStringLiteral("Country can't be empty!!!"));
    return insertRecord(
        {QStringLiteral("Acronym"), QStringLiteral("FullName"), QStringLiteral("PostalCode"),
         QStringLiteral("Country"), QStringLiteral("CountryCode")},
        {db::SqlValue::text(ui->txt_Acronym->text()), db::SqlValue::text(ui->txt_FullName->text()),
         db::SqlValue::text(ui->txt_PostalCode->text()),
         db::SqlValue::text(lists::selectedValue(ui->cmb_Country)),
         db::SqlValue::text(ui->txt_CountryCode->text())});
}
