#include "view/DbView.h"

#include "diagram/RelationshipGeometry.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "view/RelationshipMap.h"

#include <QApplication>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// Windows are shown this far (canvas pixels) beyond the visible area, and
// kept until they are twice as far, so that small scroll steps back and
// forth do not show and hide the same windows each time.
constexpr int kNearMargin = 256;

} // namespace

bool CDbView::DrawnOnCanvas(const CTableWnd *table) const
{
    return m_drawnOnCanvas.count(table) > 0;
}

void CDbView::EnsureShown(CTableWnd *table)
{
    // A hidden window that the canvas does not draw has left the diagram.
    if (!HasWindow(table) || (table->isHidden() && !DrawnOnCanvas(table)))
        return;
    m_touched = table;
    SetShown(table, true);
}

// What the user works with stays a window: the active table (it takes the
// keys and has the focus), the drop target of a row drag (it carries the
// mark), the table last pressed or pointed at, and whatever holds the
// mouse or the focus.
std::array<const CTableWnd *, 5> CDbView::KeptShown() const
{
    const CTableWnd *focused = nullptr;
    for (const QWidget *focus = window()->focusWidget(); focus && !focused; focus = focus->parentWidget())
        focused = qobject_cast<const CTableWnd *>(focus);
    return {m_pActiveTable, m_pDropTable, m_touched.data(), focused,
            qobject_cast<const CTableWnd *>(QWidget::mouseGrabber())};
}

// Every hidden window of the document on the canvas is drawn by it, and no
// shown one.
void CDbView::SetShown(CTableWnd *table, bool shown)
{
    if (shown == !table->isHidden())
        return;
    if (shown)
        m_drawnOnCanvas.erase(table);
    else
        m_drawnOnCanvas.insert(table);
    m_showingNear = true;
    // Hiding repaints the canvas beneath, which now draws the table.
    table->setVisible(shown);
    m_showingNear = false;
}

void CDbView::DeliverPendingMoves() const
{
    for (int i = 0; m_pDoc && i < m_pDoc->TableCount(); ++i) {
        CTableWnd *table = m_pDoc->GetTable(i);
        if (!table->isHidden() || !HasWindow(table))
            continue;
        if (table->testAttribute(Qt::WA_PendingMoveEvent)) {
            table->setAttribute(Qt::WA_PendingMoveEvent, false);
            QMoveEvent moved(table->pos(), table->pos());
            QCoreApplication::sendEvent(table, &moved);
        }
        if (table->testAttribute(Qt::WA_PendingResizeEvent)) {
            table->setAttribute(Qt::WA_PendingResizeEvent, false);
            QResizeEvent resized(table->size(), table->size());
            QCoreApplication::sendEvent(table, &resized);
        }
    }
}

void CDbView::ShowNearTables()
{
    if (!m_pDoc)
        return;
    m_showNearPending = false;
    DeliverPendingMoves();
    const QRect visible(ScrollPosition(), viewport()->size());
    const QRect near = visible.adjusted(-kNearMargin, -kNearMargin, kNearMargin, kNearMargin);
    const QRect kept = near.adjusted(-kNearMargin, -kNearMargin, kNearMargin, kNearMargin);
    std::vector<CTableWnd *> tables;
    tables.reserve(static_cast<size_t>(m_pDoc->TableCount()));
    int nearCount = 0;
    for (int i = 0; i < m_pDoc->TableCount(); ++i) {
        CTableWnd *table = m_pDoc->GetTable(i);
        if (!HasWindow(table))
            continue;
        tables.push_back(table);
        nearCount += table->geometry().intersects(near) ? 1 : 0;
    }
    const bool windowsNear = nearCount <= kMostWindows;
    const auto keep = KeptShown();
    for (CTableWnd *table : tables) {
        const QRect &area = table->isHidden() ? near : kept;
        SetShown(table, !m_culling || std::find(keep.begin(), keep.end(), table) != keep.end()
                            || (windowsNear && table->geometry().intersects(area)));
    }
}

void CDbView::ScheduleShowNear()
{
    if (m_showNearPending)
        return;
    m_showNearPending = true;
    QTimer::singleShot(0, this, [this] {
        if (m_showNearPending)
            ShowNearTables();
    });
}

CTableWnd *CDbView::CanvasTableAt(const QPoint &canvasPoint) const
{
    const QObjectList &children = m_canvas->children();
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        auto *table = qobject_cast<CTableWnd *>(*it);
        if (table && table->geometry().contains(canvasPoint) && DrawnOnCanvas(table))
            return table;
    }
    return nullptr;
}

// Each table as its window would paint itself, clipped to its place; the
// canvas's children are in stacking order, bottom first.
void CDbView::DrawCanvasTables(QPainter &painter, const QRect &exposed)
{
    if (m_drawnOnCanvas.empty())
        return;
    for (QObject *child : m_canvas->children()) {
        auto *table = qobject_cast<CTableWnd *>(child);
        if (!table || !table->geometry().intersects(exposed) || !DrawnOnCanvas(table))
            continue;
        painter.save();
        painter.translate(table->pos());
        painter.setClipRect(QRect(QPoint(0, 0), table->size()), Qt::IntersectClip);
        table->PaintOnScreen(painter);
        painter.restore();
    }
}

namespace {

// Mixes a value into a running hash (the 64-bit FNV-1a step, a word at a
// time).
void Mix(unsigned long long &hash, unsigned long long value)
{
    hash = (hash ^ value) * 0x100000001b3ULL;
}

unsigned long long Bits(double value)
{
    unsigned long long bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

} // namespace

unsigned long long CDbView::CanvasLinesVersion()
{
    std::vector<const CTableWnd *> apart;
    for (const CTableWnd *table : KeptShown())
        if (HasWindow(table) && std::find(apart.begin(), apart.end(), table) == apart.end())
            apart.push_back(table);
    m_lines->SetApart(apart);
    unsigned long long hash = 0xcbf29ce484222325ULL;
    Mix(hash, m_lines->Changes());
    Mix(hash, static_cast<unsigned long long>(m_selRelationship));
    Mix(hash, Bits(m_zoom));
    return hash;
}

// Worked out afresh on every paint rather than kept up by notices: a few
// words per table cost far less than drawing them, and no way of changing
// a table can be missed.
unsigned long long CDbView::CanvasTablesFingerprint() const
{
    unsigned long long hash = 0xcbf29ce484222325ULL;
    Mix(hash, Bits(m_zoom));
    Mix(hash, static_cast<unsigned long long>(m_pDoc ? m_pDoc->m_viewMode : -1));
    if (m_drawnOnCanvas.empty())
        return hash;
    const std::hash<std::string> hashName;
    for (QObject *child : m_canvas->children()) {
        auto *table = qobject_cast<CTableWnd *>(child);
        if (!table || !DrawnOnCanvas(table))
            continue;
        const QRect place = table->geometry();
        Mix(hash, reinterpret_cast<quintptr>(table));
        Mix(hash, (static_cast<unsigned long long>(static_cast<quint32>(place.x())) << 32)
                      | static_cast<quint32>(place.y()));
        Mix(hash, (static_cast<unsigned long long>(static_cast<quint32>(place.width())) << 32)
                      | static_cast<quint32>(place.height()));
        Mix(hash, hashName(table->m_name));
        Mix(hash, (table->m_picked ? 1 : 0) | (table == m_pActiveTable ? 2 : 0));
        Mix(hash, static_cast<unsigned long long>(table->palette().cacheKey()));
    }
    return hash;
}

// As DrawCanvasRelationships draws them, of the lines set apart or of the
// others only: every line is black, so the two parts drawn one after the
// other set the pixels all of them would.
void CDbView::DrawCanvasLines(QPainter &painter, const QRect &exposed, bool apart)
{
    if (!m_pDoc)
        return;
    std::vector<int> ids;
    if (apart) {
        for (const CTableWnd *table : m_lines->Apart()) {
            const std::vector<int> lines = m_lines->LinesOf(table);
            ids.insert(ids.end(), lines.begin(), lines.end());
        }
        std::sort(ids.begin(), ids.end());
        ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    } else {
        ids = m_lines->LinesIn(CRelationshipMap::DiagramArea(exposed, m_zoom));
    }
    painter.save();
    painter.setBrush(Qt::NoBrush);
    CRelationshipRoute route;
    for (int id : ids) {
        if (m_lines->IsApart(id) != apart || !m_lines->Route(id, route))
            continue;
        painter.setPen(QPen(Qt::black, id == m_selRelationship ? 2 : 1));
        RelationshipGeometry::Draw(painter, CRelationshipMap::Scaled(route, m_zoom), exposed);
    }
    painter.restore();
}
