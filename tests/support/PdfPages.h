#pragma once

#include <QImage>
#include <QString>

// Reads PDF files back with the poppler tools, as a reader would see them.

// The page count pdfinfo reports; -1 when it cannot read the file.
int PdfPageCount(const QString &path);

// One page (from 1) rendered by pdftoppm at 96 dots per inch, where a
// diagram pixel is a pixel; a null image when it cannot be rendered.
QImage RenderPdfPage(const QString &path, int page);
