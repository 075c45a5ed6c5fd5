#pragma once

#include <QByteArray>
#include <QImage>
#include <QPointer>
#include <QWidget>

class CDbView;
class CTableWnd;

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
    // One picture of the whole canvas, made again when its version moves on.
    struct CLayer
    {
        QImage image;
        unsigned long long version = 0;
    };

    QImage BackgroundBuffer(const QSize &pixels);
    // Far out, where the whole diagram is a few hundred pixels and every
    // repaint would draw each of thousands of tables and lines again, the
    // canvas is painted from pictures of its lines and of the tables it
    // draws, each kept until something in it changes.
    bool KeepsPictures() const;
    // The canvas's size in device pixels.
    QSize PicturePixels() const;
    void PaintFromPictures(const QRect &area);
    void UpdateLinesPicture();
    void UpdateTablesPicture();
    void FitToCanvas(QImage &image, QImage::Format format) const;
    // Sends a mouse event on to a table window, in its coordinates.
    static void Forward(CTableWnd *table, QMouseEvent *event);

    CDbView *m_view;
    QByteArray m_buffer;
    CLayer m_lines;
    CLayer m_tables;
    // The table window that a press on its drawing was handed to: the rest
    // of the press, which Qt delivers here, follows it.
    QPointer<CTableWnd> m_pressed;
};
