#include "view/DbView.h"

#include "diagram/TableWnd.h"
#include "document/Doc.h"

void CDbView::ArrangeDiagram() {}

void CDbView::ArrangeSelected() {}

int CDbView::PickedTableCount() const
{
    int picked = 0;
    for (int i = 0; m_pDoc && i < m_pDoc->TableCount(); ++i)
        if (m_pDoc->GetTable(i)->m_picked)
            ++picked;
    return picked;
}
