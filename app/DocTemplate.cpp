#include "app/DocTemplate.h"

#include "app/ChildFrame.h"
#include "document/Doc.h"
#include "view/DbView.h"

#include <QFileInfo>
#include <QMdiArea>

#include <memory>

QString CDocTemplate::GetDocString(DocStringIndex index)
{
    return QString::fromLatin1(kDocString).split(QLatin1Char('\n')).value(index);
}

CDocTemplate::CDocTemplate(QMdiArea *mdiArea, CPrintSettings *printSettings, QObject *parent)
    : QObject(parent), m_mdiArea(mdiArea), m_printSettings(printSettings)
{
}

QString CDocTemplate::NextUntitledTitle() const
{
    return GetDocString(FileNewName) + QString::number(m_untitledCount + 1);
}

CChildFrame *CDocTemplate::FindOpenFrame(const QString &path) const
{
    const QString wanted = QFileInfo(path).absoluteFilePath();
    for (QMdiSubWindow *window : m_mdiArea->subWindowList()) {
        auto *frame = qobject_cast<CChildFrame *>(window);
        if (frame && frame->Document()->GetPathName() == wanted)
            return frame;
    }
    return nullptr;
}

CChildFrame *CDocTemplate::OpenDocumentFile(const QString &path)
{
    if (!path.isEmpty()) {
        if (CChildFrame *open = FindOpenFrame(path)) {
            m_mdiArea->setActiveSubWindow(open);
            return open;
        }
    }

    auto doc = std::make_unique<CDoc>(NextUntitledTitle());
    auto view = std::make_unique<CDbView>(doc.get());
    if (m_printSettings)
        view->SetPrintSettings(m_printSettings);
    connect(doc.get(), &CDoc::fileUsed, this, &CDocTemplate::fileUsed);

    m_pending = doc.get();
    const bool created = path.isEmpty() ? doc->OnNewDocument() : doc->OnOpenDocument(path);
    m_pending = nullptr;
    if (!created) {
        // The document goes before the view, as in the frame's destructor.
        doc.reset();
        return nullptr;
    }
    // Only a new document that came up uses up its number.
    if (path.isEmpty())
        ++m_untitledCount;
    return ShowFrame(std::move(doc), view.release());
}

// A new frame takes the state of the active one: maximized next to a
// maximized frame, otherwise a comfortable share of the client area.
CChildFrame *CDocTemplate::ShowFrame(std::unique_ptr<CDoc> doc, CDbView *view)
{
    QMdiSubWindow *active = m_mdiArea->currentSubWindow();
    const bool maximized = active && active->isMaximized();
    auto *frame = new CChildFrame(std::move(doc), view);
    m_mdiArea->addSubWindow(frame);
    const QSize area = m_mdiArea->viewport()->size();
    frame->resize(qMax(400, area.width() * 3 / 4), qMax(300, area.height() * 3 / 4));
    view->OnInitialUpdate();
    if (maximized)
        frame->showMaximized();
    else
        frame->show();
    m_mdiArea->setActiveSubWindow(frame);
    return frame;
}
