// Replays the chart axes fuzz target's checked-in corpus, so every input it found stays
// harmless: nearly equal, huge, tiny and non-finite values through ticks, ranges and charts.
#include "ChartAxesFuzzHarness.h"

#include "ChartTestSupport.h"

#include "common/TestSupport.h"

using charttest::ChartTest;

TEST_F(ChartTest, EveryChartAxesSeedRunsWithoutCrashing)
{
    testsupport::replayCorpus(
        QStringLiteral(QT_TESTCASE_SOURCEDIR "/reports/charts/corpus"), runChartAxesFuzzInput);
}
