#include "platform/memory.h"

#include <gtest/gtest.h>

#include <unistd.h>

// Available memory is some of the machine's memory, and more than a test process needs.
TEST(AvailableMemory, IsPartOfThePhysicalMemory) {
    const qint64 physical = qint64(sysconf(_SC_PHYS_PAGES)) * sysconf(_SC_PAGESIZE);
    const qint64 available = availableMemory();
    EXPECT_GT(available, qint64(64) << 20);
    EXPECT_LE(available, physical);
}
