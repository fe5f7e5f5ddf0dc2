// Replays the fuzz target's checked-in corpus, so every input it found stays harmless.
#include "JsonFormFuzzHarness.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

TEST(JsonFormFuzzCorpus, EverySeedBindsAndLaysOutWithoutCrashing)
{
    const QDir corpus(QStringLiteral(QT_TESTCASE_SOURCEDIR "/forms/fuzz/corpus"));
    const QStringList seeds = corpus.entryList(QDir::Files);
    ASSERT_FALSE(seeds.isEmpty());
    for (const QString& seed : seeds) {
        SCOPED_TRACE(seed.toStdString());
        QFile file(corpus.filePath(seed));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        bindJsonFormFuzzInput(
            reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
    }
}
