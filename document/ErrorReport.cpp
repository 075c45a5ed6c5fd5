#include "document/ErrorReport.h"

#include "db/DbSession.h"

#include <QMessageBox>

void ShowError(QWidget *owner, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok, owner);
    box.exec();
}

void ReportDbError(QWidget *owner, const CDbSession &session, int code)
{
    ShowError(owner, QString::fromStdString(session.GetErrorText(code)));
}
