// Replays the reply fuzz target's checked-in corpus, so every input it found stays harmless.
#include "BridgeReplyFuzzHarness.h"

#include "common/TestSupport.h"

#include <gtest/gtest.h>

TEST(BridgeReplyFuzzCorpus, EverySeedIsReadAndShownWithoutCrashing)
{
    testsupport::replayCorpus(
        QStringLiteral(QT_TESTCASE_SOURCEDIR "/bridge/corpus"), readBridgeReplyFuzzInput);
}
