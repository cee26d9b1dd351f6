#pragma once

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>

// Tells when a file changes on disk: written in place, replaced by another file renamed over it (as
// editors save), or removed and made again. A burst of changes (an editor writing in pieces, then
// renaming) is told once, when the file has been quiet for a moment; a change of the folder that
// leaves the file as it was is not told at all.
class FileWatcher {
public:
    explicit FileWatcher(std::function<void()> changed,
                         std::chrono::milliseconds quiet = std::chrono::milliseconds(250));
    FileWatcher(const FileWatcher&) = delete;
    FileWatcher& operator=(const FileWatcher&) = delete;

    // Watches `path` from now on, the file as it is now counting as seen; an empty path watches
    // nothing.
    void watch(const QString& path);
    const QString& path() const { return m_path; }

    // What tells one state of a file from another.
    struct FileState {
        bool exists = false;
        qint64 device = 0;
        qint64 inode = 0;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        qint64 changedNs = 0;
        bool operator==(const FileState&) const = default;
    };
    static FileState stateOf(const QString& path);

private:
    void noticed();
    void check();

    std::function<void()> m_changed;
    QFileSystemWatcher m_watcher;
    QTimer m_quiet;
    // How long the present burst has lasted: a file that never falls quiet (a log written all the
    // time) is still checked now and then.
    QElapsedTimer m_burst;
    QString m_path;
    FileState m_seen;
    // The file the watch is on: after a rename the path names another one.
    FileState m_watched;
};
