#include "dialogs/CreateTableDlg.h"

#include "diagram/DiagramSurface.h"
#include "diagram/TableWnd.h"
#include "dialogs/ColumnGrid.h"
#include "dialogs/DialogUnits.h"
#include "document/Doc.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

CCreateTableDlg::CCreateTableDlg(CDiagramSurface *surface)
    : CDesignDialog(surface, CDoc::Of(surface->Source())->GetSession(), QStringLiteral("Create Table"),
                    400, 200),
      m_surface(surface)
{
    auto *label = new QLabel(QStringLiteral("Table Name:"), this);
    Place(label, 23, 22, 41, 8);
    m_tableName = new QLineEdit(this);
    m_tableName->setObjectName(QStringLiteral("tableName"));
    Place(m_tableName, 77, 18, 121, 14);
    m_grid = new CColumnGrid(this, DialogUnits::ToPixels(10, 49, 385, 110), Session(),
                             CColumnGrid::WithKey);
    QPushButton *create = AddDefaultButton(QStringLiteral("Create"), 135, 170, 50, 14);
    QPushButton *cancel = AddCancelButton(215, 170, 50, 14);
    setTabOrder(m_tableName, m_grid);
    setTabOrder(m_grid, create);
    setTabOrder(create, cancel);
}

void CCreateTableDlg::FinishEditing()
{
    m_grid->CommitEdit();
}

CComposedChange CCreateTableDlg::Compose()
{
    return ColumnRows::ComposeCreateTable(m_tableName->text().toStdString(), m_grid->Rows(),
                                          m_grid->Types());
}

// The table exists now; its window joins the diagram only when its schema
// reads back. A failed read adds nothing and shows nothing.
void CCreateTableDlg::OnApplied()
{
    CDoc *doc = CDoc::Of(m_surface->Source());
    auto table = std::make_unique<CTableWnd>(doc, m_tableName->text().toStdString());
    if (doc->ReloadTable(*table) < 0)
        return;
    table->m_savedPos = QPoint(0, 0);
    CTableWnd *added = table.release();
    doc->AddCreatedTable(added);
    m_surface->ShowTable(added);
    m_surface->ScrollIntoSight(added);
}
