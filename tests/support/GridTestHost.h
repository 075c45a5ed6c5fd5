#pragma once

#include <QDialog>

#include <functional>

class CGridCtrl;
class QLineEdit;
class QPushButton;

// A dialog that hosts one grid the way the design dialogs do: a text field
// before it in the tab order, the grid, then a default OK and a Cancel
// button. It answers the grid's lock question with Locked, and records the
// first cell's text at the moment OK or Cancel is pressed.
class CGridTestHost : public QDialog
{
    Q_OBJECT

public:
    // The grid stands at gridGeometry in the dialog's coordinates.
    explicit CGridTestHost(const QRect &gridGeometry = QRect(10, 40, 300, 140));

    // Shows the dialog and waits until it is the active window, so that
    // focus changes deliver their events.
    bool ShowActive();

    // The current cell as (row, column).
    QPoint Current() const;
    // The middle of a cell, in the grid's client (viewport) coordinates.
    QPoint CellCentre(int row, int column) const;
    void ClickCell(int row, int column);
    // A key press delivered to whatever has the keyboard focus.
    static void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    static void Type(const QString &text);

    std::function<bool(int row, int column)> Locked;
    QLineEdit *m_before = nullptr;
    CGridCtrl *m_grid = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    // Cell (0, 0) as OK or Cancel found it.
    QString m_textAtOk;
    QString m_textAtCancel;
};
