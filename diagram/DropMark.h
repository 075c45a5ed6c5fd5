#pragma once

#include <QWidget>

class CTableWnd;

// The inverted row block of the table window a row is being dragged onto.
// A transparent child laid over the target's row that inverts whatever the
// target painted beneath it, so the target's own painting needs to know
// nothing about the drag. It exists from the moment the drag reaches the
// row until the drag leaves it or ends.
class CDropMark : public QWidget
{
    Q_OBJECT

public:
    // Marks a row of the target, replacing a mark it already shows.
    static void Show(CTableWnd *target, int row);
    // Removes the target's mark, if any.
    static void Remove(CTableWnd *target);
    // The target's mark, or null.
    static CDropMark *Of(const CTableWnd *target);

    int Row() const { return m_row; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CDropMark(CTableWnd *target, int row);

    int m_row;
};
