#include "grid/GridEditColumn.h"

#include "grid/GridCtrl.h"
#include "grid/GridPaint.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QValidator>

namespace {

// Space QLineEdit keeps free on either side of its text, and the caret's
// column after it: text wider than the rest makes the box scroll.
constexpr int kTextMargin = 2;
constexpr int kCaretWidth = 1;

// Refuses an edit that would make the text wider than the box, so that the
// box never scrolls; a text already too wide (set from a cell) may still
// be shortened.
class CFitWidthValidator : public QValidator
{
public:
    explicit CFitWidthValidator(QLineEdit *edit)
        : QValidator(edit), m_edit(edit)
    {
        connect(edit, &QLineEdit::textChanged, this, [this](const QString &text) { m_width = Width(text); });
    }

    State validate(QString &input, int &) const override
    {
        const int width = Width(input);
        const int room = m_edit->contentsRect().width() - 2 * kTextMargin - kCaretWidth;
        return width <= room || width <= m_width ? Acceptable : Invalid;
    }

private:
    int Width(const QString &text) const { return m_edit->fontMetrics().horizontalAdvance(text); }

    QLineEdit *m_edit;
    int m_width = 0;
};

} // namespace

CGridEditColumn::CGridEditColumn(CGridCtrl *grid, const QString &heading, int width)
    : QLineEdit(EditorParent(grid)), CGridColumn(grid, heading, width)
{
    setFrame(false);
    setValidator(new CFitWidthValidator(this));
    setGeometry(0, 0, 100, 15);
    hide();
}

CGridEditColumn::~CGridEditColumn()
{
    m_open = false;
}

void CGridEditColumn::ForwardKey(const QKeyEvent &event)
{
    SendKey(this, event);
}

void CGridEditColumn::StartEdit(int row)
{
    const QRect cell = CellRect(row);
    const QRect inside(Grid()->viewport()->mapTo(parentWidget(), cell.topLeft() + QPoint(1, 1)),
                       QSize(cell.width() - 2, cell.height() - 2));
    setText(CellText(row));
    ShowEditor(this, inside);
    m_editRow = row;
    m_open = true;
    setFocus(Qt::OtherFocusReason);
}

void CGridEditColumn::DrawCell(QPainter &painter, int row, bool focused)
{
    const QRect cell = CellRect(row);
    GridPaint::PaintCellBackground(painter, cell, palette());
    GridPaint::PaintCellText(painter, cell, CellText(row), QPoint(1, 1), palette());
    if (focused)
        GridPaint::PaintFocusFrame(painter, cell);
}

// The whole text goes into the cell, changed or not.
void CGridEditColumn::EndEdit()
{
    if (!m_open)
        return;
    m_open = false;
    SetCellText(m_editRow, text());
    HideEditor(this);
}

// Left and Right leave the box at the ends of its text, Up and Down always.
bool CGridEditColumn::LeavesBy(int key) const
{
    switch (key) {
    case Qt::Key_Left:
        return (hasSelectedText() ? selectionStart() : cursorPosition()) <= 0;
    case Qt::Key_Right:
        return (hasSelectedText() ? selectionEnd() : cursorPosition()) >= text().length();
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

// The grid moves on from the cell with the value already written; Alt with
// an arrow belongs to the dialog, as in any edit box.
void CGridEditColumn::keyPressEvent(QKeyEvent *event)
{
    if (LeaveForDialogKey(event))
        return;
    if (!(event->modifiers() & Qt::AltModifier) && LeavesBy(event->key()))
        return PassKeyToGrid(event);
    QLineEdit::keyPressEvent(event);
}

void CGridEditColumn::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    CloseOnFocusLoss(*event);
}

// The dialog closing while the box is open.
void CGridEditColumn::hideEvent(QHideEvent *event)
{
    QLineEdit::hideEvent(event);
    EndEdit();
}
