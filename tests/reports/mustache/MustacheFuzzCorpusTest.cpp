// Replays the fuzz target's checked-in corpus, so every input it found stays harmless.
#include "MustacheFuzzHarness.h"

#include "common/TestSupport.h"

#include <gtest/gtest.h>

TEST(MustacheFuzzCorpus, EverySeedRendersWithoutCrashing)
{
    testsupport::replayCorpus(
        QStringLiteral(QT_TESTCASE_SOURCEDIR "/reports/mustache/corpus"), renderMustacheFuzzInput);
}
