#include "app/ChildFrame.h"

#include "app/AppImages.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "view/DbView.h"

#include <QCloseEvent>
#include <QIcon>

CChildFrame::CChildFrame(std::unique_ptr<CDoc> doc, CDbView *view, QWidget *parent)
    : QMdiSubWindow(parent), m_doc(std::move(doc)), m_view(view)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(AppImages::DocumentIcon());
    setWidget(view);
    setWindowTitle(m_doc->GetTitle());
    connect(m_doc.get(), &CDoc::titleChanged, this, &QWidget::setWindowTitle);
}

CChildFrame::~CChildFrame()
{
    // The table windows are children of the view's canvas but belong to the
    // document: delete them through the document while the view still
    // stands, so that Qt does not delete them a second time.
    m_doc.reset();
}

bool CChildFrame::OnCommand(int id)
{
    if (m_view->OnCommand(id))
        return true;
    switch (id) {
    case Cmd::FileClose: close(); return true;
    case Cmd::FileSave: m_doc->DoSave(false); return true;
    case Cmd::FileSaveAs: m_doc->DoSave(true); return true;
    default: return false;
    }
}

bool CChildFrame::CommandState(int id, bool &enabled, bool &checked) const
{
    if (m_view->CommandState(id, enabled, checked))
        return true;
    switch (id) {
    case Cmd::FileClose:
    case Cmd::FileSave:
    case Cmd::FileSaveAs:
        enabled = true;
        checked = false;
        return true;
    default: return false;
    }
}

bool CChildFrame::CommandText(int id, QString &text) const { return m_view->CommandText(id, text); }

void CChildFrame::closeEvent(QCloseEvent *event)
{
    if (!m_doc->SaveModified()) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

// The caption is the document's title (a file name once the document is
// saved or opened); the view's own text, its data source name, must not
// replace it as a frame would otherwise take over its widget's title.
bool CChildFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::WindowTitleChange)
        return false;
    return QMdiSubWindow::eventFilter(watched, event);
}
