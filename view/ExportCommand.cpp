#include "view/ViewCommands.h"

#include "res/Resource.h"

bool ViewCommands::ExportDiagram(CDbView &) { return false; }
