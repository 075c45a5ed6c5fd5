#pragma once

#include <QFrame>

#include <string>

class CDbView;
class QLineEdit;
class QListWidget;
class QListWidgetItem;

// The find box over the diagram: a line edit with the matching tables
// listed below it. It floats at the top right of the view's viewport, so it
// stays in sight while the diagram scrolls and never becomes part of the
// diagram (the canvas holds only table windows). Choosing a table brings it
// into sight, activates it and flashes its frame; the box then closes.
// Nothing it does moves a window or marks the document modified.
class CFindBox : public QFrame
{
    Q_OBJECT

public:
    explicit CFindBox(CDbView &view);

    // Opens the view's box, or gives the open one the focus again.
    static CFindBox *Open(CDbView &view);

    QLineEdit *Edit() const { return m_edit; }
    QListWidget *List() const { return m_list; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Filter(const QString &text);
    void Choose(const QListWidgetItem *item);
    void Close();
    void Place();
    bool HandleKey(int key);

    CDbView &m_view;
    QLineEdit *m_edit = nullptr;
    QListWidget *m_list = nullptr;
};
