#pragma once

#include <memory>

class QPrinter;
class QWidget;

// The application's current printer, how the diagram is scaled on its
// pages, and how many pages the print preview shows at once. Print Setup changes the printer; Print, printing without
// a dialog, the preview and the page boundaries on screen all use it.
class CPrintSettings
{
public:
    CPrintSettings();
    ~CPrintSettings();
    CPrintSettings(const CPrintSettings &) = delete;
    CPrintSettings &operator=(const CPrintSettings &) = delete;

    // The printer chosen in Print Setup; until then the system's default
    // printer or, on a desktop without printers, a PDF printer on the
    // locale's paper.
    QPrinter &Printer();

    // The printer setup dialog over the parent, starting from the current
    // printer and keeping what the user chose in it: the paper, its
    // orientation and margins, and whether the diagram is fitted to some
    // pages wide. True when accepted.
    bool RunSetupDialog(QWidget *parent);

    // The diagram is printed scaled to exactly this many pages wide; 0
    // prints it at its size on screen at 100 %.
    static constexpr int kMostPagesWide = 20;
    int FitPagesWide() const { return m_fitPagesWide; }
    // Clamped to 0 .. kMostPagesWide.
    void SetFitPagesWide(int pages);

    // Pages the preview shows at once: 0 or 1 one page, 2 two pages side
    // by side, 3 or more every page.
    int PreviewPages() const { return m_previewPages; }
    void SetPreviewPages(int pages) { m_previewPages = pages; }

private:
    std::unique_ptr<QPrinter> m_printer;
    int m_previewPages = 0;
    int m_fitPagesWide = 0;
};
