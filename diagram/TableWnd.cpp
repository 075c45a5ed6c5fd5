#include "diagram/TableWnd.h"

#include "db/DbmsAdapter.h"
#include "db/ResultCodes.h"
#include "diagram/ColumnDescription.h"
#include "diagram/IndexRows.h"
#include "diagram/PlatformMetrics.h"
#include "diagram/TableMetrics.h"
#include "diagram/SharedResources.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "view/DbView.h"

#include <algorithm>

namespace {
using TableMetrics::kAttributesWidth;
using TableMetrics::kSchemaWidth;
constexpr int kRow = TableMetrics::kRowHeight;
} // namespace

CTableWnd::CTableWnd(CDoc *doc, const std::string &name)
    : QWidget(nullptr), m_name(name), m_pDoc(doc)
{
    Shared::DbImage(TableImage); // the shared images exist from the first table on
    setWindowTitle(QString::fromStdString(name));
    // The window paints every pixel of itself, yet it is not declared
    // opaque: for opaque children Qt keeps the union of all their
    // rectangles and rebuilds it after every scroll step, which with
    // thousands of table windows costs more than the drawing itself.
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(false);
}

CTableWnd::~CTableWnd()
{
    ClearItems();
}

CDbView *CTableWnd::View() const { return m_pDoc ? m_pDoc->GetView() : nullptr; }

void CTableWnd::ClearItems() { m_items.clear(); }

CTableItem *CTableWnd::GetItem(int index) const
{
    if (index < 0 || index >= ItemCount())
        return nullptr;
    return m_items[static_cast<size_t>(index)].get();
}

void CTableWnd::AppendItem(std::unique_ptr<CTableItem> item) { m_items.push_back(std::move(item)); }

void CTableWnd::RemoveItem(int index)
{
    if (index >= 0 && index < ItemCount())
        m_items.erase(m_items.begin() + index);
}

void CTableWnd::TakeRowsFrom(CTableWnd &other)
{
    m_items.swap(other.m_items);
    ClearSelection();
    m_focus = std::clamp(m_focus, 0, std::max(0, ItemCount() - 1));
    m_anchor = m_focus;
}

int CTableWnd::LoadSchema()
{
    ClearItems();
    int result = LoadColumns();
    if (result >= 0)
        result = LoadIndexes();
    if (result >= 0)
        result = LoadTriggers();
    return result;
}

// A failed read is returned; the statement is closed either way.
int CTableWnd::LoadColumns()
{
    CDbSession &session = m_pDoc->GetSession();
    const CDbmsAdapter *adapter = session.GetAdapter();
    const bool declaredTypes = adapter && adapter->ReportsDeclaredTypes();
    // COLUMN_NAME, DATA_TYPE, TYPE_NAME, PRECISION, LENGTH, SCALE, NULLABLE.
    const int result = session.ReadRows(
        session.ListColumns(m_name), {4, 5, 6, 7, 8, 9, 11}, [&](const CDbRow &row) {
            CColumnFacts facts{row[2], row[1], row[3], row[4], row[5], row[6], declaredTypes};
            if (adapter)
                adapter->NormalizeColumnFacts(facts.m_typeName, facts.m_dataType,
                                              facts.m_precision, facts.m_length);
            AppendItem(std::make_unique<CTableItem>(Column, row[0], DescribeColumn(facts)));
        });
    if (result < 0)
        session.CloseStatement();
    return result;
}

int CTableWnd::LoadIndexes()
{
    CDbSession &session = m_pDoc->GetSession();
    std::vector<std::unique_ptr<CTableItem>> rows;
    int result = session.ListIndexes(m_name);
    if (result >= 0)
        result = ReadIndexRows(session, rows);
    const CDbmsAdapter *adapter = session.GetAdapter();
    for (auto &row : rows) {
        if (adapter && row->IsIndexHeader())
            row->m_name = adapter->ShownIndexName(row->m_name);
        AppendItem(std::move(row));
    }
    session.CloseStatement();
    return result;
}

int CTableWnd::LoadTriggers()
{
    CDbSession &session = m_pDoc->GetSession();
    CDbmsAdapter *adapter = session.GetAdapter();
    if (!adapter)
        return DbResult::kOk;
    std::vector<std::string> names;
    const int result = adapter->LoadTriggerNames(session, m_name, names);
    for (const std::string &name : names)
        AppendItem(std::make_unique<CTableItem>(Trigger, name));
    return result;
}

void CTableWnd::FitToContents()
{
    const int mode = m_pDoc ? m_pDoc->m_viewMode : Schema;
    const int rows = mode == TableDiagram ? 0 : ItemCount();
    const int frame = Platform::kSizingFrameHeight;
    const int height = rows == 0 ? frame + Platform::kCaptionHeight + 2
                                 : 3 * frame + Platform::kCaptionHeight + 2 + kRow * rows;
    const int width = mode == Attributes ? kAttributesWidth : kSchemaWidth;
    resize(width, height);
    // The rows may have changed without the size: the relationship lines
    // attached to them follow.
    if (CDbView *view = View())
        view->TableContentsChanged(this);
}

// Table windows live on the view's canvas, whose coordinates are already
// the diagram coordinates (scrolling moves the canvas, not its children).
QPoint CTableWnd::GetPosition() const { return pos(); }

QPoint CTableWnd::GetIndexAnchor(const std::string &indexName) const
{
    int offset = 0;
    if (m_pDoc && m_pDoc->m_viewMode == TableDiagram) {
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
    return pos() + ClientRect().topLeft() + QPoint(0, offset);
}

QRect CTableWnd::ClientRect() const
{
    return QRect(QPoint(Platform::kClientLeft, Platform::kClientTop),
                 QPoint(width() - Platform::kClientRightInset - 1,
                        height() - Platform::kClientBottomInset - 1));
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

bool CTableWnd::RowsHidden() const { return m_pDoc && m_pDoc->m_viewMode == TableDiagram; }

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
    update(GetRowRect(index).translated(ClientRect().topLeft()));
}

bool CTableWnd::InCaption(const QPoint &pos) const { return !ClientRect().contains(pos); }
