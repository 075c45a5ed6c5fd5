#pragma once

#include "db/DbmsAdapter.h"

#include <QStringList>
#include <Qt>

#include <string>

class CDbSession;
class CDbView;
class CDoc;
class CTableWnd;

// A document connected to a data source with every table loaded and its
// view shown, driven the way a user drives it: clicks on rows and the
// table's context menu. Remembers a mark in the statement log so a test
// can see what a command sent. The document knows the given engines,
// by default every supported one.
class CDiagramDriver
{
public:
    explicit CDiagramDriver(CAdapterList adapters = MakeDbmsAdapters())
        : m_adapters(std::move(adapters))
    {
    }
    ~CDiagramDriver() { Close(); }
    CDiagramDriver(const CDiagramDriver &) = delete;
    CDiagramDriver &operator=(const CDiagramDriver &) = delete;

    // Connects, loads and shows; false (with a test failure) when any step fails.
    bool Open(const std::string &connectionString);
    // Opens a diagram file as File Open does, and shows it.
    bool OpenFile(const QString &path);
    void Close();

    CDoc *Doc() const { return m_doc; }
    CDbView *View() const { return m_view; }
    CDbSession &Session() const;
    CTableWnd *Table(const char *name) const;

    void Click(CTableWnd *table, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Drop from the table's context menu, keeping the selection.
    void DropFromMenu(CTableWnd *table);

    void MarkLog();
    // Every statement sent since the mark.
    QStringList SentSinceMark() const;
    // The changes sent since the mark, without the catalog reads of reloads
    // and without the BEGIN, COMMIT and ROLLBACK the log shows around them.
    QStringList ChangesSinceMark() const;

private:
    bool Show();

    CAdapterList m_adapters;
    CDoc *m_doc = nullptr;
    CDbView *m_view = nullptr;
    size_t m_logMark = 0;
};
