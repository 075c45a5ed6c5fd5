#pragma once

#include <QObject>
#include <QRect>
#include <QString>

#include "db/DbSession.h"

#include <memory>

class CAdapterList;
class CChildFrame;
class CDbView;
class CDoc;
class CPrintSettings;
class QMdiArea;

// The one document template: it makes a document together with its view
// and its child frame, for File New (a fresh connection) and for File Open
// (a diagram file). A document that fails to come up leaves nothing behind.
class CDocTemplate : public QObject
{
    Q_OBJECT

public:
    // The template's strings, as the document type knows them.
    static constexpr const char *kDocString =
        "\nVellum\nVellum\nVellumix Files (*.vmx)\n.vmx\nVellumix.Document\nVellum Document";
    enum DocStringIndex { WindowTitle, DocName, FileNewName, FilterName, FilterExt, RegFileTypeId,
                          RegFileTypeName };
    static QString GetDocString(DocStringIndex index);

    // Each document connects through the application's adapters, which
    // outlive it, and asks for a data source with the given prompt. The
    // views print with the given settings, the application's current
    // printer; without them each view keeps its own.
    CDocTemplate(QMdiArea *mdiArea, const CAdapterList &adapters, ConnectPrompt prompt,
                 CPrintSettings *printSettings = nullptr, QObject *parent = nullptr);

    // An empty path makes a new document; otherwise the file is opened, or
    // the frame already showing it is activated. Returns the new frame, or
    // null when the document could not be created (its messages are shown
    // already).
    CChildFrame *OpenDocumentFile(const QString &path);
    // The document being created right now (during its connect), or null.
    CDoc *PendingDocument() const { return m_pending; }
    // The title the next untitled document gets: "Vellum" and its number.
    QString NextUntitledTitle() const;
    // Where a new document window of the wanted size goes in the client
    // area: a step below and right of the active window (none when null),
    // or at the area's corner when that would leave the area; never larger
    // than the area.
    static QRect NewFramePlacement(const QRect &area, const QSize &wanted, const QRect &active,
                                   int step);

signals:
    // A document was opened from or saved to this file.
    void fileUsed(const QString &path);

private:
    CChildFrame *FindOpenFrame(const QString &path) const;
    CChildFrame *ShowFrame(std::unique_ptr<CDoc> doc, CDbView *view);

    QMdiArea *m_mdiArea = nullptr;
    const CAdapterList &m_adapters;
    ConnectPrompt m_prompt;
    CPrintSettings *m_printSettings = nullptr;
    CDoc *m_pending = nullptr;
    int m_untitledCount = 0;
};
