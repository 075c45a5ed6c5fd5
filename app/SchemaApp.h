#pragma once

#include <QApplication>

// The application object: start-up in a fixed order, the application
// commands, and exit.
class CSchemaApp : public QApplication
{
    Q_OBJECT

public:
    CSchemaApp(int &argc, char **argv);
    ~CSchemaApp() override;

    bool InitInstance();
    void ExitInstance();
};
