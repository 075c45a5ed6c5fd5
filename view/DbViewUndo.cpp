#include "view/DbView.h"

#include <QString>

void CDbView::TableMoved(CTableWnd *table, const QPoint &from)
{
    (void)table;
    (void)from;
}

bool CDbView::CanUndoLayout() const { return false; }

bool CDbView::CanRedoLayout() const { return false; }

void CDbView::UndoLayout() {}

void CDbView::RedoLayout() {}

bool CDbView::CommandText(int id, QString &text) const
{
    (void)id;
    (void)text;
    return false;
}

CDbView::CLayout CDbView::CurrentLayout() const { return {}; }

void CDbView::RecordLayoutStep(const QString &name, const CLayout &before)
{
    (void)name;
    (void)before;
}
