#pragma once

#include <QSize>

class QLocale;
class QPageLayout;
class QPageSize;
class QPagedPaintDevice;
class QPrinter;

// The printable page of a printer in whole inches, as the page boundaries
// on screen and the page grid of a printout use it.
namespace PrinterPage {

// The printable area of the layout at the given resolution, each side in
// whole inches (the fraction is dropped: 8.27 inches give 8).
QSize PageInches(const QPageLayout &layout, int resolution);

// The printable page of the printer; (0, 0) when it is not usable.
QSize PrinterPageInches(const QPrinter &printer);

// The printable page of any paged device: a printer, a preview, a PDF.
QSize DevicePageInches(const QPagedPaintDevice &device);

// The paper a PDF printer starts with where no printer says otherwise:
// Letter where the locale measures in US units, A4 everywhere else.
QPageSize LocaleDefaultPageSize(const QLocale &locale);

} // namespace PrinterPage
