#pragma once

#include <QSize>
#include <QString>

class CDbView;
class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

// Prints a view's whole diagram on the pages of a printer, a print preview
// or a PDF. The diagram is cut into a grid of pages, each the device's
// printable page in whole inches (the size the view's page boundaries
// show); the grid reaches as far as the table windows do, and the pages
// are numbered row by row from the top left.
class CDiagramPrinter
{
public:
    // A job of more pages is refused rather than sent: only a table placed
    // absurdly far out asks for that many.
    static constexpr int kMaxPages = 2000;

    explicit CDiagramPrinter(CDbView &view);

    // The far corner of the table windows, from the diagram's origin.
    // Relationship lines do not count.
    static QSize TablesExtent(const CDbView &view);

    // Sets the view's page grid for pages of this many inches and returns
    // the number of pages; 0, with ErrorText, when the job cannot be
    // printed (a page smaller than an inch, or far too many pages).
    int PreparePrinting(const QSize &pageInches);
    // Maps the painter to page n (from 1) of the grid: diagram
    // coordinates, shifted to the page, drawing limited to it.
    void PreparePage(QPainter &painter, const QPaintDevice &device, int page) const;
    // Prints every page on the device. False, with ErrorText, when the job
    // was refused or the device would not print.
    bool Print(QPagedPaintDevice &device);

    const QString &ErrorText() const { return m_error; }

private:
    bool Fail(const QString &error);

    CDbView &m_view;
    QSize m_pageInches;
    QString m_error;
};
