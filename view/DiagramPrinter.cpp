#include "view/DiagramPrinter.h"

#include "diagram/PlatformMetrics.h"
#include "diagram/TableWnd.h"
#include "document/Doc.h"
#include "view/DbView.h"
#include "view/PrinterPage.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <limits>

namespace {

qint64 PagesFor(int extent, int page)
{
    return std::max<qint64>(1, (qint64(extent) + page - 1) / page);
}

} // namespace

CDiagramPrinter::CDiagramPrinter(CDbView &view) : m_view(view) {}

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

int CDiagramPrinter::PreparePrinting(const QSize &pageInches)
{
    m_pageInches = pageInches;
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
    const QSize extent = TablesExtent(m_view);
    const qint64 across = PagesFor(extent.width(), Platform::kDiagramDpi * pageInches.width());
    const qint64 down = PagesFor(extent.height(), Platform::kDiagramDpi * pageInches.height());
    if (across * down > kMaxPages) {
        Fail(QStringLiteral("The diagram would print on %1 pages, more than %2. Move the tables "
                            "that stand far out nearer to the others.")
                 .arg(across * down)
                 .arg(kMaxPages));
        return 0;
    }
    m_view.m_pagesAcross = static_cast<int>(across);
    m_view.m_pagesDown = static_cast<int>(down);
    return m_view.m_pagesAcross * m_view.m_pagesDown;
}

// Each page shows exactly one cell of the grid the screen shows as page
// boundaries; the printable area beyond the whole inches stays blank, so
// nothing prints twice.
void CDiagramPrinter::PreparePage(QPainter &painter, const QPaintDevice &device, int page) const
{
    CDbView::ApplyDiagramMapping(painter, device);
    const QSize size(Platform::kDiagramDpi * m_pageInches.width(),
                     Platform::kDiagramDpi * m_pageInches.height());
    const int across = std::max(1, m_view.m_pagesAcross);
    const QPoint origin(((page - 1) % across) * size.width(), ((page - 1) / across) * size.height());
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
    for (int page = 1; page <= pages; ++page) {
        if (page > 1 && !device.newPage()) {
            painter.end();
            return Fail(QStringLiteral("Could not start print job."));
        }
        painter.save();
        PreparePage(painter, device, page);
        m_view.DrawForPrint(painter);
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
