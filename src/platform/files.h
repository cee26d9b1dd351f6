#pragma once

#include <QByteArray>
#include <QString>

// Why a file could not be read whole.
enum class FileReadError {
    None,
    NoSuchFile,
    NameTooLong,
    Folder,
    NotRegularFile,
    NoPermission,
    TooLarge,
    Failed,
};

struct FileContents {
    QByteArray bytes;
    FileReadError error = FileReadError::None;
    // The system's own description, for Failed.
    QString reason;
};

// Reads the regular file at `path` whole. Pipes, devices and sockets are refused without blocking
// on them, and a file larger than `maxBytes` is refused by its size before any of it is read. The
// buffer follows the file's real size, and a file that reports no size (or grows while it is read)
// is still read to its end, up to `maxBytes`.
FileContents readRegularFile(const QString& path, qint64 maxBytes);
