#include "app/CommandLineTool.h"
#include "app/SchemaApp.h"

int main(int argc, char *argv[])
{
    CommandLineTool::PrepareProcess(argc, argv);
    CSchemaApp app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (CommandLineTool::IsRequested(arguments))
        return CommandLineTool::Run(arguments);
    if (!app.InitInstance())
        return 1;
    const int code = app.exec();
    app.ExitInstance();
    return code;
}
