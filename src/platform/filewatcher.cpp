#include "platform/filewatcher.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

FileWatcher::FileWatcher(std::function<void()> changed, std::chrono::milliseconds quiet)
    : m_changed(std::move(changed)) {
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(quiet);
    QObject::connect(&m_quiet, &QTimer::timeout, &m_quiet, [this] { check(); });
    QObject::connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_quiet, [this] { noticed(); });
    QObject::connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_quiet, [this] { noticed(); });
}

FileWatcher::FileState FileWatcher::stateOf(const QString& path) {
    FileState state;
    struct stat info {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return state;
    state.exists = true;
    state.device = qint64(info.st_dev);
    state.inode = qint64(info.st_ino);
    state.size = qint64(info.st_size);
    state.modifiedNs = qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    state.changedNs = qint64(info.st_ctim.tv_sec) * 1'000'000'000 + info.st_ctim.tv_nsec;
    return state;
}

void FileWatcher::watch(const QString& path) {
    m_quiet.stop();
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_path = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    m_seen = m_watched = stateOf(m_path);
    if (m_path.isEmpty())
        return;
    // The folder tells of a file renamed over the watched one, or made again after it was removed;
    // the file itself tells of writes in place.
    m_watcher.addPath(QFileInfo(m_path).absolutePath());
    if (m_seen.exists)
        m_watcher.addPath(m_path);
}

void FileWatcher::noticed() {
    const qint64 nLongest = 8 * qint64(m_quiet.interval());
    if (!m_quiet.isActive())
        m_burst.start();
    else if (m_burst.elapsed() >= nLongest)
        return;
    m_quiet.start();
}

void FileWatcher::check() {
    if (m_path.isEmpty())
        return;
    const FileState now = stateOf(m_path);
    // A watch stays with the file it was put on; a file renamed over the path is another one.
    if (now.exists && (!m_watcher.files().contains(m_path) || now.device != m_watched.device ||
                       now.inode != m_watched.inode)) {
        m_watcher.removePath(m_path);
        m_watcher.addPath(m_path);
        m_watched = now;
    }
    if (now == m_seen)
        return;
    m_seen = now;
    m_changed();
}
