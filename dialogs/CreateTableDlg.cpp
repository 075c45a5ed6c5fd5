#include "dialogs/CreateTableDlg.h"

#include "diagram/TableWnd.h"
#include "dialogs/ColumnGrid.h"
#include "dialogs/DialogUnits.h"
#include "document/Doc.h"
#include "view/DbView.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

CCreateTableDlg::CCreateTableDlg(CDbView *view)
    : CDesignDialog(view, view->GetDocument()->GetSession(), QStringLiteral("Create Table"), 400, 200),
      m_view(view)
{
    auto *label = new QLabel(QStringLiteral("Table Name:"), this);
    Place(label, 23, 22, 41, 8);
    m_tableName = new QLineEdit(this);
    m_tableName->setObjectName(QStringLiteral("tableName"));
    Place(m_tableName, 77, 18, 121, 14);
    m_grid = new CColumnGrid(this, DialogUnits::ToPixels(10, 49, 385, 110), Session());
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
    CDoc *doc = m_view->GetDocument();
    auto table = std::make_unique<CTableWnd>(doc, m_tableName->text().toStdString());
    if (table->LoadSchema() < 0) {
        Session().CloseStatement();
        return;
    }
    table->m_savedPos = QPoint(0, 0);
    CTableWnd *added = table.release();
    doc->AddCreatedTable(added);
    m_view->ShowTable(added);
    m_view->ScrollIntoSight(added);
}
