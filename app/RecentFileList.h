#pragma once

#include <QString>
#include <QStringList>

class QSettings;

// The most recently used diagram files, newest first, as the File menu
// shows them and the "Recent File List" settings section keeps them.
class CRecentFileList
{
public:
    static constexpr int kSize = 4;
    static constexpr int kDisplayLength = 30;

    // Puts the file at the top; an entry already present moves up, and the
    // oldest entry falls off when the list is full.
    void Add(const QString &path);
    void Remove(int index);
    int Count() const { return static_cast<int>(m_files.size()); }
    QString At(int index) const { return m_files.value(index); }
    const QStringList &Files() const { return m_files; }

    // The menu entry text: "&1 " and the path abbreviated to the display
    // length, with ampersands doubled so they show as themselves.
    QString MenuText(int index) const;
    // Shortens a path by replacing leading folders with "..." until it fits;
    // the file name itself is never cut.
    static QString AbbreviateName(const QString &path, int maxLength);

    void Read(QSettings &settings);
    void Write(QSettings &settings) const;

private:
    QStringList m_files;
};
