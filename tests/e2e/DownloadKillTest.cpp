#include "model/ModelFixture.h"
#include "screens/WalKillSwitch.h"

#include "model/DefaultContent.h"
#include "model/DefinitionCheck.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "utilities/store/StoreStack.h"

#include "common/ChildProcess.h"

#include <QSet>

namespace {

const char* const kChildStoreVariable = "KIVOTAB_DOWNLOAD_CHILD_STORE";
const char* const kChildKillVariable = "KIVOTAB_DOWNLOAD_CHILD_KILL";
const QString kEntry = QStringLiteral("0F6C2B7E-8A41-4C39-9D52-3E7A1B9C4D60");
constexpr int kColumns = 150;

// A catalogue entry of many columns, every text column as long as the round says.
QVariantMap entry(int round)
{
    QVariantList columns;
    for (int i = 0; i < kColumns; ++i) {
        columns << QVariantMap {
            { "id", QStringLiteral("1A2B3C4D-5E6F-4A7B-8C9D-%1").arg(i, 12, 10, QLatin1Char('0')) },
            { "name", QStringLiteral("Column %1").arg(i) }, { "type", "Text" },
            { "length", 40 + round }, { "order", i }
        };
    }
    return { { "id", kEntry }, { "name", "Big" }, { "descr", "Many columns" },
        { "tilescolumns", 1 }, { "columns", columns } };
}

struct DownloadKill : modeltest::ModelTest {
    static QString storePath() { return testsupport::homePath() + "/Kivotab.sqlite"; }
};

} // namespace

// Run as a child process by the test below: copies the entry into the store again and
// again, each time longer, as the download does; killed with SIGKILL once the given number
// of bytes has gone into the write-ahead log, that is in the middle of a commit.
TEST_F(DownloadKill, CopyChildProcess)
{
    const QString path = qEnvironmentVariable(kChildStoreVariable);
    if (path.isEmpty())
        GTEST_SKIP() << "runs only as the child of KilledMidCopyLeavesAllOrNothing";
    StoreStack::install(nullptr);
    screenstest::WalKillSwitch::install();
    platform::Error error;
    StoreStack::install(StoreStack::open(path, {}, &error));
    ASSERT_TRUE(StoreStack::instance()) << error.localizedDescription().toStdString();
    screenstest::WalKillSwitch::arm(qEnvironmentVariable(kChildKillVariable).toLongLong());
    // Each round longer than the last, as a text column may only grow.
    const QList<TemplateColumn*> stored = TemplateColumn::getColumns(kEntry);
    const int first = stored.isEmpty() ? 1 : stored.first()->length().toInt() - 40 + 1;
    for (int round = first;; ++round) {
        const QVariantMap definition = DefinitionCheck::downloadable(entry(round));
        QString reason = DefinitionCheck::downloadProblemOf(definition);
        ASSERT_TRUE(reason.isEmpty()) << reason.toStdString();
        ASSERT_NE(
            DefaultContent::storeTemplate(definition, DefinitionCheck::Source::Download, &reason),
            nullptr)
            << reason.toStdString();
    }
}

TEST_F(DownloadKill, KilledMidCopyLeavesAllOrNothing)
{
    StoreStack::install(nullptr);
    for (const qint64 killAfterBytes : { 2 * 1024, 64 * 1024, 512 * 1024 }) {
        SCOPED_TRACE(killAfterBytes);
        testsupport::ChildProcess child;
        child.setEnvironment(kChildStoreVariable, storePath());
        child.setEnvironment(kChildKillVariable, QString::number(killAfterBytes));
        ASSERT_TRUE(child.startTests("DownloadKill.CopyChildProcess")) << child.report();
        ASSERT_TRUE(child.waitForExit(120000)) << child.report();
        ASSERT_TRUE(child.killedBySignal()) << child.report();

        platform::Error error;
        StoreStack::install(StoreStack::open(storePath(), {}, &error));
        ASSERT_TRUE(StoreStack::instance()) << error.localizedDescription().toStdString();
        // The definition of one round with all its columns, or none of it.
        const QList<TemplateColumn*> columns = TemplateColumn::getColumns(kEntry);
        if (!Template::getTemplate(kEntry)) {
            EXPECT_TRUE(columns.isEmpty());
        } else {
            ASSERT_EQ(columns.size(), kColumns);
            QSet<int> lengths;
            for (const TemplateColumn* column : columns)
                lengths.insert(column->length().toInt());
            EXPECT_EQ(lengths.size(), 1);
        }
        StoreStack::install(nullptr);
    }
}
