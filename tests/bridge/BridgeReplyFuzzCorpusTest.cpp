// Replays the reply fuzz target's checked-in corpus, so every input it found stays harmless.
#include "BridgeReplyFuzzHarness.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

TEST(BridgeReplyFuzzCorpus, EverySeedIsReadAndShownWithoutCrashing)
{
    const QDir corpus(QStringLiteral(QT_TESTCASE_SOURCEDIR "/bridge/corpus"));
    const QStringList seeds = corpus.entryList(QDir::Files);
    ASSERT_FALSE(seeds.isEmpty());
    for (const QString& seed : seeds) {
        QFile file(corpus.filePath(seed));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << seed.toStdString();
        const QByteArray bytes = file.readAll();
        readBridgeReplyFuzzInput(
            reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
    }
}
