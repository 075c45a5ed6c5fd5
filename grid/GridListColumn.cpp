#include "grid/GridListColumn.h"

#include "grid/GridCtrl.h"
#include "grid/GridImageList.h"
#include "grid/GridMetrics.h"
#include "grid/GridPaint.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

CGridListColumn::CGridListColumn(CGridCtrl *grid, const QString &heading, int width)
    : QListWidget(EditorParent(grid)), CGridColumn(grid, heading, width)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUniformItemSizes(true);
    setGeometry(0, 0, 100, 100);
    hide();
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (m_open)
            WriteSelection();
    });
}

CGridListColumn::~CGridListColumn()
{
    m_open = false;
}

int CGridListColumn::AddString(const QString &text)
{
    int index = count();
    for (int i = 0; i < count(); ++i) {
        if (QString::compare(item(i)->text(), text, Qt::CaseInsensitive) > 0) {
            index = i;
            break;
        }
    }
    insertItem(index, text);
    return index;
}

void CGridListColumn::ForwardKey(const QKeyEvent &event)
{
    SendKey(this, event);
}

// Opening changes no cell.
void CGridListColumn::StartEdit(int row)
{
    const QRect cell = CellRect(row);
    const QPoint below = Grid()->viewport()->mapTo(parentWidget(), cell.bottomLeft() + QPoint(0, 2));
    SelectForCell(CellText(row));
    ShowEditor(this, QRect(below, QSize(cell.width() + 1, Grid::kDropDownHeight)));
    if (currentItem())
        scrollToItem(currentItem());
    m_editRow = row;
    m_open = true;
    setFocus(Qt::OtherFocusReason);
}

// A cell that holds a value opens the list at that value, or with nothing
// selected when the list does not offer it, so that closing the list
// without a choice keeps the value. An empty cell finds the selection of
// the list's last use.
void CGridListColumn::SelectForCell(const QString &text)
{
    if (text.isEmpty())
        return;
    const QList<QListWidgetItem *> matches = findItems(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (matches.isEmpty()) {
        clearSelection();
        setCurrentItem(nullptr);
    } else {
        setCurrentItem(matches.first());
    }
}

void CGridListColumn::DrawCell(QPainter &painter, int row, bool focused)
{
    const QRect cell = CellRect(row);
    GridPaint::PaintCellBackground(painter, cell, palette());
    GridPaint::PaintCellText(painter, cell, CellText(row), QPoint(2, 0), palette());
    if (focused) {
        const QPoint button(cell.x() + cell.width() - Grid::kDropButtonInset, cell.top());
        Grid()->Images()->Draw(painter, button, Grid::kDropButton);
        GridPaint::PaintFocusFrame(painter, cell);
    }
}

void CGridListColumn::WriteSelection()
{
    const QList<QListWidgetItem *> selected = selectedItems();
    if (!selected.isEmpty())
        SetCellText(m_editRow, selected.first()->text());
}

// With nothing selected the cell keeps its text.
void CGridListColumn::EndEdit()
{
    if (!m_open)
        return;
    m_open = false;
    WriteSelection();
    HideEditor(this);
}

// Left and Right move on to the neighbouring cell; Enter and Alt+Down
// close the list with the item chosen. Enter stays with the list, as in
// any drop-down: a type chosen with it often still wants its size, so it
// must not press the dialog's default button too. Every other key moves
// the selection as in any list.
void CGridListColumn::keyPressEvent(QKeyEvent *event)
{
    const bool alt = event->modifiers() & Qt::AltModifier;
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        Grid()->TakeFocus();
        event->accept();
        return;
    }
    if (LeaveForDialogKey(event))
        return;
    if (!alt && (key == Qt::Key_Left || key == Qt::Key_Right))
        PassKeyToGrid(event);
    else if (alt && key == Qt::Key_Down)
        Grid()->TakeFocus();
    else
        QListWidget::keyPressEvent(event);
}

// A click picks the item under the pointer and closes the list.
void CGridListColumn::mousePressEvent(QMouseEvent *event)
{
    QListWidget::mousePressEvent(event);
    if (isVisible())
        Grid()->TakeFocus();
}

void CGridListColumn::focusOutEvent(QFocusEvent *event)
{
    QListWidget::focusOutEvent(event);
    CloseOnFocusLoss(*event);
}

void CGridListColumn::hideEvent(QHideEvent *event)
{
    QListWidget::hideEvent(event);
    EndEdit();
}
