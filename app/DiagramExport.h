#pragma once

#include <QString>

#include <memory>

class CAdapterList;
class CDbView;
class CDiagramPicture;
class CDoc;
class QIODevice;

// Writes the whole diagram of a diagram file to a PNG, SVG or PDF file
// without showing a window: it opens the file, connects through its
// data-source line (never asking the user for a source), lays the table
// windows out as the view does and paints them as the printer does. The
// output file appears complete or not at all, and only a new file or a
// regular file is written (see FileWrite).
class CDiagramExport
{
public:
    enum Format { Png, Svg, Pdf, UnknownFormat };
    // The format the output file's extension names, in any letter case.
    static Format FormatOf(const QString &outputPath);

    // A picture larger than this on either side is refused: a PDF takes
    // any size of diagram, page by page.
    static constexpr int kMaxPictureSide = 32767;

    // The document connects through these adapters, which outlive the
    // export.
    explicit CDiagramExport(const CAdapterList &adapters);
    ~CDiagramExport();

    // False, with ErrorText, when nothing was written.
    bool Run(const QString &diagramPath, const QString &outputPath);
    // Why the export failed, on one line.
    const QString &ErrorText() const { return m_error; }

private:
    bool Open(const QString &diagramPath);
    bool Write(Format format, QIODevice &output);
    bool WritePicture(Format format, QIODevice &output);
    bool WriteSvg(const CDiagramPicture &picture, QIODevice &output);
    bool WritePdf(QIODevice &output);
    bool Fail(const QString &error);
    bool FailWriting(const QString &outputPath, const QString &reason);

    const CAdapterList &m_adapters;
    // The view goes before the document whose tables stand in it.
    std::unique_ptr<CDoc> m_doc;
    std::unique_ptr<CDbView> m_view;
    QString m_diagramName;
    QString m_error;
};
