#pragma once

#include "db/TypeConversion.h"

#include <QString>

#include <memory>
#include <optional>

class CAdapterList;
class CDoc;

// Writes the schema of a diagram file's tables, or of every table of a data
// source, as one SQL script (SchemaScript) without showing a window. It
// connects as the diagram export does (never asking the user for
// anything) and fails with the same reasons; the file is written whole or
// not at all (FileWrite).
class CSchemaScriptExport
{
public:
    explicit CSchemaScriptExport(const CAdapterList &adapters);
    ~CSchemaScriptExport();

    // The script is for the target engine, or for the data source's own
    // when there is none. False, with ErrorText, when nothing was written.
    bool Run(const QString &diagramPath, const QString &outputPath, std::optional<ScriptEngine> target);
    bool RunForSource(const QString &dsn, const QString &outputPath, std::optional<ScriptEngine> target);
    // Why the export failed, on one line.
    const QString &ErrorText() const { return m_error; }

private:
    bool Load(const QByteArray &diagram, const QString &name, const QString &source);
    bool Write(const QString &outputPath, std::optional<ScriptEngine> target, const QString &source);
    bool Fail(const QString &error);

    const CAdapterList &m_adapters;
    std::unique_ptr<CDoc> m_doc;
    QString m_error;
};
