// The main window's Add Record commands.

#include "MDIfrm_main.h"

void MDIfrm_main::connectEntryCommands()
{
}
