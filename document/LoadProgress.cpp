#include "document/LoadProgress.h"

#include <QApplication>
#include <QProgressDialog>

namespace {
int g_defaultDelay = CLoadProgress::kDefaultDelayMs;
} // namespace

int CLoadProgress::DefaultDelay() { return g_defaultDelay; }

void CLoadProgress::SetDefaultDelay(int delayMs) { g_defaultDelay = delayMs; }

CLoadProgress::CLoadProgress(int delayMs, QWidget *parent) : m_delay(delayMs), m_parent(parent)
{
    m_clock.start();
}

CLoadProgress::~CLoadProgress() = default;

QString CLoadProgress::Text(int loaded, int total)
{
    return QStringLiteral("Loading tables\u2026 %1 of %2").arg(loaded).arg(total);
}

void CLoadProgress::Show(int total)
{
    QWidget *parent = m_parent ? m_parent : QApplication::activeWindow();
    m_dialog = std::make_unique<QProgressDialog>(Text(0, total), QStringLiteral("Cancel"), 0,
                                                 total, parent);
    m_dialog->setWindowTitle(QStringLiteral("Vellumix"));
    // Nothing else may run while the load holds the session: the rest of
    // the application waits behind the dialog.
    m_dialog->setWindowModality(Qt::ApplicationModal);
    // The dialog stays until the load ends, also at 100 % and after Cancel.
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    m_dialog->setMinimumDuration(0);
    m_dialog->show();
}

bool CLoadProgress::Step(int loaded, int total)
{
    if (m_cancelled)
        return false;
    const qint64 now = m_clock.elapsed();
    if (!m_dialog) {
        if (now < m_delay)
            return true;
        Show(total);
    } else if (now - m_lastUpdate < kUpdateMs) {
        return true;
    }
    m_lastUpdate = now;
    m_dialog->setLabelText(Text(loaded, total));
    m_dialog->setValue(loaded);
    QCoreApplication::processEvents();
    m_cancelled = m_dialog->wasCanceled();
    return !m_cancelled;
}
