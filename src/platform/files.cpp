#include "platform/files.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileContents failed(FileReadError error, int errorNumber = 0) {
    FileContents contents;
    contents.error = error;
    if (errorNumber != 0)
        contents.reason = QString::fromLocal8Bit(std::strerror(errorNumber));
    return contents;
}

FileReadError errorForOpen(int errorNumber) {
    switch (errorNumber) {
    case ENOENT:
    case ENOTDIR:
        return FileReadError::NoSuchFile;
    case ENAMETOOLONG:
        return FileReadError::NameTooLong;
    case EACCES:
    case EPERM:
        return FileReadError::NoPermission;
    case EISDIR:
        return FileReadError::Folder;
    case ENXIO: // a socket, or a device without its driver
        return FileReadError::NotRegularFile;
    default:
        return FileReadError::Failed;
    }
}

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

FileContents readRegularFile(const QString& path, qint64 maxBytes) {
    const QByteArray native = QFile::encodeName(path);
    // Not blocking: opening a pipe without a writer would wait for one for ever.
    const Descriptor fd(::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        const int errorNumber = errno;
        const FileReadError error = errorForOpen(errorNumber);
        return failed(error, error == FileReadError::Failed ? errorNumber : 0);
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0)
        return failed(FileReadError::Failed, errno);
    if (S_ISDIR(status.st_mode))
        return failed(FileReadError::Folder);
    if (!S_ISREG(status.st_mode))
        return failed(FileReadError::NotRegularFile);
    if (status.st_size > maxBytes)
        return failed(FileReadError::TooLarge);

    // One byte more than the size tells a file that grew; files such as those under /proc report
    // no size at all and are read in growing steps.
    FileContents contents;
    QByteArray& bytes = contents.bytes;
    const qint64 limit = maxBytes + 1;
    bytes.resize(qsizetype(std::min<qint64>(qint64(status.st_size) + 1, limit)));
    qint64 filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled >= limit)
                return failed(FileReadError::TooLarge);
            bytes.resize(qsizetype(std::min<qint64>(std::max<qint64>(2 * filled, 4096), limit)));
        }
        const ssize_t got = ::read(fd.get(), bytes.data() + filled, size_t(bytes.size() - filled));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return failed(FileReadError::Failed, errno);
        }
        if (got == 0)
            break;
        filled += got;
    }
    if (filled > maxBytes)
        return failed(FileReadError::TooLarge);
    bytes.resize(qsizetype(filled));
    return contents;
}
