#pragma once

#include <QImage>
#include <QObject>

class QPainter;
class QPoint;

// The five 16x16 pictures every grid of the program shares ("IDB_GridImages",
// see Grid::ImageIndex), drawn in code on a transparent background. The
// first grid creates the list as a child of the application object, so it
// lives exactly as long as the application; nothing of it outlives it.
class CGridImageList : public QObject
{
    Q_OBJECT

public:
    // The application's list, created on first use.
    static CGridImageList *Instance();

    // The picture with that index; a null image for any other index.
    QImage Image(int index) const;
    // Draws the picture with its top-left corner at topLeft; nothing for an
    // index outside the list (-1 means "no image").
    void Draw(QPainter &painter, const QPoint &topLeft, int index) const;

private:
    explicit CGridImageList(QObject *application);

    QImage m_images[5];
};
