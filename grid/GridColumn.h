#pragma once

#include <QString>

class CGridCtrl;
class QFocusEvent;
class QKeyEvent;
class QPainter;
class QRect;
class QWidget;

// One column of a CGridCtrl: it paints the column's cells and edits them.
// A column adds itself to its grid when it is constructed, and the grid owns
// it from then on (create columns with new, in display order).
class CGridColumn
{
public:
    CGridColumn(CGridCtrl *grid, const QString &heading, int width);
    virtual ~CGridColumn();

    CGridColumn(const CGridColumn &) = delete;
    CGridColumn &operator=(const CGridColumn &) = delete;

    // A key press on the grid that started an edit of this column, handed
    // on to the editor.
    virtual void ForwardKey(const QKeyEvent &event);
    // Edits the cell in the given row.
    virtual void StartEdit(int row);
    // Paints the cell in the given row; focused when it is the current cell
    // of a grid that shows its focus frame.
    virtual void DrawCell(QPainter &painter, int row, bool focused);
    // Closes an open editor, its value written into the cell first; nothing
    // when none is open.
    virtual void EndEdit();

    int GetColumnIndex() const { return m_column; }
    // The row of the latest edit of this column.
    int GetEditRow() const { return m_editRow; }

protected:
    CGridCtrl *Grid() const { return m_grid; }
    QString CellText(int row) const;
    void SetCellText(int row, const QString &text);
    QRect CellRect(int row) const;
    // The widget an editor window lives in: the grid's parent widget, or the
    // grid itself when it has none.
    static QWidget *EditorParent(CGridCtrl *grid);
    // Shows an editor window over the grid at rect (in its parent's
    // coordinates) and puts it directly before the grid in the tab order,
    // so that the focus chain around the grid stays the dialog's (Tab and
    // Shift+Tab themselves go through TabFromEditor).
    void ShowEditor(QWidget *editor, const QRect &rect);
    // After an editor has written its value: the grid's focus frame goes,
    // the editor hides and the edited row is repainted.
    void HideEditor(QWidget *editor);
    // Gives the grid the keyboard focus, which closes any open editor, and
    // lets the grid handle the key as if it had been pressed there.
    void PassKeyToGrid(QKeyEvent *event);
    // Enter and Escape keep their meaning for the dialog (its default and
    // cancel buttons), which then finds the editor's value in the cell.
    // Returns whether the key was one of them.
    bool LeaveForDialogKey(QKeyEvent *event);
    // Tab or Shift+Tab in an editor: its value goes into the cell and the
    // grid moves on to the next or previous unlocked cell, or past its ends
    // along the dialog's tab order. For the editor's focusNextPrevChild.
    bool TabFromEditor(bool next);
    // An editor closes when it loses the focus, except to its own context
    // menu, which takes the focus only for a moment.
    void CloseOnFocusLoss(const QFocusEvent &event);
    // Delivers a copy of a key press to an editor at once, so that it is
    // handled before any key typed after it.
    static void SendKey(QWidget *editor, const QKeyEvent &event);

    int m_editRow = 0;

private:
    int m_column = 0;
    CGridCtrl *m_grid = nullptr;
};
