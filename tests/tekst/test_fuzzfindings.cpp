#include "fuzztargets.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

// Every seed of the fuzz targets and every input a fuzzer ever found failing (kept under
// tests/data/fuzz/ by target) goes through its target again; a failure ends the program with the
// target's message, as it ended the fuzzer.
TEST(FuzzFindings, EverySeedAndFindingStaysFixed) {
    const std::pair<const char*, void (*)(const uint8_t*, size_t)> targets[] = {
        {"reader", fuzzReader}, {"picture", fuzzPicture}, {"texts", fuzzTexts}};
    MessageRecorder teated;
    for (const auto& [name, target] : targets) {
        int nSeemneid = 0;
        for (const QString& folder :
             {QStringLiteral(VELMORA_FUZZ_CORPUS "/") + name, testDataPath("fuzz/") + name}) {
            const QDir dir(folder);
            for (const QString& file : dir.entryList(QDir::Files, QDir::Name)) {
                SCOPED_TRACE(qPrintable(dir.filePath(file)));
                QFile f(dir.filePath(file));
                ASSERT_TRUE(f.open(QIODevice::ReadOnly));
                const QByteArray bytes = f.readAll();
                target(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
                nSeemneid += folder.startsWith(VELMORA_FUZZ_CORPUS);
            }
        }
        EXPECT_GT(nSeemneid, 0) << name;
    }
}
