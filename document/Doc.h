#pragma once

#include "db/DbSession.h"
#include "diagram/TableSource.h"
#include "model/SchemaModel.h"

#include <QObject>
#include <QPointer>
#include <QPoint>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class CTableWnd;
class CLoadProgress;
#include <QWidget>

// One open diagram: one connection to one data source, the schema model of
// that data source, its tables' windows in document order, and the view
// mode they are shown in. The document owns the model and its table window
// objects; the view is their windows' parent.
class CDoc : public QObject, public CTableSource
{
    Q_OBJECT

public:
    // The session takes the application's adapters and data-source prompt.
    explicit CDoc(const CAdapterList &adapters, ConnectPrompt prompt = nullptr,
                  const QString &untitledName = QStringLiteral("Vellum1"));
    ~CDoc() override;

    // The document of a table window's source, or null.
    static CDoc *Of(CTableSource *source) { return dynamic_cast<CDoc *>(source); }

    CDbSession &GetSession() { return m_session; }
    CSchemaModel &Schema() { return m_schema; }
    const CSchemaModel &Schema() const { return m_schema; }
    // Reads the relationships again; a failed read keeps those there were.
    int ReloadRelationships();

    // CTableSource
    int ViewMode() const override { return m_viewMode; }
    const CTableSchema *FindSchema(const std::string &table) const override;
    // A failed read is not shown here; the statement is closed.
    int ReloadTable(CTableWnd &table) override;
    CTableWnd *GetTable(int index) const;
    int TableCount() const { return static_cast<int>(m_tables.size()); }
    int IndexOfTable(const CTableWnd *table) const;
    CTableWnd *FindTable(const std::string &name) const;
    void RemoveTable(CTableWnd *table);
    // Appends a table created after loading; the document owns it from now.
    void AppendTable(CTableWnd *table);
    // Appends a table the user has just created. The diagram file does not
    // know it yet, so the document counts as changed until it is saved.
    void AddCreatedTable(CTableWnd *table);
    void DeleteTables();
    // Loads every table of the data source. With a load progress set, it
    // reports each table there and stops with DbResult::kCancelled when
    // the user cancels.
    int LoadAllTables();
    // File New and File Open bring their own when none is set.
    void SetLoadProgress(CLoadProgress *progress) { m_loadProgress = progress; }

    // File New: connect through the data-source prompt and load. Shows its
    // own error box and returns false on failure.
    bool OnNewDocument();
    // File Open: read a diagram file. Shows its own messages on failure.
    bool OnOpenDocument(const QString &path);
    // Reads a diagram file's content into this empty document: connects,
    // loads the tables and places them. Shows nothing; returns the first
    // negative result code, or 0.
    int LoadDiagram(const QByteArray &content);
    // Writes the diagram file; the previous file survives a failed save.
    bool OnSaveDocument(const QString &path);
    // Save, or Save As when asked or when there is no path yet; false when
    // the user cancelled or the save failed (already reported).
    bool DoSave(bool saveAs);
    // The name Save As proposes for a document of this title: the title
    // with ".vmx", unless it already ends so.
    static QString ProposedFileName(const QString &title);
    // The closing step: true when the document may close. Asks to save when
    // CheckMovedTables finds the diagram changed.
    bool SaveModified();
    // Sets the modified flag when some table window has moved, a table was
    // created or the view mode was changed since the diagram was last read
    // or saved.
    bool CheckMovedTables();

    const QString &GetTitle() const { return m_title; }
    void SetTitle(const QString &title);
    const QString &GetPathName() const { return m_pathName; }
    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified) { m_modified = modified; }
    // The widget that shows the document, owner of its dialogs.
    QWidget *GetView() const { return m_view; }
    void SetView(QWidget *view) { m_view = view; }
    // Parent for the document's own dialogs (file dialogs); error boxes
    // about the connection have no owner.
    QWidget *DialogParent() const;

    int m_viewMode = 0;
    CDbSession m_session;
    std::vector<CTableWnd *> m_tables;

signals:
    void titleChanged(const QString &title);
    // A file was opened or saved under this path.
    void fileUsed(const QString &path);

private:
    void ReportError(int code);
    int LoadWithFeedback(const std::function<int()> &load);

    QString m_title;
    QString m_pathName;
    bool m_modified = false;
    bool m_tableCreated = false;
    // The view mode the diagram file holds (or Schema for a new diagram).
    int m_savedViewMode = 0;
    QPointer<QWidget> m_view;
    CSchemaModel m_schema;
    CLoadProgress *m_loadProgress = nullptr;
};
