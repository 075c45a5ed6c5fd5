#pragma once

#include <QSize>

class QPageLayout;
class QPrinter;

// The printable page of a printer in whole inches, as the page boundaries
// on screen and the page count of a printout use it.
namespace PrinterPage {

// The printable area of the layout at the given resolution, each side in
// whole inches (the fraction is dropped: 8.27 inches give 8).
QSize PageInches(const QPageLayout &layout, int resolution);

// The printable page of the printer; (0, 0) when it is not usable.
QSize PrinterPageInches(const QPrinter &printer);

// The printable page of the system's default printer; (0, 0) when there
// is no printer.
QSize DefaultPrinterPageInches();

} // namespace PrinterPage
