#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// Writing a file so that it appears complete or not at all. The content is
// written beside the target and renamed over it only when every byte of
// it reached the disk: a full disk or a size limit leaves an older file as
// it was. Only a new file or an existing regular file is written: renaming
// over a device, a pipe or a directory (which a symbolic link may name)
// would replace it.
namespace FileWrite {

// Why the path cannot take a file, on one line; empty when it can: it
// names nothing yet, or a regular file once symbolic links are followed.
QString Refusal(const QString &path);

struct CResult
{
    bool written = false;
    // ResourceError when the disk was full.
    QFileDevice::FileError error = QFileDevice::NoError;
    // Why it failed, on one line.
    QString reason;
};

// Writes the content as the whole file at path.
CResult WriteWhole(const QString &path, const QByteArray &content);

} // namespace FileWrite
