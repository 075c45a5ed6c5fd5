#pragma once

#include "grid/GridColumn.h"

#include <QLineEdit>

// A text column. The column is at the same time its editor: a borderless
// edit box laid exactly inside the focus frame of the cell being edited. It
// takes only as much text as fits in its width (it does not scroll), and
// writes its text into the cell when it loses the focus.
class CGridEditColumn : public QLineEdit, public CGridColumn
{
    Q_OBJECT

public:
    CGridEditColumn(CGridCtrl *grid, const QString &heading, int width);
    ~CGridEditColumn() override;

    void ForwardKey(const QKeyEvent &event) override;
    void StartEdit(int row) override;
    void DrawCell(QPainter &painter, int row, bool focused) override;
    void EndEdit() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool focusNextPrevChild(bool next) override { return TabFromEditor(next); }
    void hideEvent(QHideEvent *event) override;

private:
    bool LeavesBy(int key) const;

    bool m_open = false;
};
