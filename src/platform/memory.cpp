#include "platform/memory.h"

#include "platform/files.h"

#include <QList>

#include <algorithm>
#include <optional>

#include <unistd.h>

namespace {

// The first number in the text, when the text is a number ("max" and the like are not).
std::optional<qint64> number(const QByteArray& text) {
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    return ok && value >= 0 ? std::optional(value) : std::nullopt;
}

std::optional<qint64> numberInFile(const char* path) {
    const FileContents contents = readRegularFile(QString::fromLatin1(path), 4096);
    return contents.error == FileReadError::None ? number(contents.bytes) : std::nullopt;
}

// MemAvailable of /proc/meminfo, which counts the caches the kernel can drop as available.
std::optional<qint64> kernelAvailable() {
    const FileContents meminfo = readRegularFile(QStringLiteral("/proc/meminfo"), 1 << 20);
    if (meminfo.error != FileReadError::None)
        return std::nullopt;
    for (const QByteArray& line : meminfo.bytes.split('\n')) {
        if (line.startsWith("MemAvailable:")) {
            const std::optional<qint64> kib = number(line.mid(13).replace("kB", ""));
            if (kib)
                return *kib * 1024;
        }
    }
    return std::nullopt;
}

// What the control group (version 2, or the memory controller of version 1) still allows.
std::optional<qint64> controlGroupAvailable() {
    const std::pair<const char*, const char*> files[] = {
        {"/sys/fs/cgroup/memory.max", "/sys/fs/cgroup/memory.current"},
        {"/sys/fs/cgroup/memory/memory.limit_in_bytes", "/sys/fs/cgroup/memory/memory.usage_in_bytes"}};
    for (const auto& [limitFile, usageFile] : files) {
        const std::optional<qint64> limit = numberInFile(limitFile);
        const std::optional<qint64> usage = numberInFile(usageFile);
        if (limit && usage)
            return std::max<qint64>(*limit - *usage, 0);
    }
    return std::nullopt;
}

} // namespace

qint64 availableMemory() {
    std::optional<qint64> available = kernelAvailable();
    if (!available) {
        const long pages = sysconf(_SC_AVPHYS_PAGES);
        const long pageSize = sysconf(_SC_PAGESIZE);
        if (pages > 0 && pageSize > 0)
            available = qint64(pages) * pageSize;
    }
    // Nothing to read it from: assume a modest machine rather than an unbounded one.
    qint64 bytes = available.value_or(qint64(1) << 30);
    if (const std::optional<qint64> group = controlGroupAvailable())
        bytes = std::min(bytes, *group);
    return std::max<qint64>(bytes, 1);
}
