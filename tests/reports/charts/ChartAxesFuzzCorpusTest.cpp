// Replays the chart axes fuzz target's checked-in corpus, so every input it found stays
// harmless: nearly equal, huge, tiny and non-finite values through ticks, ranges and charts.
#include "ChartAxesFuzzHarness.h"

#include "ChartTestSupport.h"

#include <QDir>
#include <QFile>

using charttest::ChartTest;

TEST_F(ChartTest, EveryChartAxesSeedRunsWithoutCrashing)
{
    const QDir corpus(QStringLiteral(QT_TESTCASE_SOURCEDIR "/reports/charts/corpus"));
    const QStringList seeds = corpus.entryList(QDir::Files);
    ASSERT_FALSE(seeds.isEmpty());
    for (const QString& seed : seeds) {
        QFile file(corpus.filePath(seed));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << seed.toStdString();
        const QByteArray bytes = file.readAll();
        runChartAxesFuzzInput(
            reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
    }
}
