#include "view/PrinterPage.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

namespace PrinterPage {

QSize PageInches(const QPageLayout &layout, int resolution)
{
    if (resolution <= 0 || !layout.isValid())
        return {0, 0};
    const QRect printable = layout.paintRectPixels(resolution);
    return {printable.width() / resolution, printable.height() / resolution};
}

QSize PrinterPageInches(const QPrinter &printer)
{
    if (!printer.isValid())
        return {0, 0};
    return PageInches(printer.pageLayout(), printer.resolution());
}

QSize DefaultPrinterPageInches()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return {0, 0};
    const QPrinter printer(info, QPrinter::HighResolution);
    return PrinterPageInches(printer);
}

} // namespace PrinterPage
