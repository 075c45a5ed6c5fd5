#pragma once

#include <QString>

class CDbView;
class CDiagramPicture;
class QIODevice;

// Writes a view's whole diagram to a file: a .png or .svg picture of it, or
// a .pdf with the pages of a printout on the current printer's paper. The
// command line's export and File > Export Diagram both write through here,
// so a file and its failures are the same from either. The output file
// appears complete or not at all, and only a new file or a regular file is
// written (see FileWrite).
class CDiagramOutput
{
public:
    enum Format { Png, Svg, Pdf, UnknownFormat };
    // The format the output file's extension names, in any letter case.
    static Format FormatOf(const QString &outputPath);

    // A picture wider than this is refused, and an SVG taller: a PDF takes
    // any size of diagram, page by page.
    static constexpr int kMaxPictureSide = 32767;
    // A PNG is drawn band by band, so it may be far taller: as tall as
    // libpng writes by default.
    static constexpr int kMaxPngHeight = 1000000;
    // A PNG is drawn in bands of about this many bytes of pixels.
    static constexpr qint64 kBandBytes = 16 * 1024 * 1024;

    // Why nothing could be written to the path whatever the diagram (an
    // unknown extension, a folder that is missing, an output that is no
    // regular file), on one line; empty when it can be tried. Checked
    // before anything slow is done.
    static QString Refusal(const QString &outputPath);

    // The title names the diagram inside an SVG or PDF file and in failures.
    CDiagramOutput(CDbView &view, const QString &title);

    // False, with ErrorText, when nothing was written.
    bool Write(const QString &outputPath);
    // Draws a PNG in bands of about this many bytes of pixels (at least
    // one row each) instead of kBandBytes: thin bands show whether the
    // bands join without a seam.
    void SetBandBytes(qint64 bytes) { m_bandBytes = bytes; }
    // Why the write failed, on one line.
    const QString &ErrorText() const { return m_error; }

private:
    bool HasTables() const;
    bool Draw(Format format, QIODevice &output);
    bool DrawPicture(Format format, QIODevice &output);
    bool DrawSvg(const CDiagramPicture &picture, QIODevice &output);
    bool DrawPng(const CDiagramPicture &picture, QIODevice &output);
    bool DrawPdf(QIODevice &output);
    bool Fail(const QString &error);

    CDbView &m_view;
    QString m_title;
    QString m_error;
    qint64 m_bandBytes = kBandBytes;
};
