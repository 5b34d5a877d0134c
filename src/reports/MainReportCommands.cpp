// The main window's commands that open the result window on a fixed
// statement: the four delete views and the two fixed reports.

#include "MDIfrm_main.h"

void MDIfrm_main::connectReportCommands()
{
}

void MDIfrm_main::mnu_DCity_Click() {}
void MDIfrm_main::mnu_DCustomer_Click() {}
void MDIfrm_main::mnu_DProduct_Click() {}
void MDIfrm_main::mnu_DTransaction_Click() {}
void MDIfrm_main::mnu_Today_Click() {}
void MDIfrm_main::mnu_Top5Prod_Click() {}
