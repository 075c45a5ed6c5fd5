#include "app/SchemaApp.h"

int main(int argc, char *argv[])
{
    CSchemaApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    const int code = app.exec();
    app.ExitInstance();
    return code;
}
