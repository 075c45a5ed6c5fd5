#include "view/ViewCommands.h"

#include "res/Resource.h"

bool ViewCommands::FindTable(CDbView &) { return false; }

// Each command is offered once it is built.
bool ViewCommands::Offered(int) { return false; }
