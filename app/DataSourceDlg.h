#pragma once

#include "db/DbTypes.h"

#include <QDialog>

#include <string>
#include <vector>

class CDbSession;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QTreeWidget;

// "Select Data Source": the user and system data sources of the driver
// manager with their descriptions. Choosing one fills in "DSN=name"; the
// connection string can also be typed (or completed, e.g. with UID= and
// PWD=) by hand.
class CDataSourceDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CDataSourceDlg(const std::vector<CDataSourceInfo> &sources, QWidget *parent = nullptr);

    QString ConnectionString() const;
    // Shows a connection string to confirm or complete, with the reason
    // for asking above the list; no source of the list is selected.
    void Prefill(const QString &connectionString, const QString &reason);
    // Selects the named source in the list; false when it is not listed.
    bool SelectSource(const QString &name);
    QTreeWidget *SourceList() const { return m_list; }
    QLineEdit *ConnectionEdit() const { return m_connection; }
    QLabel *ReasonLabel() const { return m_reason; }
    QDialogButtonBox *Buttons() const { return m_buttons; }

    // The connect prompt the application installs: shows the dialog over
    // the given parent, pre-filled with the connection string when there
    // is one, and answers with the chosen connection string.
    static bool Prompt(CDbSession &session, std::string &connectionString,
                       const std::string &reason, QWidget *parent);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FillList(const std::vector<CDataSourceInfo> &sources);
    void OnSelectionChanged();
    void UpdateOkButton();

    QLabel *m_reason = nullptr;
    QTreeWidget *m_list = nullptr;
    QLineEdit *m_connection = nullptr;
    QDialogButtonBox *m_buttons = nullptr;
    bool m_prefilled = false;
};
