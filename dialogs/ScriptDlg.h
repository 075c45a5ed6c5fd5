#pragma once

#include <QDialog>

class QPlainTextEdit;

// A read-only window showing an SQL script, with Copy to put all of it on
// the clipboard.
class CScriptDlg : public QDialog
{
    Q_OBJECT

public:
    CScriptDlg(const QString &title, const QString &script, QWidget *parent = nullptr);

    QString Script() const;

private:
    void CopyScript();

    QPlainTextEdit *m_text = nullptr;
};
