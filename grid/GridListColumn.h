#pragma once

#include "grid/GridColumn.h"

#include <QListWidget>

// A column whose values are chosen from a list. The column is at the same
// time its editor: a sorted list that drops down below the cell being
// edited. Every change of its selection shows in the cell at once, and the
// selected item is written again when the list loses the focus. The same
// list serves every row and keeps its selection between openings.
class CGridListColumn : public QListWidget, public CGridColumn
{
    Q_OBJECT

public:
    CGridListColumn(CGridCtrl *grid, const QString &heading, int width);
    ~CGridListColumn() override;

    // Adds a choice at its place in the case-insensitive order; returns its
    // index.
    int AddString(const QString &text);

    void ForwardKey(const QKeyEvent &event) override;
    void StartEdit(int row) override;
    void DrawCell(QPainter &painter, int row, bool focused) override;
    void EndEdit() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool focusNextPrevChild(bool next) override { return TabFromEditor(next); }
    void hideEvent(QHideEvent *event) override;

private:
    void SelectForCell(const QString &text);
    void WriteSelection();

    bool m_open = false;
};
