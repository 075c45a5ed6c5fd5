#include "diagram/TableWnd.h"

#include "db/DbmsAdapter.h"
#include "db/ResultCodes.h"
#include "diagram/ColumnDescription.h"
#include "diagram/PlatformMetrics.h"
#include "diagram/TableMetrics.h"
#include "diagram/SharedResources.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "view/DbView.h"

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

int CTableWnd::LoadColumns()
{
    CDbSession &session = m_pDoc->GetSession();
    const CDbmsAdapter *adapter = session.GetAdapter();
    const bool declaredTypes = adapter && adapter->ReportsDeclaredTypes();
    int result = session.ListColumns(m_name);
    while (result >= 0) {
        std::string name;
        CColumnFacts facts;
        facts.m_declaredType = declaredTypes;
        result = session.Fetch();
        if (result >= 0) result = session.GetColumnText(4, name);
        if (result >= 0) result = session.GetColumnText(5, facts.m_dataType);
        if (result >= 0) result = session.GetColumnText(6, facts.m_typeName);
        if (result >= 0) result = session.GetColumnText(7, facts.m_precision);
        if (result >= 0) result = session.GetColumnText(8, facts.m_length);
        if (result >= 0) result = session.GetColumnText(9, facts.m_scale);
        if (result >= 0) result = session.GetColumnText(11, facts.m_nullable);
        if (result < 0)
            break;
        if (adapter)
            adapter->NormalizeColumnFacts(facts.m_typeName, facts.m_dataType, facts.m_precision,
                                          facts.m_length);
        AppendItem(std::make_unique<CTableItem>(Column, name, DescribeColumn(facts)));
    }
    if (result == DbResult::kNoData)
        result = DbResult::kOk;
    session.CloseStatement();
    return result;
}

// The statistics result may begin with the table-statistics row (TYPE 0);
// only that row is skipped, since some drivers send none and skipping
// blindly would lose the first index column. Columns are read in increasing
// order (TYPE, NON_UNIQUE, INDEX_NAME, COLUMN_NAME) so that drivers which
// allow SQLGetData only in that order read them too.
int CTableWnd::LoadIndexes()
{
    CDbSession &session = m_pDoc->GetSession();
    int result = session.ListIndexes(m_name);
    std::string previous;
    bool first = true;
    while (result >= 0) {
        std::string nonUnique, indexName, type, column;
        result = session.Fetch();
        if (result >= 0) result = session.GetColumnText(4, nonUnique);
        if (result >= 0) result = session.GetColumnText(6, indexName);
        if (result >= 0) result = session.GetColumnText(7, type);
        if (result < 0)
            break;
        const bool tableStatistics = type == "0";
        if (first && tableStatistics) {
            first = false;
            continue;
        }
        first = false;
        if (tableStatistics)
            continue;
        result = session.GetColumnText(9, column);
        if (indexName != previous) {
            previous = indexName;
            AppendItem(std::make_unique<CTableItem>(nonUnique == "0" ? UniqueIndex : Index,
                                                    indexName));
        }
        if (result < 0)
            break;
        AppendItem(std::make_unique<CTableItem>(IndexSegment, column));
    }
    if (result == DbResult::kNoData)
        result = DbResult::kOk;
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
        offset = -m_rowHeight;
    } else {
        int row = 0;
        for (; row < ItemCount(); ++row) {
            const CTableItem *item = GetItem(row);
            if (item->IsIndexHeader() && item->m_name == indexName)
                break;
        }
        offset = row * m_rowHeight;
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
