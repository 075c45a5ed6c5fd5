#pragma once

#include <QString>

#include <memory>

class CAdapterList;
class CDbView;
class CDoc;

// Writes the whole diagram of a diagram file, or of a data source without
// one, to a PNG, SVG or PDF file without showing a window: it connects
// (never asking the user for anything), lays the table windows out as the
// view does and writes them as File > Export Diagram does (CDiagramOutput).
// A diagram file without table lines, like a data source alone, shows every
// table of the data source placed by the automatic layout, as File New
// would; a data source without tables is a failure, never an empty picture.
class CDiagramExport
{
public:
    // The document connects through these adapters, which outlive the
    // export.
    explicit CDiagramExport(const CAdapterList &adapters);
    ~CDiagramExport();

    // False, with ErrorText, when nothing was written.
    bool Run(const QString &diagramPath, const QString &outputPath);
    // The same for the data source of this name, as if a diagram file held
    // only its data-source line.
    bool RunForSource(const QString &dsn, const QString &outputPath);
    // Why the export failed, on one line.
    const QString &ErrorText() const { return m_error; }

private:
    // Connects and loads the document and its view; the name (the file's
    // path or the source's) and the source (how failures name the data
    // source) go into the reasons.
    bool Load(const QByteArray &diagram, const QString &name, const QString &source);
    bool Write(const QString &outputPath);
    bool Fail(const QString &error);

    const CAdapterList &m_adapters;
    // The view goes before the document whose tables stand in it.
    std::unique_ptr<CDoc> m_doc;
    std::unique_ptr<CDbView> m_view;
    // The diagram file's name or the data source's, in the output file.
    QString m_title;
    QString m_error;
};

// False for a name that cannot be a data source's: empty, or with a
// character ODBC forbids there (the SQL script export refuses the same).
bool IsDataSourceName(const QString &name);
