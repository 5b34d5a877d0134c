#include "editing/Frm_EditCity.h"
#include "ui_Frm_EditCity.h"

#include "core/shared/FixedLists.h"
#include "widgets/FixedListBox.h"
#include "widgets/NumericKeyFilter.h"

using namespace kestrel;

Frm_EditCity::Frm_EditCity(QWidget *parent)
    : FindForm(sql::FindTable::Cities, parent), ui(new Ui::Frm_EditCity)
{
    ui->setupUi(this);
    // The Add City form's items, blanks and all: what it stored is found.
    lists::setUpFixedList(ui->cmb_Country, lists::countryItems());
    NumericKeyFilter::install(ui->txt_ID, false);
    NumericKeyFilter::install(ui->txt_PostalCode, false);
    setUp({{ui->chk_ID, ui->txt_ID},
           {ui->chk_Acronym, ui->txt_Acronym},
           {ui->chk_FullName, ui->txt_FullName},
           {ui->chk_PostalCode, ui->txt_PostalCode},
           {ui->chk_CountryCode, ui->txt_CountryCode},
           {ui->chk_Country, ui->cmb_Country}},
          ui->cmd_Find, ui->cmd_ShowAll, ui->cmd_Cancel);
    setFocusProxy(ui->chk_ID);
}

Frm_EditCity::~Frm_EditCity()
{
    delete ui;
}
