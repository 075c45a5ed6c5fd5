#include "document/FileWrite.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace FileWrite {

namespace {

CResult Failed(QFileDevice::FileError error, const QString &reason)
{
    return {false, error, reason.simplified()};
}

// QSaveFile::commit() renames the file over the target even after a write
// that failed in its buffer or was cut short, so each step is checked here
// and the file given up at the first failure. The reason comes from the
// system's error, as the file's own text may say no more than "Unknown
// error".
CResult GiveUp(QSaveFile &file, int code)
{
    const QFileDevice::FileError error =
        file.error() == QFileDevice::NoError ? QFileDevice::WriteError : file.error();
    const QString reason = code != 0 ? QString::fromLocal8Bit(std::strerror(code))
                                     : QStringLiteral("not all of it could be written");
    file.cancelWriting();
    return Failed(code == ENOSPC ? QFileDevice::ResourceError : error, reason);
}

} // namespace

QString Refusal(const QString &path)
{
    const QFileInfo target(path);
    if (!target.exists() || target.isFile())
        return QString();
    return target.isDir() ? QStringLiteral("it is a folder")
                          : QStringLiteral("it is not a regular file");
}

CResult WriteWhole(const QString &path, const QByteArray &content)
{
    const QString refusal = Refusal(path);
    if (!refusal.isEmpty())
        return Failed(QFileDevice::OpenError, refusal);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Failed(file.error(), file.errorString());
    errno = 0;
    if (file.write(content) != content.size())
        return GiveUp(file, errno);
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return GiveUp(file, errno);
    if (!file.commit())
        return Failed(file.error(), file.errorString());
    return {true, QFileDevice::NoError, QString()};
}

} // namespace FileWrite
