// The main window's commands: which window each menu item opens, and the
// commands that open the result window on a fixed list. A command is enabled
// once it is connected here; commands of windows not yet built stay disabled.

#include "shell/MDIfrm_main.h"
#include "ui_MDIfrm_main.h"

#include "core/statements/Lists.h"
#include "database/Frm_ConnectionSettings.h"
#include "database/Frm_FormatDB.h"
#include "database/Frm_ShopSettings.h"
#include "database/Frm_TestConnection.h"
#include "editing/Frm_EditCity.h"
#include "editing/Frm_EditCustomer.h"
#include "editing/Frm_EditProduct.h"
#include "editing/Frm_EditTransaction.h"
#include "entry/Frm_AddCity.h"
#include "entry/Frm_AddCustomer.h"
#include "entry/Frm_AddProduct.h"
#include "entry/Frm_AddTransaction.h"
#include "reports/Frm_QueryChangePrice.h"
#include "reports/Frm_QueryProductStore.h"
#include "reports/Frm_QueryProductsList.h"
#include "reports/Frm_QueryResults.h"
#include "reports/Frm_QueryTop10Customers.h"
#include "reports/Frm_QueryTurnoverBInterval.h"
#include "reports/Frm_QueryTurnoverChart.h"
#include "shell/Frm_About.h"
#include "shell/Frm_Help.h"

void MDIfrm_main::connectCommand(QAction *action, void (MDIfrm_main::*handler)())
{
    connect(action, &QAction::triggered, this, handler);
    action->setEnabled(true);
}

void MDIfrm_main::connectCommands()
{
    // File
    connectFormCommand<Frm_TestConnection>(ui->mnu_TestConnect);
    connectFormCommand<Frm_FormatDB>(ui->mnu_FormatDB);
    connectCommand(ui->mnu_ExportList, &MDIfrm_main::mnu_ExportList_Click);
    connectCommand(ui->mnu_PrintList, &MDIfrm_main::mnu_PrintList_Click);
    connect(ui->mnu_Exit, &QAction::triggered, this, &QWidget::close);
    ui->mnu_Exit->setEnabled(true);
    // Add Record
    connectFormCommand<Frm_AddProduct>(ui->mnu_AddProduct);
    connectFormCommand<Frm_AddCustomer>(ui->mnu_AddCustomer);
    connectFormCommand<Frm_AddCity>(ui->mnu_AddCity);
    connectFormCommand<Frm_AddTransaction>(ui->mnu_AddTransaction);
    // Edit Record
    connectFormCommand<Frm_EditProduct>(ui->mnu_EProduct);
    connectFormCommand<Frm_EditCustomer>(ui->mnu_ECustomer);
    connectFormCommand<Frm_EditCity>(ui->mnu_ECity);
    connectFormCommand<Frm_EditTransaction>(ui->mnu_ETransaction);
    // Delete Record
    connectCommand(ui->mnu_DProduct, &MDIfrm_main::mnu_DProduct_Click);
    connectCommand(ui->mnu_DCustomer, &MDIfrm_main::mnu_DCustomer_Click);
    connectCommand(ui->mnu_DCity, &MDIfrm_main::mnu_DCity_Click);
    connectCommand(ui->mnu_DTransaction, &MDIfrm_main::mnu_DTransaction_Click);
    // Queries
    connectCommand(ui->mnu_Today, &MDIfrm_main::mnu_Today_Click);
    connectFormCommand<Frm_QueryTurnoverBInterval>(ui->mnu_BetInt);
    connectFormCommand<Frm_QueryTurnoverChart>(ui->mnu_TurnoverChart);
    connectFormCommand<Frm_QueryProductStore>(ui->mnu_ProdStore);
    connectFormCommand<Frm_QueryProductsList>(ui->mnu_ProdListPrice);
    connectCommand(ui->mnu_Top5Prod, &MDIfrm_main::mnu_Top5Prod_Click);
    connectFormCommand<Frm_QueryChangePrice>(ui->mnu_CAPP);
    connectFormCommand<Frm_QueryTop10Customers>(ui->mnu_Top10Cust);
    // Setup, Window, Help
    connectFormCommand<Frm_ConnectionSettings>(ui->mnu_CSettings);
    connectFormCommand<Frm_ShopSettings>(ui->mnu_ShopDetails);
    connectCommand(ui->mnu_WindCascade, &MDIfrm_main::mnu_WindCascade_Click);
    connectCommand(ui->mnu_WindHori, &MDIfrm_main::mnu_WindHori_Click);
    connectCommand(ui->mnu_WindVert, &MDIfrm_main::mnu_WindVert_Click);
    connectCommand(ui->mnu_WindClose, &MDIfrm_main::mnu_WindClose_Click);
    connectCommand(ui->mnu_HelpContents, &MDIfrm_main::mnu_HelpContents_Click);
    connectFormCommand<Frm_About>(ui->mnu_HelpAbout);
}

void MDIfrm_main::mnu_DCity_Click()
{
    Frm_QueryResults::Open(kestrel::sql::deleteCities());
}

void MDIfrm_main::mnu_DCustomer_Click()
{
    Frm_QueryResults::Open(kestrel::sql::deleteCustomers());
}

void MDIfrm_main::mnu_DProduct_Click()
{
    Frm_QueryResults::Open(kestrel::sql::deleteProducts());
}

void MDIfrm_main::mnu_DTransaction_Click()
{
    Frm_QueryResults::Open(kestrel::sql::deleteTransactions());
}

void MDIfrm_main::mnu_Today_Click()
{
    Frm_QueryResults::Open(kestrel::sql::todaysTurnover());
}

void MDIfrm_main::mnu_Top5Prod_Click()
{
    Frm_QueryResults::Open(kestrel::sql::topFiveProducts());
}

namespace {

// Runs a command of the open list; a beep when no list that can go out is open.
void onOpenList(const MDIfrm_main &main, void (Frm_QueryResults::*command)())
{
    Frm_QueryResults *list = main.findForm<Frm_QueryResults>();
    if (list && list->canExport())
        (list->*command)();
    else
        mdl_Variables_Functions::Beep();
}

} // namespace

void MDIfrm_main::mnu_ExportList_Click()
{
    onOpenList(*this, &Frm_QueryResults::ExportList);
}

void MDIfrm_main::mnu_PrintList_Click()
{
    onOpenList(*this, &Frm_QueryResults::PrintList);
}

void MDIfrm_main::mnu_HelpContents_Click()
{
    // The manual's sections are named after the windows they describe.
    const kestrel::KForm *active = activeForm();
    const QString topic =
        active ? QString::fromLatin1(active->metaObject()->className()) : QString();
    showForm<Frm_Help>()->showTopic(topic);
}

void MDIfrm_main::askForConnectionSettings()
{
    showForm<Frm_ConnectionSettings>()->showFirstStartNote();
}
