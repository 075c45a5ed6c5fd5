#pragma once

#include <QByteArray>
#include <QPointer>
#include <QWidget>

class CDbView;
class CTableWnd;
class QImage;

// The scrolled content of the database view: the diagram, at least 10000 x
// 10000 pixels. Its coordinates are diagram coordinates; the table windows are
// its children. It paints the view's background drawing (relationship
// lines, the drag line, page boundaries) and the table windows the view
// keeps hidden, and passes presses on the background to the view.
class CDiagramCanvas : public QWidget
{
    Q_OBJECT

public:
    explicit CDiagramCanvas(CDbView *view);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QImage BackgroundBuffer(const QSize &pixels);
    // Sends a mouse event on to a table window, in its coordinates.
    static void Forward(CTableWnd *table, QMouseEvent *event);

    CDbView *m_view;
    QByteArray m_buffer;
    // The table window that a press on its drawing was handed to: the rest
    // of the press, which Qt delivers here, follows it.
    QPointer<CTableWnd> m_pressed;
};
