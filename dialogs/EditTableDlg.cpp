#include "dialogs/EditTableDlg.h"

#include "diagram/DiagramSurface.h"
#include "diagram/TableWnd.h"
#include "dialogs/ColumnGrid.h"
#include "dialogs/DialogUnits.h"
#include "document/Doc.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// The rows of the table as the document's model holds it, the last one
// read from the catalog.
std::vector<CColumnRow> ShownRows(const CTableWnd &table, const CDbSession &session)
{
    const CDoc *doc = CDoc::Of(table.Source());
    const CTableSchema *schema = doc ? doc->FindSchema(table.m_name) : nullptr;
    std::vector<CColumnRow> rows;
    if (!schema)
        return rows;
    const CTypeList types = CColumnGrid::SessionTypes(session);
    for (const CSchemaColumn &column : schema->m_columns)
        rows.push_back(ColumnRows::ShownRow(column, schema->IsKeyColumn(column.m_name), types));
    return rows;
}

} // namespace

CEditTableDlg::CEditTableDlg(CTableWnd *table)
    : CDesignDialog(table, CDoc::Of(table->Source())->GetSession(), QStringLiteral("Edit Table"), 400,
                    200),
      m_table(table), m_shown(ShownRows(*table, Session()))
{
    auto *label = new QLabel(QStringLiteral("Table Name:"), this);
    Place(label, 23, 22, 41, 8);
    m_tableName = new QLineEdit(QString::fromStdString(table->m_name), this);
    m_tableName->setObjectName(QStringLiteral("tableName"));
    Place(m_tableName, 77, 18, 121, 14);
    m_grid = new CColumnGrid(this, DialogUnits::ToPixels(10, 49, 385, 110), Session(),
                             CColumnGrid::WithKey, m_shown);
    QPushButton *ok = AddDefaultButton(QStringLiteral("OK"), 135, 170, 50, 14);
    QPushButton *cancel = AddCancelButton(215, 170, 50, 14);
    setTabOrder(m_tableName, m_grid);
    setTabOrder(m_grid, ok);
    setTabOrder(ok, cancel);
}

void CEditTableDlg::FinishEditing() { m_grid->CommitEdit(); }

CComposedChange CEditTableDlg::Compose()
{
    return ColumnRows::ComposeAlterTable(m_table->m_name, m_tableName->text().toStdString(), m_shown,
                                         m_grid->Rows(), m_grid->Types());
}

// The window follows the table under its new name, and the model keeps no
// entry under the old one. The relationships are read again: a rename or a
// rebuilt table changes what other tables' keys name. A failed read keeps
// what was shown.
void CEditTableDlg::OnApplied()
{
    CDoc *doc = CDoc::Of(m_table->Source());
    const std::string newName = m_tableName->text().toStdString();
    if (newName != m_table->m_name) {
        doc->Schema().RemoveTable(m_table->m_name);
        m_table->m_name = newName;
        // The diagram file still names the table as it was.
        doc->SetModifiedFlag(true);
    }
    if (CDiagramSurface *surface = CDiagramSurface::Of(m_table))
        surface->ReloadRelationship(m_table, nullptr);
    else
        m_table->LoadSchema();
}
