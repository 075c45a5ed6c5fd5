#pragma once

#include "dialogs/DesignDialog.h"

#include <optional>
#include <string>

class CTableWnd;
class QButtonGroup;
class QLineEdit;
class QPlainTextEdit;

// Creates one trigger on a table window's table: its name, when it fires
// (Before or After), on which event (Insert, Update or Delete), an optional
// firing order and row condition, and its body. The texts lose trailing
// white space only, and only in the statement: the controls keep what was
// typed, so a refused attempt can be mended and tried again.
//
// A firing order on an engine that has none is disabled, its tooltip
// saying so. On success a Trigger row is appended to the table window
// without reading the catalog; the selection stays as it was.
//
// Opened with an existing trigger ("Edit Trigger"), the dialog shows it as
// the catalog holds it and its default button reads "Replace", which is
// what happens: the trigger is dropped and the one the dialog holds is
// created, in one transaction. The row keeps its place in the window.
class CTriggerDlg : public CDesignDialog
{
    Q_OBJECT

public:
    explicit CTriggerDlg(CTableWnd *table);
    CTriggerDlg(CTableWnd *table, const CCreateTrigger &shown);

protected:
    CComposedChange Compose() override;
    void OnApplied() override;

private:
    CTriggerDlg(CTableWnd *table, std::optional<CCreateTrigger> shown);
    void CreateNameAndEvent();
    void CreateFiringOrder();
    void CreateConditionAndBody();
    void CreateButtons();
    void Fill(const CCreateTrigger &shown);
    CCreateTrigger Gather() const;

    CTableWnd *m_table;
    // The trigger the dialog replaces; nothing when it creates one.
    std::optional<CCreateTrigger> m_shown;
    QLineEdit *m_triggerName = nullptr;
    QButtonGroup *m_timing = nullptr;
    QButtonGroup *m_event = nullptr;
    QLineEdit *m_firingOrder = nullptr;
    QPlainTextEdit *m_condition = nullptr;
    QPlainTextEdit *m_body = nullptr;
    // The trimmed name of the last Compose, which OnApplied shows.
    std::string m_createdName;
};
