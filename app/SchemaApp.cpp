#include "app/SchemaApp.h"

#include "db/DbmsAdapter.h"

CSchemaApp::CSchemaApp(int &argc, char **argv) : QApplication(argc, argv) {}
CSchemaApp::~CSchemaApp() = default;

bool CSchemaApp::InitInstance()
{
    RegisterDbmsAdapters();
    return true;
}

void CSchemaApp::ExitInstance() { UnregisterDbmsAdapters(); }
