#pragma once

#include <QSize>
#include <QSizeF>
#include <QString>

#include <memory>
#include <vector>

class CDiagramCells;
class CDbView;
class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

// Prints a view's whole diagram on the pages of a printer, a print preview
// or a PDF. The diagram is cut into a grid of pages, each the device's
// printable page in whole inches (the size the view's page boundaries
// show); the grid reaches as far as the table windows do, and the pages
// are numbered row by row from the top left. Only the pages that a table
// window or a line meets are printed.
//
// Fitted to N pages wide (Print Setup), the diagram is scaled so that its
// width, lines included, spans exactly N pages, and the grid goes down as
// far as the scaled diagram does.
class CDiagramPrinter
{
public:
    // A job of more pages is refused rather than sent: only a table placed
    // absurdly far out asks for that many.
    static constexpr int kMaxPages = 2000;

    explicit CDiagramPrinter(CDbView &view);
    ~CDiagramPrinter();

    // The far corner of the table windows, from the diagram's origin.
    // Relationship lines do not count.
    static QSize TablesExtent(const CDbView &view);
    // How much larger the paper shows the diagram than the screen at 100 %:
    // 1 unless it is fitted to some pages wide (pagesWide > 0), when its far
    // right edge, lines included, meets the right edge of the last page.
    static double FitScale(const CDbView &view, const QSize &pageInches, int pagesWide);
    // A page of the grid in diagram coordinates, at the scale.
    static QSizeF PageSize(const QSize &pageInches, double scale);

    // Sets the view's page grid for pages of this many inches and the
    // view's print settings, and returns the number of pages to print;
    // 0, with ErrorText, when the job cannot be printed (a page smaller
    // than an inch, or far too many pages).
    int PreparePrinting(const QSize &pageInches);
    // The pages of the grid to print (from 1), in order: those that
    // something meets, or the first page of an empty diagram.
    const std::vector<int> &PagesToPrint() const { return m_pages; }
    // How many table windows the pages to print draw, a window once on
    // each page it reaches into: what a page costs grows with its share.
    qint64 TablesOnPages() const;
    // Maps the painter to page n (from 1) of the grid: diagram
    // coordinates, scaled and shifted to the page, drawing limited to it.
    void PreparePage(QPainter &painter, const QPaintDevice &device, int page) const;
    // Prints every page on the device. False, with ErrorText, when the job
    // was refused or the device would not print.
    bool Print(QPagedPaintDevice &device);

    const QString &ErrorText() const { return m_error; }

private:
    bool Fail(const QString &error);
    void FindPagesToPrint(const QSizeF &page);

    CDbView &m_view;
    QSize m_pageInches;
    double m_scale = 1.0;
    std::vector<int> m_pages;
    // What stands on each page of the grid, found once for the job.
    std::unique_ptr<CDiagramCells> m_cells;
    QString m_error;
};
