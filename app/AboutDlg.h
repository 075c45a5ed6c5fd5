#pragma once

#include <QDialog>

// The About box: the application icon, the name with its version and an
// OK button.
class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget *parent = nullptr);
};
