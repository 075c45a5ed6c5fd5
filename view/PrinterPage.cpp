#include "view/PrinterPage.h"

#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

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

QSize DevicePageInches(const QPagedPaintDevice &device)
{
    // A printer's logical resolution is the one its page layout is laid
    // out in; the layout itself does not carry one.
    return PageInches(device.pageLayout(), device.logicalDpiX());
}

QPageSize LocaleDefaultPageSize(const QLocale &locale)
{
    const bool usUnits = locale.measurementSystem() == QLocale::ImperialUSSystem;
    return QPageSize(usUnits ? QPageSize::Letter : QPageSize::A4);
}

} // namespace PrinterPage
