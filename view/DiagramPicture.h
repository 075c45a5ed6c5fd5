#pragma once

#include <QRect>
#include <QStringList>

class CDbView;
class QPaintDevice;

// The whole diagram as one picture, painted as the printer paints it: the
// relationship lines and the table windows, without page boundaries,
// selection or focus. The picture covers every table window and every line
// with a small white margin around them.
class CDiagramPicture
{
public:
    static constexpr int kMargin = 16;

    explicit CDiagramPicture(CDbView &view);

    // The part of the diagram the picture shows, in diagram coordinates; a
    // diagram without tables is a blank square of twice the margin.
    QRect Area() const { return m_area; }
    // Paints the picture on the device, the area's top-left corner at the
    // device's origin. False when the device cannot be painted on.
    bool Paint(QPaintDevice &device) const;
    // Every text the picture draws, whole, in the order it is drawn: each
    // table window's name, then its rows' names and, in the Attributes
    // mode, their descriptions. Empty texts draw nothing and are left out.
    // A picture may cut a text at its window's edge; these say what it was.
    QStringList Texts() const;
    // The table windows and the lines between them, in diagram
    // coordinates; an invalid rectangle without tables.
    static QRect DiagramBounds(const CDbView &view);

private:
    CDbView &m_view;
    QRect m_area;
};
