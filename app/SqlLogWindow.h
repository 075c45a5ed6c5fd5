#pragma once

#include <QDockWidget>

class CDoc;
class CSqlLogModel;
class QTreeView;

// "SQL Log": a dockable window listing the statements the active
// document's session sent, oldest first, each with the time, the statement
// exactly as sent and its outcome. Entries can be selected and copied
// (Ctrl+C or the context menu), one line per entry with its three texts
// separated by tabs.
class CSqlLogWindow : public QDockWidget
{
    Q_OBJECT

public:
    explicit CSqlLogWindow(QWidget *parent = nullptr);

    // Shows the log of this document, or nothing.
    void SetDocument(CDoc *doc);
    QTreeView *View() const { return m_view; }
    CSqlLogModel *Model() const { return m_model; }
    QString SelectedText() const;
    void CopySelection() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ShowContextMenu(const QPoint &pos);

    CSqlLogModel *m_model = nullptr;
    QTreeView *m_view = nullptr;
    // The list stays at its end while new statements arrive, unless the
    // user scrolled back.
    bool m_followEnd = true;
};
