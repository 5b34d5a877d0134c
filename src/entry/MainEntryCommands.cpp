// The main window's Add Record commands.

#include "MDIfrm_main.h"
#include "ui_MDIfrm_main.h"

#include "Frm_AddCity.h"
#include "Frm_AddCustomer.h"
#include "Frm_AddProduct.h"

void MDIfrm_main::connectEntryCommands()
{
    connectFormCommand<Frm_AddProduct>(ui->mnu_AddProduct);
    connectFormCommand<Frm_AddCustomer>(ui->mnu_AddCustomer);
    connectFormCommand<Frm_AddCity>(ui->mnu_AddCity);
}
