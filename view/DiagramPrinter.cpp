#include "view/DiagramPrinter.h"

#include "diagram/PlatformMetrics.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "diagram/RelationshipGeometry.h"
#include "view/DbView.h"
#include "view/DiagramCells.h"
#include "view/DiagramPicture.h"
#include "view/PrintSettings.h"
#include "view/PrinterPage.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

qint64 PagesFor(int extent, int page)
{
    return std::max<qint64>(1, (qint64(extent) + page - 1) / page);
}

// Pages of a fitted grid down to the scaled extent; a hair of rounding
// must not add a page.
qint64 PagesFor(double extent, double page)
{
    return std::max<qint64>(1, qint64(std::ceil(extent / page - 1e-9)));
}

} // namespace

CDiagramPrinter::CDiagramPrinter(CDbView &view) : m_view(view) {}

CDiagramPrinter::~CDiagramPrinter() = default;

QSize CDiagramPrinter::TablesExtent(const CDbView &view)
{
    // Summed wide: a window placed at the far end of the coordinate range
    // must not wrap its extent around.
    qint64 width = 0;
    qint64 height = 0;
    const CDoc *doc = view.GetDocument();
    for (int i = 0; doc && i < doc->TableCount(); ++i) {
        const CTableWnd *table = doc->GetTable(i);
        if (table->parentWidget() != view.Canvas())
            continue;
        const QRect window = table->DiagramRect();
        width = std::max(width, qint64(window.x()) + window.width());
        height = std::max(height, qint64(window.y()) + window.height());
    }
    constexpr qint64 kLargest = std::numeric_limits<int>::max();
    return {int(std::min(width, kLargest)), int(std::min(height, kLargest))};
}

double CDiagramPrinter::FitScale(const CDbView &view, const QSize &pageInches, int pagesWide)
{
    const QRect bounds = CDiagramPicture::DiagramBounds(view);
    const qint64 right = bounds.isValid() ? qint64(bounds.x()) + bounds.width() : 0;
    if (pagesWide <= 0 || pageInches.width() <= 0 || right <= 0)
        return 1.0;
    return double(pagesWide) * Platform::kDiagramDpi * pageInches.width() / double(right);
}

QSizeF CDiagramPrinter::PageSize(const QSize &pageInches, double scale)
{
    return {Platform::kDiagramDpi * pageInches.width() / scale,
            Platform::kDiagramDpi * pageInches.height() / scale};
}

int CDiagramPrinter::PreparePrinting(const QSize &pageInches)
{
    m_pageInches = pageInches;
    m_scale = 1.0;
    m_pages.clear();
    m_cells.reset();
    m_error.clear();
    // Whole inches of printable page: a page without one is no page at all.
    if (pageInches.width() <= 0 || pageInches.height() <= 0) {
        Fail(QStringLiteral("The printer's page has less than one inch of printable width or "
                            "height. Choose other paper or smaller margins in Print Setup."));
        return 0;
    }
    // As many pages as the table windows reach into: a diagram that ends
    // exactly on a page boundary gets no blank page beyond it, and an
    // empty one prints one page.
    const int pagesWide = m_view.PrintSettings().FitPagesWide();
    qint64 across = 0;
    qint64 down = 0;
    if (pagesWide > 0) {
        // Fitted, the lines count too: a line's stub beyond the last table
        // must not run off the last page.
        m_scale = FitScale(m_view, pageInches, pagesWide);
        const QRect bounds = CDiagramPicture::DiagramBounds(m_view);
        const double bottom = bounds.isValid() ? double(bounds.y()) + bounds.height() : 0;
        across = pagesWide;
        down = PagesFor(bottom, PageSize(pageInches, m_scale).height());
    } else {
        const QSize extent = TablesExtent(m_view);
        across = PagesFor(extent.width(), Platform::kDiagramDpi * pageInches.width());
        down = PagesFor(extent.height(), Platform::kDiagramDpi * pageInches.height());
    }
    if (across * down > kMaxPages) {
        Fail(QStringLiteral("The diagram would print on %1 pages, more than %2. Move the tables "
                            "that stand far out nearer to the others.")
                 .arg(across * down)
                 .arg(kMaxPages));
        return 0;
    }
    m_view.m_pagesAcross = static_cast<int>(across);
    m_view.m_pagesDown = static_cast<int>(down);
    FindPagesToPrint(PageSize(pageInches, m_scale));
    return static_cast<int>(m_pages.size());
}

// A page that no table window and no line meets would come out of the
// printer blank.
void CDiagramPrinter::FindPagesToPrint(const QSizeF &page)
{
    m_cells = std::make_unique<CDiagramCells>(m_view, QPointF(0, 0), page, m_view.m_pagesAcross,
                                              m_view.m_pagesDown);
    for (int cell = 0; cell < m_cells->Count(); ++cell)
        if (m_cells->IsMet(cell))
            m_pages.push_back(cell + 1);
    if (m_pages.empty())
        m_pages.push_back(1);
}

qint64 CDiagramPrinter::TablesOnPages() const
{
    qint64 tables = 0;
    for (const int page : m_pages)
        tables += m_cells ? m_cells->TablesIn(page - 1) : 0;
    return tables;
}

// Each page shows exactly one cell of the grid the screen shows as page
// boundaries; the printable area beyond the whole inches stays blank, so
// nothing prints twice.
void CDiagramPrinter::PreparePage(QPainter &painter, const QPaintDevice &device, int page) const
{
    CDbView::ApplyDiagramMapping(painter, device);
    const int across = std::max(1, m_view.m_pagesAcross);
    const int column = (page - 1) % across;
    const int row = (page - 1) / across;
    if (m_scale != 1.0) {
        const QSizeF size = PageSize(m_pageInches, m_scale);
        const QPointF origin(column * size.width(), row * size.height());
        painter.scale(m_scale, m_scale);
        painter.translate(-origin);
        painter.setClipRect(QRectF(origin, size), Qt::IntersectClip);
        return;
    }
    const QSize size(Platform::kDiagramDpi * m_pageInches.width(),
                     Platform::kDiagramDpi * m_pageInches.height());
    const QPoint origin(column * size.width(), row * size.height());
    painter.translate(-origin);
    painter.setClipRect(QRect(origin, size), Qt::IntersectClip);
}

bool CDiagramPrinter::Print(QPagedPaintDevice &device)
{
    const int pages = PreparePrinting(PrinterPage::DevicePageInches(device));
    if (pages == 0)
        return false;
    QPainter painter;
    if (!painter.begin(&device))
        return Fail(QStringLiteral("Could not start print job."));
    for (const int page : m_pages) {
        if (page != m_pages.front() && !device.newPage()) {
            painter.end();
            return Fail(QStringLiteral("Could not start print job."));
        }
        painter.save();
        PreparePage(painter, device, page);
        m_cells->Draw(painter, page - 1);
        painter.restore();
    }
    if (!painter.end())
        return Fail(QStringLiteral("The print job could not be finished."));
    return true;
}

bool CDiagramPrinter::Fail(const QString &error)
{
    m_error = error;
    return false;
}
