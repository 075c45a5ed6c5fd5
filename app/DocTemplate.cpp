#include "app/DocTemplate.h"

#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "document/Doc.h"
#include "view/DbView.h"

#include <QFileInfo>
#include <QMdiArea>
#include <QStyle>

#include <algorithm>

#include <memory>

QString CDocTemplate::GetDocString(DocStringIndex index)
{
    return QString::fromLatin1(kDocString).split(QLatin1Char('\n')).value(index);
}

CDocTemplate::CDocTemplate(QMdiArea *mdiArea, const CAdapterList &adapters, ConnectPrompt prompt,
                           CPrintSettings *printSettings, QObject *parent)
    : QObject(parent), m_mdiArea(mdiArea), m_adapters(adapters), m_prompt(std::move(prompt)),
      m_printSettings(printSettings)
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

    auto doc = std::make_unique<CDoc>(m_adapters, m_prompt, NextUntitledTitle());
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

// A new frame takes the state of the workspace: maximized while a
// maximized document fills it, or, in an empty workspace, when the user
// last had the documents maximized; otherwise a comfortable share of the
// client area, one caption lower and to the right of the active frame, and
// always wholly inside the visible client area, where it can be reached.
CChildFrame *CDocTemplate::ShowFrame(std::unique_ptr<CDoc> doc, CDbView *view)
{
    const QList<QMdiSubWindow *> open = m_mdiArea->subWindowList();
    const auto *mainFrame = qobject_cast<const CMainFrame *>(m_mdiArea->window());
    const bool maximized = open.isEmpty()
                               ? mainFrame && mainFrame->DocumentsMaximized()
                               : std::any_of(open.begin(), open.end(),
                                             [](const QMdiSubWindow *w) { return w->isMaximized(); });
    QMdiSubWindow *active = m_mdiArea->currentSubWindow();
    if (!active && !open.isEmpty())
        active = m_mdiArea->subWindowList(QMdiArea::ActivationHistoryOrder).last();
    auto *frame = new CChildFrame(std::move(doc), view);
    m_mdiArea->addSubWindow(frame);
    const QRect area = m_mdiArea->viewport()->rect();
    const QSize wanted(qMax(400, area.width() * 3 / 4), qMax(300, area.height() * 3 / 4));
    const int step = frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frame);
    const QRect place = NewFramePlacement(area, wanted, active && !active->isMinimized()
                                                            ? active->geometry()
                                                            : QRect(),
                                          step);
    view->OnInitialUpdate();
    if (maximized) {
        frame->setGeometry(place);
        frame->showMaximized();
    } else {
        frame->show();
        frame->setGeometry(place);
    }
    m_mdiArea->setActiveSubWindow(frame);
    return frame;
}

QRect CDocTemplate::NewFramePlacement(const QRect &area, const QSize &wanted, const QRect &active,
                                      int step)
{
    const QSize size = wanted.boundedTo(area.size());
    QRect place(active.isNull() ? area.topLeft() : active.topLeft() + QPoint(step, step), size);
    if (!area.contains(place))
        place.moveTopLeft(area.topLeft());
    return place;
}
