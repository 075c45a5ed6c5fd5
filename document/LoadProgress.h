#pragma once

#include <QElapsedTimer>

#include <memory>

class QProgressDialog;
class QWidget;

// Feedback while a document loads its tables, which happens on the
// user-interface thread through the session's one statement handle. The
// load reports each table to Step; once the load has taken longer than the
// delay, a modal dialog shows "Loading tables… N of M" with a Cancel
// button. Events are let through only from Step, a few times a second, so
// the dialog paints and its Cancel button works while the window is busy.
class CLoadProgress
{
public:
    static constexpr int kDefaultDelayMs = 500;
    // The delay of a progress made without one: kDefaultDelayMs unless set
    // for the whole process, by a test whose loads are too quick to wait
    // half a second for the dialog.
    static int DefaultDelay();
    static void SetDefaultDelay(int delayMs);
    // The dialog is brought up to date at most this often.
    static constexpr int kUpdateMs = 40;

    // The dialog's parent is the active window when it shows, unless one
    // is given.
    explicit CLoadProgress(int delayMs = DefaultDelay(), QWidget *parent = nullptr);
    ~CLoadProgress();
    CLoadProgress(const CLoadProgress &) = delete;
    CLoadProgress &operator=(const CLoadProgress &) = delete;

    // `loaded` of `total` tables are loaded. False once the user has
    // cancelled: the load stops there.
    bool Step(int loaded, int total);
    bool Cancelled() const { return m_cancelled; }
    // The dialog, once it shows; null before.
    QProgressDialog *Dialog() const { return m_dialog.get(); }

    static QString Text(int loaded, int total);

private:
    void Show(int total);

    int m_delay;
    QWidget *m_parent;
    QElapsedTimer m_clock;
    qint64 m_lastUpdate = 0;
    std::unique_ptr<QProgressDialog> m_dialog;
    bool m_cancelled = false;
};
