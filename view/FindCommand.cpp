#include "view/ViewCommands.h"

#include "view/FindBox.h"

bool ViewCommands::FindTable(CDbView &view)
{
    CFindBox::Open(view);
    return true;
}

