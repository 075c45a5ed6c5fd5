#pragma once

#include "app/CommandTarget.h"

#include <QMdiSubWindow>

#include <memory>

class CDoc;
class CDbView;

// The window of one document: a document frame inside the main window's
// client area holding the document's view, captioned with the document's
// title. It owns the document: the document goes first when the frame is
// destroyed, so its table windows are deleted before the view they stand
// in.
class CChildFrame : public QMdiSubWindow, public CCommandTarget
{
    Q_OBJECT

public:
    CChildFrame(std::unique_ptr<CDoc> doc, CDbView *view, QWidget *parent = nullptr);
    ~CChildFrame() override;

    CDoc *Document() const { return m_doc.get(); }
    CDbView *View() const { return m_view; }

    // The view first, then the document's own commands (Close, Save,
    // Save As).
    bool OnCommand(int id) override;
    bool CommandState(int id, bool &enabled, bool &checked) const override;
    bool CommandText(int id, QString &text) const override;

protected:
    // Closing runs the document's closing step; Cancel keeps it open.
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::unique_ptr<CDoc> m_doc;
    CDbView *m_view = nullptr;
};
