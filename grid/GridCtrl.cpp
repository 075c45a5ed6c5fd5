#include "grid/GridCtrl.h"

#include "grid/GridColumn.h"
#include "grid/GridHeaderCtrl.h"
#include "grid/GridImageList.h"
#include "grid/GridMetrics.h"

#include <QEvent>
#include <QFontMetrics>
#include <QScrollBar>
#include <QStandardItemModel>

#include <algorithm>

using Grid::kRowHeight;

CGridCtrl::CGridCtrl(QWidget *parent)
    : QAbstractScrollArea(parent), m_model(new QStandardItemModel(this)),
      m_images(CGridImageList::Instance())
{
    // No click focus: a click must find out whether the grid already had the
    // focus (a second click edits), so mousePressEvent takes it itself.
    setFocusPolicy(Qt::TabFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setBackgroundRole(QPalette::Base);
    FitFontToRows();
    m_header = new CGridHeaderCtrl(this, m_model, viewport());
    // An open editor stands over its cell: when the columns move it closes,
    // its value kept.
    connect(m_header, &QHeaderView::sectionResized, this, [this] {
        CommitEdit();
        viewport()->update();
    });
    // Scrolling by the scroll bar first takes the focus from any editor.
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, [this] { TakeFocus(); });
}

CGridCtrl::~CGridCtrl()
{
    m_columns.clear();
}

int CGridCtrl::AddColumn(CGridColumn *column, const QString &heading, int width)
{
    const int index = GetColumnCount();
    m_columns.emplace_back(column);
    m_model->insertColumn(index);
    m_model->setHeaderData(index, Qt::Horizontal, heading);
    m_header->SetInitialWidth(index, width);
    LayoutHeader();
    return index;
}

void CGridCtrl::InitRows()
{
    const int client = GetClientRect().height();
    const int header = HeaderHeight();
    const int rows = std::max(0, (client - header) / kRowHeight);
    for (int row = GetItemCount(); row < rows; ++row)
        InsertRow(row);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Rows the dialog inserted beyond the visible ones stay reachable.
    verticalScrollBar()->setEnabled(GetItemCount() > rows);
    resize(width(), height() - client + header + rows * kRowHeight);
    UpdateScrollRange();
}

void CGridCtrl::InsertRow(int row, const QString &text)
{
    if (row < 0)
        return;
    // Like a list control, a row beyond the end is appended.
    row = std::min(row, GetItemCount());
    m_model->insertRow(row);
    if (GetColumnCount() > 0)
        m_model->setItem(row, 0, new QStandardItem(text));
    UpdateScrollRange();
    viewport()->update();
}

// The headings stay as legible as before: only the mouse is shut out.
void CGridCtrl::DisableHeader()
{
    QPalette palette = m_header->palette();
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto colourRole = static_cast<QPalette::ColorRole>(role);
        palette.setColor(QPalette::Disabled, colourRole, palette.color(QPalette::Active, colourRole));
    }
    m_header->setPalette(palette);
    m_header->setEnabled(false);
}

int CGridCtrl::GetItemCount() const
{
    return m_model->rowCount();
}

QString CGridCtrl::GetItemText(int row, int column) const
{
    if (!IsValidCell(row, column))
        return QString();
    const QStandardItem *item = m_model->item(row, column);
    return item ? item->text() : QString();
}

void CGridCtrl::SetItemText(int row, int column, const QString &text)
{
    if (!IsValidCell(row, column))
        return;
    m_model->setItem(row, column, new QStandardItem(text));
    // Which cells are locked may follow from any cell's text.
    viewport()->update();
}

void CGridCtrl::CommitEdit()
{
    for (const auto &column : m_columns)
        column->EndEdit();
}

int CGridCtrl::GetColumnCount() const
{
    return m_header->count();
}

int CGridCtrl::GetColumnWidth(int column) const
{
    return column >= 0 && column < GetColumnCount() ? m_header->sectionSize(column) : 0;
}

void CGridCtrl::SetColumnWidth(int column, int width)
{
    if (column >= 0 && column < GetColumnCount())
        m_header->resizeSection(column, width);
}

int CGridCtrl::GetTotalColumnWidth() const
{
    int total = 0;
    for (int column = 0; column < GetColumnCount(); ++column)
        total += GetColumnWidth(column);
    return total;
}

// Computed from the frame rather than read from the viewport, which is laid
// out only once the grid is shown.
QRect CGridCtrl::GetClientRect() const
{
    const QRect contents = contentsRect();
    int width = contents.width();
    if (verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn)
        width -= GetScrollBarWidth();
    return QRect(0, 0, width, contents.height());
}

int CGridCtrl::GetScrollBarWidth() const
{
    return verticalScrollBar()->sizeHint().width();
}

// The row's slice of the column, shrunk by one pixel on every side and
// shifted one pixel left: the grid lines lie around it.
QRect CGridCtrl::GetCellRect(int row, int column) const
{
    if (!IsValidCell(row, column))
        return QRect();
    int left = 0;
    for (int i = 0; i < column; ++i)
        left += GetColumnWidth(i);
    return QRect(left, ItemTop(row) + 1, GetColumnWidth(column) - 2, kRowHeight - 2);
}

CGridCtrl::Cell CGridCtrl::HitTestCell(const QPoint &point) const
{
    if (point.y() < HeaderHeight() || point.y() >= GetClientRect().height())
        return {};
    const int row = TopRow() + (point.y() - HeaderHeight()) / kRowHeight;
    if (row >= GetItemCount())
        return {};
    for (int column = 0; column < GetColumnCount(); ++column) {
        const QRect cell = GetCellRect(row, column);
        if (cell.x() + cell.width() >= point.x())
            return {row, column};
    }
    return {};
}

void CGridCtrl::InvalidateCell(int row, int column)
{
    if (IsValidCell(row, column))
        viewport()->update(GetCellRect(row, column).adjusted(0, 0, 1, 1));
}

void CGridCtrl::InvalidateRow(int row)
{
    if (!IsValidCell(row, 0))
        return;
    const QRect first = GetCellRect(row, 0);
    const QRect last = GetCellRect(row, GetColumnCount() - 1);
    viewport()->update(QRect(first.left(), first.top(), last.right() + 1 - first.left(), kRowHeight + 2));
}

bool CGridCtrl::IsCellLocked(int row, int column) const
{
    if (!IsValidCell(row, column) || !m_notify)
        return false;
    const CGridNotification question{const_cast<CGridCtrl *>(this), GN_ISCELLLOCKED, row, column};
    return m_notify(question) != 0;
}

bool CGridCtrl::BeginEdit(int row, int column)
{
    if (!IsValidCell(row, column) || IsCellLocked(row, column))
        return false;
    // The grid always offers an empty row below the one being edited.
    if (row + 1 == GetItemCount()) {
        InsertRow(row + 1);
        verticalScrollBar()->setEnabled(true);
    }
    m_columns[column]->StartEdit(row);
    InvalidateCell(m_row, m_column);
    m_row = row;
    m_column = column;
    m_focus = true;
    InvalidateCell(m_row, m_column);
    return true;
}

void CGridCtrl::TakeFocus()
{
    setFocus(Qt::OtherFocusReason);
    // Focus events reach an editor only in the active window; whatever is
    // still open closes here.
    CommitEdit();
}

bool CGridCtrl::IsValidCell(int row, int column) const
{
    return row >= 0 && row < GetItemCount() && column >= 0 && column < GetColumnCount();
}

int CGridCtrl::HeaderHeight() const
{
    return GetColumnCount() > 0 ? m_header->sizeHint().height() : 0;
}

int CGridCtrl::TopRow() const
{
    return verticalScrollBar()->value();
}

int CGridCtrl::ItemTop(int row) const
{
    return HeaderHeight() + (row - TopRow()) * kRowHeight;
}

int CGridCtrl::VisibleRowCount() const
{
    return std::max(0, (GetClientRect().height() - HeaderHeight()) / kRowHeight);
}

// The scroll bar counts rows: its value is the top row.
void CGridCtrl::UpdateScrollRange()
{
    const int visible = VisibleRowCount();
    verticalScrollBar()->setRange(0, std::max(0, GetItemCount() - visible));
    verticalScrollBar()->setPageStep(std::max(1, visible));
}

void CGridCtrl::LayoutHeader()
{
    m_header->setGeometry(0, 0, viewport()->width(), HeaderHeight());
}

// The rows are 16 pixels whatever the font, so a taller font would lose its
// descenders (the underscores of names) at the cells' bottom edges.
void CGridCtrl::FitFontToRows()
{
    QFont fitted = font();
    if (QFontMetrics(fitted).height() <= Grid::kTextHeight)
        return;
    int size = Grid::kTextHeight;
    fitted.setPixelSize(size);
    while (size > 1 && QFontMetrics(fitted).height() > Grid::kTextHeight)
        fitted.setPixelSize(--size);
    setFont(fitted);
}

void CGridCtrl::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        FitFontToRows();
    QAbstractScrollArea::changeEvent(event);
}

void CGridCtrl::resizeEvent(QResizeEvent *)
{
    LayoutHeader();
    UpdateScrollRange();
    m_header->FillClientWidth();
}

void CGridCtrl::scrollContentsBy(int, int)
{
    viewport()->update();
}
