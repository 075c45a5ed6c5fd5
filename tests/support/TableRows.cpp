#include "tests/support/TableRows.h"

#include "diagram/TableWnd.h"

namespace TableRows {

QPoint RowPoint(const CTableWnd *table, int row)
{
    return table->ClientRect().topLeft() + QPoint(40, row * 15 + 7);
}

QStringList Names(const CTableWnd *table)
{
    QStringList names;
    for (int i = 0; i < table->ItemCount(); ++i)
        names << QString::fromStdString(table->GetItem(i)->m_name);
    return names;
}

int RowOf(const CTableWnd *table, int kind, const char *name)
{
    for (int i = 0; i < table->ItemCount(); ++i)
        if (table->GetItem(i)->m_kind == kind && table->GetItem(i)->m_name == name)
            return i;
    return -1;
}

QStringList CatalogNames(CDoc *doc, const char *table)
{
    CTableWnd fresh(doc, table);
    fresh.LoadSchema();
    return Names(&fresh);
}

QStringList Blocks(const CTableWnd *table)
{
    QStringList blocks;
    for (int i = 0; const CTableItem *item = table->GetItem(i); ++i) {
        const QString row = QStringLiteral("%1 %2").arg(item->m_kind).arg(QString::fromStdString(item->m_name));
        if (item->m_kind == IndexSegment && !blocks.isEmpty())
            blocks.last() += " / " + row;
        else
            blocks << row;
    }
    blocks.sort();
    return blocks;
}

QStringList CatalogBlocks(CDoc *doc, const char *table)
{
    CTableWnd fresh(doc, table);
    fresh.LoadSchema();
    return Blocks(&fresh);
}

} // namespace TableRows
