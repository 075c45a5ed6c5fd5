#include "app/RecentFileList.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {
const char *const kSection = "Recent File List";

QString EntryKey(int index) { return QStringLiteral("File%1").arg(index + 1); }

QString NormalisedPath(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}
} // namespace

void CRecentFileList::Add(const QString &path)
{
    const QString normalised = NormalisedPath(path);
    m_files.removeAll(normalised);
    m_files.prepend(normalised);
    while (m_files.size() > kSize)
        m_files.removeLast();
}

void CRecentFileList::Remove(int index)
{
    if (index >= 0 && index < m_files.size())
        m_files.removeAt(index);
}

QString CRecentFileList::MenuText(int index) const
{
    QString name = AbbreviateName(QDir::toNativeSeparators(At(index)), kDisplayLength);
    name.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(name);
}

QString CRecentFileList::AbbreviateName(const QString &path, int maxLength)
{
    if (path.size() <= maxLength)
        return path;
    const QChar separator = QDir::separator();
    const int lastSeparator = path.lastIndexOf(separator);
    const QString fileName = path.mid(lastSeparator + 1);
    // The root part that stays in front of the "...": "/" or "C:\".
    const int rootEnd = path.indexOf(separator) + 1;
    const QString root = path.left(rootEnd);
    const QString ellipsis = root + QStringLiteral("...") + separator;
    if (lastSeparator < 0 || ellipsis.size() + fileName.size() > maxLength)
        return fileName;
    // Drop leading folders one at a time until the rest fits.
    for (int from = path.indexOf(separator, rootEnd); from >= 0 && from < lastSeparator;
         from = path.indexOf(separator, from + 1)) {
        const QString candidate = ellipsis + path.mid(from + 1);
        if (candidate.size() <= maxLength)
            return candidate;
    }
    return ellipsis + fileName;
}

void CRecentFileList::Read(QSettings &settings)
{
    m_files.clear();
    settings.beginGroup(QLatin1String(kSection));
    for (int i = 0; i < kSize; ++i) {
        const QString path = settings.value(EntryKey(i)).toString();
        if (!path.isEmpty() && !m_files.contains(path))
            m_files << path;
    }
    settings.endGroup();
}

void CRecentFileList::Write(QSettings &settings) const
{
    settings.beginGroup(QLatin1String(kSection));
    for (int i = 0; i < kSize; ++i) {
        if (i < m_files.size())
            settings.setValue(EntryKey(i), m_files[i]);
        else
            settings.remove(EntryKey(i));
    }
    settings.endGroup();
}
