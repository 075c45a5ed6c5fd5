#include "view/DbView.h"

#include "document/Doc.h"

#include <QPainter>

CDbView::CDbView(CDoc *doc, QWidget *parent) : QScrollArea(parent), m_pDoc(doc)
{
    m_canvas = new QWidget;
    m_canvas->resize(kDiagramSize, kDiagramSize);
    setWidget(m_canvas);
    doc->SetView(this);
}
CDbView::~CDbView() = default;
QPoint CDbView::ScrollPosition() const { return {0, 0}; }
void CDbView::OnInitialUpdate() {}
void CDbView::ShowTable(CTableWnd *) {}
bool CDbView::OnCommand(int) { return false; }
bool CDbView::CommandState(int, bool &, bool &) const { return false; }
void CDbView::DrawDiagram(QPainter &, bool) {}
void CDbView::DrawRelationship(QPainter &, const CDbRelationship &) {}
int CDbView::HitTestRelationships(const QPoint &) const { return -1; }
void CDbView::SetViewMode(int) {}
void CDbView::ActivateNext(bool) {}
void CDbView::ScrollIntoSight(CTableWnd *) {}
void CDbView::DropSelectedRelationship() {}
void CDbView::OnBackgroundPress(const QPoint &, Qt::MouseButton) {}
void CDbView::ApplyDiagramMapping(QPainter &, const QPaintDevice &) {}
void CDbView::keyPressEvent(QKeyEvent *) {}
void CDbView::resizeEvent(QResizeEvent *) {}
