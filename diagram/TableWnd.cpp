#include "diagram/TableWnd.h"

#include "db/ResultCodes.h"
#include "diagram/DiagramSurface.h"
#include "diagram/DropStatements.h"
#include "diagram/PlatformMetrics.h"
#include "diagram/SharedResources.h"
#include "diagram/TableMetrics.h"
#include "diagram/TableSource.h"
#include "model/SchemaModel.h"
#include "res/Resource.h"

#include <QCoreApplication>
#include <QMoveEvent>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>
#include <set>

namespace {
using TableMetrics::kAttributesWidth;
using TableMetrics::kSchemaWidth;
constexpr int kRow = TableMetrics::kRowHeight;
} // namespace

CTableWnd::CTableWnd(CTableSource *source, const std::string &name)
    : QWidget(nullptr), m_name(name), m_source(source)
{
    Shared::DbImage(TableImage); // the shared images exist from the first table on
    setWindowTitle(QString::fromStdString(name));
    // The window paints every pixel of itself, yet it is not declared
    // opaque: for opaque children Qt keeps the union of all their
    // rectangles and rebuilds it after every scroll step, which with
    // thousands of table windows costs more than the drawing itself.
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(false);
    m_diagramRect = geometry();
}

CTableWnd::~CTableWnd()
{
    ClearItems();
}

CDiagramSurface *CTableWnd::Surface() const { return CDiagramSurface::Of(this); }

int CTableWnd::ViewMode() const { return m_source ? m_source->ViewMode() : Schema; }

void CTableWnd::ClearItems() { m_items.clear(); }

CTableItem *CTableWnd::GetItem(int index) const
{
    if (index < 0 || index >= ItemCount())
        return nullptr;
    return m_items[static_cast<size_t>(index)].get();
}

void CTableWnd::AppendItem(std::unique_ptr<CTableItem> item) { m_items.push_back(std::move(item)); }

int CTableWnd::LoadSchema() { return m_source ? m_source->ReloadTable(*this) : DbResult::kOk; }

namespace {

// What marks a row as the same row after the rows were made again: its
// kind and name, and for a segment the index it belongs to.
std::string RowKey(const CTableItem &item, const std::string &index)
{
    return std::to_string(item.m_kind) + '\n' + item.m_name + '\n'
           + (item.m_kind == IndexSegment ? index : std::string());
}

template <typename Visit>
void ForEachRow(const std::vector<std::unique_ptr<CTableItem>> &items, Visit visit)
{
    std::string index;
    for (const auto &item : items) {
        if (item->IsIndexHeader())
            index = item->m_name;
        visit(*item, index);
    }
}

} // namespace

void CTableWnd::ShowSchema(const CTableSchema &schema)
{
    std::set<std::string> selected;
    ForEachRow(m_items, [&](const CTableItem &item, const std::string &index) {
        if (item.m_selected)
            selected.insert(RowKey(item, index));
    });
    m_items.clear();
    for (const CSchemaColumn &column : schema.m_columns) {
        auto item = std::make_unique<CTableItem>(Column, column.m_name, column.Description());
        item->m_key = schema.IsKeyColumn(column.m_name);
        AppendItem(std::move(item));
    }
    for (const CSchemaIndex &index : schema.m_indexes) {
        AppendItem(std::make_unique<CTableItem>(index.m_unique ? UniqueIndex : Index, index.m_name));
        for (const std::string &segment : index.m_columns)
            AppendItem(std::make_unique<CTableItem>(IndexSegment, segment));
    }
    for (const std::string &trigger : schema.m_triggers)
        AppendItem(std::make_unique<CTableItem>(Trigger, trigger));
    if (!selected.empty())
        ForEachRow(m_items, [&](CTableItem &item, const std::string &index) {
            item.m_selected = selected.count(RowKey(item, index)) > 0;
        });
}

void CTableWnd::ShowModel()
{
    const CTableSchema *schema = m_source ? m_source->FindSchema(m_name) : nullptr;
    ShowSchema(schema ? *schema : CTableSchema{m_name, {}, {}, {}});
    FitToContents();
    update();
}

void CTableWnd::FitToContents()
{
    const int mode = ViewMode();
    const int rows = mode == TableDiagram ? 0 : ItemCount();
    const int frame = Platform::kSizingFrameHeight;
    const int height = rows == 0 ? frame + Platform::kCaptionHeight + 2
                                 : 3 * frame + Platform::kCaptionHeight + 2 + kRow * rows;
    const int width = mode == Attributes ? kAttributesWidth : kSchemaWidth;
    Resize(QSize(width, height));
    // The rows may have changed without the size: the relationship lines
    // attached to them follow.
    if (CDiagramSurface *surface = Surface())
        surface->TableContentsChanged(this);
}

namespace {

int Scale(int value, double zoom) { return static_cast<int>(std::lround(value * zoom)); }

// A diagram rectangle on a canvas shown at the zoom: both edges are
// rounded, so windows that touch in the diagram touch on the screen.
QRect Scaled(const QRect &rect, double zoom)
{
    if (zoom == 1.0)
        return rect;
    const int left = Scale(rect.left(), zoom);
    const int top = Scale(rect.top(), zoom);
    return QRect(left, top, std::max(1, Scale(rect.left() + rect.width(), zoom) - left),
                 std::max(1, Scale(rect.top() + rect.height(), zoom) - top));
}


} // namespace

void CTableWnd::SyncDiagramRect() const
{
    if (m_applyingGeometry)
        return;
    const QRect shown = geometry();
    const QRect expected = Scaled(m_diagramRect, m_zoom);
    if (shown.topLeft() != expected.topLeft())
        m_diagramRect.moveTopLeft(QPoint(Scale(shown.left(), 1 / m_zoom), Scale(shown.top(), 1 / m_zoom)));
    if (shown.size() != expected.size())
        m_diagramRect.setSize(QSize(Scale(shown.width(), 1 / m_zoom), Scale(shown.height(), 1 / m_zoom)));
}

void CTableWnd::ApplyGeometry()
{
    const QRect before = geometry();
    m_applyingGeometry = true;
    setGeometry(Scaled(m_diagramRect, m_zoom));
    m_applyingGeometry = false;
    // Qt keeps the move and resize of a hidden widget until it is shown. A
    // window the surface keeps hidden is still drawn on its canvas and its
    // lines still follow it: it gets them at once, as a shown one would.
    if (!isHidden() || !parentWidget() || m_zooming)
        return;
    if (pos() != before.topLeft()) {
        setAttribute(Qt::WA_PendingMoveEvent, false);
        QMoveEvent moved(pos(), before.topLeft());
        QCoreApplication::sendEvent(this, &moved);
    }
    if (size() != before.size()) {
        setAttribute(Qt::WA_PendingResizeEvent, false);
        QResizeEvent resized(size(), before.size());
        QCoreApplication::sendEvent(this, &resized);
    }
}

QPoint CTableWnd::GetPosition() const { return DiagramRect().topLeft(); }

QRect CTableWnd::DiagramRect() const
{
    SyncDiagramRect();
    return m_diagramRect;
}

void CTableWnd::MoveTo(const QPoint &diagramPos)
{
    SyncDiagramRect();
    m_diagramRect.moveTopLeft(diagramPos);
    ApplyGeometry();
}

void CTableWnd::Resize(const QSize &diagramSize)
{
    SyncDiagramRect();
    m_diagramRect.setSize(diagramSize);
    ApplyGeometry();
}

// A new zoom moves nothing in the diagram: a hidden window needs no move
// or resize event for it, now or when it is shown.
void CTableWnd::SetZoom(double zoom)
{
    SyncDiagramRect();
    m_zoom = zoom;
    m_zooming = true;
    ApplyGeometry();
    m_zooming = false;
    if (isHidden()) {
        setAttribute(Qt::WA_PendingMoveEvent, false);
        setAttribute(Qt::WA_PendingResizeEvent, false);
    }
}

// Events arrive in widget pixels; every handler works in the window's
// diagram coordinates, so hit testing agrees with the scaled drawing.
QPoint CTableWnd::ToLocal(const QPointF &widgetPoint) const
{
    if (m_zoom == 1.0)
        return widgetPoint.toPoint();
    return QPoint(static_cast<int>(std::floor(widgetPoint.x() / m_zoom)),
                  static_cast<int>(std::floor(widgetPoint.y() / m_zoom)));
}

QRect CTableWnd::ToWidget(const QRect &local) const
{
    if (m_zoom == 1.0)
        return local;
    const QRectF scaled(local.left() * m_zoom, local.top() * m_zoom, local.width() * m_zoom,
                        local.height() * m_zoom);
    return scaled.toAlignedRect();
}

QPoint CTableWnd::GetIndexAnchor(const std::string &indexName) const
{
    int offset = 0;
    if (ViewMode() == TableDiagram) {
        offset = -kRow;
    } else {
        int row = 0;
        for (; row < ItemCount(); ++row) {
            const CTableItem *item = GetItem(row);
            if (item->IsIndexHeader() && item->m_name == indexName)
                break;
        }
        offset = row * kRow;
    }
    return GetPosition() + ClientRect().topLeft() + QPoint(0, offset);
}

QRect CTableWnd::ClientRect() const
{
    const QSize size = DiagramRect().size();
    return QRect(QPoint(Platform::kClientLeft, Platform::kClientTop),
                 QPoint(size.width() - Platform::kClientRightInset - 1,
                        size.height() - Platform::kClientBottomInset - 1));
}

QRect CTableWnd::GetRowRect(int index) const
{
    int end = index + 1;
    const CTableItem *item = GetItem(index);
    if (item && item->IsIndexHeader()) {
        while (const CTableItem *next = GetItem(end)) {
            if (next->m_kind != IndexSegment)
                break;
            ++end;
        }
    }
    const int clientWidth = std::max(0, ClientRect().width());
    return QRect(QPoint(18, index * kRow), QPoint(clientWidth - 1, end * kRow - 1));
}

int CTableWnd::HitRow(int y) const
{
    int row = y / kRow;
    while (const CTableItem *item = GetItem(row)) {
        if (item->m_kind != IndexSegment)
            break;
        --row;
    }
    return row;
}

bool CTableWnd::RowsHidden() const { return ViewMode() == TableDiagram; }

int CTableWnd::FirstSelected() const
{
    for (int i = 0; i < ItemCount(); ++i)
        if (m_items[static_cast<size_t>(i)]->m_selected)
            return i;
    return -1;
}

void CTableWnd::SelectRange(int a, int b)
{
    const int low = std::min(a, b);
    const int high = std::max(a, b);
    for (int i = 0; i < ItemCount(); ++i) {
        CTableItem &item = *m_items[static_cast<size_t>(i)];
        const bool selected = i >= low && i <= high;
        if (item.m_selected != selected) {
            item.m_selected = selected;
            InvalidateRow(i);
        }
    }
}

void CTableWnd::ClearSelection()
{
    for (auto &item : m_items)
        item->m_selected = false;
}

void CTableWnd::InvalidateRow(int index)
{
    update(ToWidget(GetRowRect(index).translated(ClientRect().topLeft())));
}

bool CTableWnd::InCaption(const QPoint &pos) const { return !ClientRect().contains(pos); }

void CTableWnd::ApplyFocusRule() { m_focus = DropText::FocusAfterRemoval(m_focus, ItemCount()); }

bool CTableWnd::OnCommand(int id)
{
    CDiagramSurface *surface = Surface();
    return surface && surface->RunTableCommand(*this, id);
}

void CTableWnd::DropSelected() { OnCommand(Cmd::Drop); }
void CTableWnd::DropColumns() { OnCommand(Cmd::DropColumns); }
void CTableWnd::DropIndexes() { OnCommand(Cmd::DropIndexes); }
void CTableWnd::DropTriggers() { OnCommand(Cmd::DropTriggers); }
void CTableWnd::DropTable() { OnCommand(Cmd::DropTable); }
