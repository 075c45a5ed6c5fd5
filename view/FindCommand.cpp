#include "view/ViewCommands.h"

#include "res/Resource.h"
#include "view/FindBox.h"

bool ViewCommands::FindTable(CDbView &view)
{
    CFindBox::Open(view);
    return true;
}

// Each command is offered once it is built.
bool ViewCommands::Offered(int id)
{
    return id == Cmd::EditFind;
}
