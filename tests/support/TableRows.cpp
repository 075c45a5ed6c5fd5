#include "tests/support/TableRows.h"

#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "model/SchemaLoader.h"

namespace TableRows {

namespace {

// What a window shows of the table as the catalog has it now, read beside
// the document's model rather than into it.
QStringList FromCatalog(CDoc &doc, const char *table, QStringList (*read)(const CTableWnd *))
{
    CTableSchema schema;
    SchemaLoader::LoadTable(doc.GetSession(), table, schema);
    CTableWnd fresh(nullptr, table);
    fresh.ShowSchema(schema);
    return read(&fresh);
}

} // namespace

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
    return FromCatalog(*doc, table, Names);
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
    return FromCatalog(*doc, table, Blocks);
}

} // namespace TableRows
