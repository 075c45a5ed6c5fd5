#pragma once

#include <memory>

class QPrinter;
class QWidget;

// The application's current printer and how many pages the print preview
// shows at once. Print Setup changes the printer; Print, printing without
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
    // printer and keeping what the user chose in it. True when accepted.
    bool RunSetupDialog(QWidget *parent);

    // Pages the preview shows at once: 0 or 1 one page, 2 two pages side
    // by side, 3 or more every page.
    int PreviewPages() const { return m_previewPages; }
    void SetPreviewPages(int pages) { m_previewPages = pages; }

private:
    std::unique_ptr<QPrinter> m_printer;
    int m_previewPages = 0;
};
