#pragma once

#include "dialogs/DesignDialog.h"

class CColumnGrid;
class CDiagramSurface;
class QLineEdit;

// Creates a table from a name and one grid row per column. On success the
// new table's window joins the diagram at the top-left corner of the
// diagram, and the view scrolls there when it is out of sight.
class CCreateTableDlg : public CDesignDialog
{
    Q_OBJECT

public:
    explicit CCreateTableDlg(CDiagramSurface *surface);

protected:
    void FinishEditing() override;
    CComposedChange Compose() override;
    void OnApplied() override;

private:
    CDiagramSurface *m_surface = nullptr;
    QLineEdit *m_tableName = nullptr;
    CColumnGrid *m_grid = nullptr;
};
