#include "grid/GridColumn.h"

#include "grid/GridCtrl.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QRect>

CGridColumn::CGridColumn(CGridCtrl *grid, const QString &heading, int width)
    : m_grid(grid)
{
    m_column = grid->AddColumn(this, heading, width);
}

CGridColumn::~CGridColumn() = default;

void CGridColumn::ForwardKey(const QKeyEvent &) {}

void CGridColumn::StartEdit(int) {}

void CGridColumn::DrawCell(QPainter &, int, bool) {}

void CGridColumn::EndEdit() {}

QString CGridColumn::CellText(int row) const
{
    return m_grid->GetItemText(row, m_column);
}

void CGridColumn::SetCellText(int row, const QString &text)
{
    m_grid->SetItemText(row, m_column, text);
}

QRect CGridColumn::CellRect(int row) const
{
    return m_grid->GetCellRect(row, m_column);
}

QWidget *CGridColumn::EditorParent(CGridCtrl *grid)
{
    return grid->parentWidget() ? grid->parentWidget() : grid;
}

void CGridColumn::ShowEditor(QWidget *editor, const QRect &rect)
{
    editor->setFont(m_grid->font());
    editor->setGeometry(rect);
    QWidget *before = m_grid->previousInFocusChain();
    if (before != editor && !editor->isAncestorOf(before) && before->window() == editor->window())
        QWidget::setTabOrder(before, editor);
    editor->raise();
    editor->show();
}

void CGridColumn::HideEditor(QWidget *editor)
{
    m_grid->ClearFocusFlag();
    editor->hide();
    m_grid->InvalidateRow(m_editRow);
}

void CGridColumn::PassKeyToGrid(QKeyEvent *event)
{
    m_grid->TakeFocus();
    QCoreApplication::sendEvent(m_grid, event);
    event->accept();
}

bool CGridColumn::LeaveForDialogKey(QKeyEvent *event)
{
    const int key = event->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Escape)
        return false;
    m_grid->TakeFocus();
    event->ignore();
    return true;
}

bool CGridColumn::TabFromEditor(bool next) { return m_grid->TabToCell(next); }

void CGridColumn::CloseOnFocusLoss(const QFocusEvent &event)
{
    if (event.reason() != Qt::PopupFocusReason)
        EndEdit();
}

void CGridColumn::SendKey(QWidget *editor, const QKeyEvent &event)
{
    QKeyEvent copy(event.type(), event.key(), event.modifiers(), event.text(), event.isAutoRepeat(),
                   event.count());
    QCoreApplication::sendEvent(editor, &copy);
}
