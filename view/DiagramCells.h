#pragma once

#include "diagram/RelationshipGeometry.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <vector>

class CDbView;
class CTableWnd;
class QPainter;

// A grid of cells laid over a view's diagram (the pages of a printout, the
// bands of a picture) and what of the diagram meets each cell: the table
// windows and the relationship lines. A cell is drawn from its own lists
// only, so drawing a cell costs what stands on it, however large the
// diagram: a printout of thousands of tables drawn whole on every page grew
// with the square of the diagram.
class CDiagramCells
{
public:
    // Cells `cell` wide and high from `origin` (diagram coordinates),
    // `across` by `down` of them, numbered row by row from 0.
    CDiagramCells(CDbView &view, const QPointF &origin, const QSizeF &cell, int across, int down);

    int Count() const { return static_cast<int>(m_tablesIn.size()); }
    QRectF CellRect(int cell) const;
    // Whether a table window or a line meets the cell: a page with nothing
    // on it would come out blank.
    bool IsMet(int cell) const { return m_met[static_cast<size_t>(cell)]; }
    // How many table windows drawing the cell draws.
    int TablesIn(int cell) const { return static_cast<int>(m_tablesIn[static_cast<size_t>(cell)].size()); }
    // Draws what meets the cell as the view draws a whole printed diagram
    // (first the lines in list order, then the table windows in document
    // order), the painter mapped to diagram coordinates and limited to the
    // cell. What is left out cannot reach into the cell, so the cell looks
    // as it would with everything drawn.
    void Draw(QPainter &painter, int cell) const;

private:
    struct CLine
    {
        int id;
        CRelationshipRoute route;
    };
    struct CRange
    {
        int left, right, top, bottom;
    };

    CRange CellsUnder(const QRectF &bounds) const;
    void AddTable(int index, const QRectF &window);
    void AddLine(int index, const CRelationshipRoute &route);

    CDbView &m_view;
    QPointF m_origin;
    QSizeF m_cell;
    int m_across;
    int m_down;
    std::vector<CTableWnd *> m_tables;
    std::vector<CLine> m_lines;
    // Per cell, ascending indexes into m_tables and m_lines.
    std::vector<std::vector<int>> m_tablesIn;
    std::vector<std::vector<int>> m_linesIn;
    std::vector<bool> m_met;
};
