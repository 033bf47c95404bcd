// The kept fuzz corpus, replayed through every target as an ordinary test: no fuzzing, just
// the inputs that once found something or cover the roads well.
#include "fuzz_targets.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace {

struct Target {
    const char* folder;
    int (*run)(const std::uint8_t*, std::size_t);
};

constexpr Target kTargets[] = {
    {"kiss_stream", FuzzKissStream},       {"kiss_capture", FuzzKissCapture},
    {"satnogs_file", FuzzSatnogsFile},     {"configuration", FuzzConfiguration},
    {"time_stamp_frames", FuzzTimeStampFrames},
};

}  // namespace

TEST(FuzzCorpus, EveryKeptInputHoldsItsProperties) {
    for (const Target& target : kTargets) {
        const QDir folder(QString(FUZZ_CORPUS_DIR) + "/" + target.folder);
        const QStringList inputs = folder.entryList(QDir::Files);
        EXPECT_FALSE(inputs.isEmpty()) << target.folder;
        for (const QString& name : inputs) {
            QFile file(folder.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            SCOPED_TRACE(std::string(target.folder) + "/" + name.toStdString());
            EXPECT_EQ(target.run(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                 static_cast<std::size_t>(bytes.size())),
                      0);
        }
    }
}
