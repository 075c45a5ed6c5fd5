#include "diagram/TableWnd.h"

#include "diagram/PlatformMetrics.h"
#include "diagram/TableMetrics.h"
#include "diagram/SharedResources.h"
#include "res/Resource.h"
#include "diagram/DiagramSurface.h"

#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace {

constexpr int kRow = TableMetrics::kRowHeight;
// Row layout in client coordinates: icon, name, and (Attributes mode) the
// column's type description.
constexpr int kIconX = 1;
constexpr int kNameX = 20;
constexpr int kDescriptionX = 120;
// Caption layout inside the caption bar.
constexpr int kCaptionIconInset = 2;
constexpr int kCaptionTextX = 20;
// Text is laid out in a cell as wide as the widest row could be; it is not
// clipped to the cell, only to the client area.
constexpr int kTextCellWidth = 1000;
// Below this zoom a window is drawn simplified; its name is written only
// when its caption bar is at least this many pixels high.
constexpr double kSimplifiedBelow = 0.5;
constexpr int kSmallestCaptionText = 8;

// The system colours the frame is drawn with, read at every drawing.
struct CFrameColours
{
    explicit CFrameColours(const QPalette &palette)
        : shadow(palette.color(QPalette::Dark)), highlight(palette.color(QPalette::Light)),
          light(palette.color(QPalette::Midlight)), dark(palette.color(QPalette::Shadow)),
          activeCaption(palette.color(QPalette::Highlight))
    {
    }
    QColor shadow;
    QColor highlight;
    QColor light;
    QColor dark;
    QColor activeCaption;
};

// A 1-pixel outline whose top and left edges have one colour and whose
// bottom and right edges another; the bottom-right pair wins the corners
// it shares with the top-left pair.
void Draw3dRect(QPainter &painter, const QRect &r, const QColor &topLeft, const QColor &bottomRight)
{
    const int w = r.width();
    const int h = r.height();
    if (w <= 0 || h <= 0)
        return;
    painter.fillRect(QRect(r.left(), r.top(), w - 1, 1), topLeft);
    painter.fillRect(QRect(r.left(), r.top(), 1, h - 1), topLeft);
    painter.fillRect(QRect(r.left() + w - 1, r.top(), 1, h), bottomRight);
    painter.fillRect(QRect(r.left(), r.top() + h - 1, w, 1), bottomRight);
}

QFont CaptionFont()
{
    return Shared::FontOfHeight(QStringLiteral("MS Sans Serif"), 14, QFont::Bold);
}

QFont KeyFont()
{
    QFont font = Shared::DiagramFont();
    font.setUnderline(true);
    return font;
}

// The SVG generator writes no clipping, so text that the screen and the
// printer cut at an edge would run past it in a picture; there it keeps
// only the whole characters that fit in the width.
QString FitForDevice(const QPainter &painter, const QString &text, int width)
{
    if (painter.paintEngine()->type() != QPaintEngine::SVG)
        return text;
    const QFontMetrics metrics = painter.fontMetrics();
    int length = static_cast<int>(text.size());
    while (length > 0 && metrics.horizontalAdvance(text.left(length)) > width)
        --length;
    return text.left(length);
}

// A row's text, cut at the client's right edge width pixels from x.
void DrawRowText(QPainter &painter, int x, int y, int width, const std::string &text)
{
    painter.drawText(QRect(x, y, kTextCellWidth, kRow),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                     FitForDevice(painter, QString::fromStdString(text), width));
}

// Inverts every pixel of the rectangle.
void Invert(QPainter &painter, const QRect &rect)
{
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.fillRect(rect, Qt::black);
    painter.restore();
}

// Selected column and trigger rows are inverted one by one. A selected
// index header is inverted together with its segment rows, once the last
// segment row is reached; segment rows are never inverted on their own.
void PaintSelection(QPainter &painter, const CTableWnd &table)
{
    int header = -1;
    for (int i = 0; i < table.ItemCount(); ++i) {
        const CTableItem &item = *table.GetItem(i);
        if (item.IsIndexHeader()) {
            header = i;
        } else if (item.m_kind == IndexSegment) {
            const CTableItem *next = table.GetItem(i + 1);
            const bool lastOfBlock = !next || next->m_kind != IndexSegment;
            if (lastOfBlock && header >= 0 && table.GetItem(header)->m_selected)
                Invert(painter, table.GetRowRect(header).translated(table.m_drawOrigin));
        } else if (item.m_selected) {
            Invert(painter, table.GetRowRect(i).translated(table.m_drawOrigin));
        }
    }
}

// The focus row's outline, dotted (every other pixel) and inverting, on the
// row's edge pixels: its right edge on the last pixel column of the row's
// highlight rectangle, its bottom edge on the row's last line. (The row
// rectangle counts its right and bottom edges inside, so they are the
// rectangle's own.)
void PaintFocusRect(QPainter &painter, const CTableWnd &table)
{
    const QRect r = table.GetRowRect(table.m_focus).translated(table.m_drawOrigin);
    QPen pen(Qt::black, 1);
    pen.setCosmetic(true);
    pen.setDashPattern({1, 1});
    const QPoint corners[] = {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft(),
                              r.topLeft()};
    painter.save();
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.drawPolyline(corners, 5);
    painter.restore();
}

void PaintPickedMark(QPainter &painter, const QRect &outer, const QColor &colour)
{
    painter.save();
    painter.setPen(QPen(colour, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(outer).adjusted(1, 1, -1, -1));
    painter.restore();
}

} // namespace

void CTableWnd::PaintClient(QPainter &painter, bool printing)
{
    const QPoint origin = m_drawOrigin;
    const int mode = ViewMode();
    const QRect client = ClientRect();
    painter.save();
    painter.setFont(Shared::DiagramFont());
    painter.fillRect(QRect(origin, client.size()), Qt::white);
    painter.setPen(Qt::black);

    // Every row is drawn, also when the window shows only its caption: the
    // rows then lie outside the visible client area.
    for (int i = 0; i < ItemCount(); ++i) {
        const CTableItem &item = *GetItem(i);
        const int y = origin.y() + i * kRow;
        painter.drawPixmap(origin.x() + kIconX, y, Shared::DbImage(item.m_kind));
        // A key column's name is underlined, as diagrams have long marked
        // keys; the font goes back at once, so no other row changes.
        if (item.m_key)
            painter.setFont(KeyFont());
        DrawRowText(painter, origin.x() + kNameX, y, client.width() - kNameX, item.m_name);
        if (item.m_key)
            painter.setFont(Shared::DiagramFont());
        if (mode == Attributes)
            DrawRowText(painter, origin.x() + kDescriptionX, y, client.width() - kDescriptionX,
                        item.m_description);
    }

    const CDiagramSurface *surface = Surface();
    const bool active = !printing && surface && surface->m_pActiveTable == this;
    if (active) {
        PaintSelection(painter, *this);
        PaintFocusRect(painter, *this);
    }
    painter.restore();
}

void CTableWnd::PaintFrame(QPainter &painter, bool printing)
{
    const CFrameColours colours(palette());
    QRect r(m_drawOrigin, DiagramRect().size());
    painter.save();

    // The raised outer border.
    Draw3dRect(painter, r, colours.light, colours.dark);
    r.adjust(1, 1, -1, -1);
    Draw3dRect(painter, r, colours.highlight, colours.shadow);
    r.adjust(1, 1, -1, -1);
    Draw3dRect(painter, r, colours.light, colours.light);
    r.adjust(1, 1, -1, -1);

    // The caption bar with the table icon and the table's name.
    const QRect bar(QPoint(r.left(), r.top()),
                    QPoint(r.right(), r.top() + Platform::kCaptionHeight - 2));
    const CDiagramSurface *surface = Surface();
    const bool active = !printing && surface && surface->m_pActiveTable == this;
    painter.fillRect(bar, active ? colours.activeCaption : colours.shadow);
    painter.drawPixmap(bar.left() + kCaptionIconInset, bar.top() + kCaptionIconInset,
                       Shared::DbImage(TableImage));
    painter.setFont(CaptionFont());
    painter.setPen(colours.highlight);
    const QRect textRect(QPoint(bar.left() + kCaptionTextX, bar.top() + kCaptionIconInset),
                         bar.bottomRight());
    // Drawing into the rectangle clips the name to the bar.
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     FitForDevice(painter, QString::fromStdString(m_name), textRect.width()));

    // The sunken edge around the client area below the bar.
    r.adjust(-1, -1, 1, 1);
    r.setTop(bar.bottom() + 1);
    Draw3dRect(painter, r, colours.light, colours.light);
    r.adjust(1, 1, -1, -1);
    Draw3dRect(painter, r, colours.shadow, colours.highlight);
    r.adjust(1, 1, -1, -1);
    Draw3dRect(painter, r, colours.dark, colours.light);
    // A table picked for Arrange Selected is framed in the selection
    // colour over its raised border; the mark is not printed.
    if (m_picked && !printing)
        PaintPickedMark(painter, QRect(m_drawOrigin, DiagramRect().size()), colours.activeCaption);
    painter.restore();
}

// Far out the rows are too small to read and the frame's edges merge: the
// window shows a box, its caption bar and, when it fits, the name. That is
// also what keeps a whole large diagram quick to repaint.
void CTableWnd::PaintSimplified(QPainter &painter)
{
    const CFrameColours colours(palette());
    const CDiagramSurface *surface = Surface();
    const bool active = surface && surface->m_pActiveTable == this;
    const QRect box = rect();
    painter.fillRect(box, Qt::white);
    const int barHeight = std::max(1, qRound((Platform::kCaptionHeight + Platform::kBorderWidth) * m_zoom));
    const QRect bar(box.left(), box.top(), box.width(), std::min(barHeight, box.height()));
    painter.fillRect(bar, active ? colours.activeCaption : colours.shadow);
    painter.setPen(colours.dark);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    if (m_picked)
        PaintPickedMark(painter, box, colours.activeCaption);
    if (bar.height() < kSmallestCaptionText)
        return;
    painter.setFont(Shared::FontOfHeight(QStringLiteral("MS Sans Serif"), bar.height() - 2, QFont::Bold));
    painter.setPen(colours.highlight);
    painter.drawText(bar.adjusted(2, 0, -1, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     QString::fromStdString(m_name));
}

void CTableWnd::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    PaintOnScreen(painter);
}

void CTableWnd::PaintOnScreen(QPainter &painter)
{
    if (m_zoom < kSimplifiedBelow) {
        PaintSimplified(painter);
        return;
    }
    if (m_zoom != 1.0)
        painter.scale(m_zoom, m_zoom);
    PaintFrame(painter, false);
    const QRect client = ClientRect();
    if (client.isEmpty())
        return;
    painter.translate(client.topLeft());
    painter.setClipRect(QRect(QPoint(0, 0), client.size()));
    PaintClient(painter, false);
}

void CTableWnd::PaintForPrint(QPainter &painter)
{
    const QRect outer = DiagramRect();
    const QRect client = ClientRect().translated(outer.topLeft());
    painter.save();
    m_drawOrigin = outer.topLeft();
    PaintFrame(painter, true);
    if (!client.isEmpty()) {
        painter.setClipRect(client, Qt::IntersectClip);
        m_drawOrigin = client.topLeft();
        PaintClient(painter, true);
    }
    m_drawOrigin = QPoint();
    painter.restore();
}

// The relationship lines of the view attach to the table windows; moving or
// resizing one redraws the view's background so that they follow.
void CTableWnd::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    if (CDiagramSurface *surface = Surface())
        surface->Canvas()->update();
}

void CTableWnd::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (CDiagramSurface *surface = Surface())
        surface->Canvas()->update();
}
