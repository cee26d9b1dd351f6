#include "platform/files.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile f(dir.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    return f.fileName();
}

} // namespace

TEST(ReadRegularFile, ReadsWholeFilesUpToTheLimitAndRefusesTheRest) {
    QTemporaryDir dir;
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath("pipe")).constData(), 0600), 0);
    // A sparse file far beyond anything that could be read: refused by its size alone.
    ASSERT_TRUE(QFile::resize(write(dir, "huge", {}), 64LL << 30));

    const std::tuple<const char*, QString, FileReadError, qsizetype> rows[] = {
        {"exactly the limit", write(dir, "ten", "0123456789"), FileReadError::None, 10},
        {"empty", write(dir, "empty", {}), FileReadError::None, 0},
        {"one byte over", write(dir, "eleven", "0123456789a"), FileReadError::TooLarge, 0},
        {"sparse and huge", dir.filePath("huge"), FileReadError::TooLarge, 0},
        {"missing", dir.filePath("missing"), FileReadError::NoSuchFile, 0},
        {"a file taken for a folder", dir.filePath("ten/x"), FileReadError::NoSuchFile, 0},
        {"name component too long", dir.filePath(QString(300, u'a')), FileReadError::NameTooLong, 0},
        {"folder", dir.path(), FileReadError::Folder, 0},
        {"pipe without a writer", dir.filePath("pipe"), FileReadError::NotRegularFile, 0},
        {"device", "/dev/zero", FileReadError::NotRegularFile, 0},
    };
    for (const auto& [name, path, error, size] : rows) {
        const FileContents contents = readRegularFile(path, 10);
        EXPECT_EQ(contents.error, error) << name;
        EXPECT_EQ(contents.bytes.size(), size) << name;
    }
}

// Files under /proc report a size of 0 yet have content: they are read to their end.
TEST(ReadRegularFile, ReadsFilesThatReportNoSize) {
    const FileContents contents = readRegularFile("/proc/self/maps", 64 << 20);
    EXPECT_EQ(contents.error, FileReadError::None);
    EXPECT_GT(contents.bytes.size(), 4096);
    EXPECT_TRUE(contents.bytes.contains("\n"));
    EXPECT_EQ(readRegularFile("/proc/self/maps", 100).error, FileReadError::TooLarge);
}
