// Replays the fuzz target's checked-in corpus, so every input it found stays harmless.
#include "JsonFormFuzzHarness.h"

#include "common/TestSupport.h"

#include <gtest/gtest.h>

TEST(JsonFormFuzzCorpus, EverySeedBindsAndLaysOutWithoutCrashing)
{
    testsupport::replayCorpus(
        QStringLiteral(QT_TESTCASE_SOURCEDIR "/forms/fuzz/corpus"), bindJsonFormFuzzInput);
}
