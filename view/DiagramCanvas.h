#pragma once

#include <QByteArray>
#include <QWidget>

class CDbView;
class QImage;

// The scrolled content of the database view: the diagram, at least 10000 x
// 10000 pixels. Its coordinates are diagram coordinates; the table windows are
// its children. It paints the view's background drawing (relationship
// lines, the drag line, page boundaries) and passes presses on the
// background to the view.
class CDiagramCanvas : public QWidget
{
    Q_OBJECT

public:
    explicit CDiagramCanvas(CDbView *view);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QImage BackgroundBuffer(const QSize &pixels);

    CDbView *m_view;
    QByteArray m_buffer;
};
