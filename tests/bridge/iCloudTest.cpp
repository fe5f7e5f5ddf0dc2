#include "bridge/iCloud.h"
#include "common/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

namespace {

struct Saved {
    QUrl document;
    QByteArray data;
    platform::Error error;
};

// Saves and waits for the completion, which comes on the main queue.
std::optional<Saved> save(const QString& name, const QByteArray& content)
{
    std::optional<Saved> result;
    iCloud::sharedCloud().saveAndCloseDocumentWithName(name, content,
        [&](const QUrl& document, const QByteArray& data, const platform::Error& error) {
            result = Saved { document, data, error };
        });
    testsupport::waitUntil([&] { return result.has_value(); });
    return result;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct CloudDocuments : ::testing::Test {
    void TearDown() override { qunsetenv("KIVOTAB_CLOUD"); }
};

} // namespace

TEST_F(CloudDocuments, ADocumentIsSavedInTheDocumentsFolderOfTheCloudUnderTheHome)
{
    qunsetenv("KIVOTAB_CLOUD");
    const QString folder = testsupport::homePath() + "/cloud/Documents";
    EXPECT_EQ(iCloud::sharedCloud().ubiquitousDocumentsDirectoryURL().toLocalFile(), folder);
    EXPECT_TRUE(QDir(folder).exists());

    const auto saved = save("Clients.csv", "a,b\r\n");
    ASSERT_TRUE(saved.has_value());
    EXPECT_TRUE(saved->error.isNull());
    EXPECT_EQ(saved->document.toLocalFile(), folder + "/Clients.csv");
    EXPECT_EQ(saved->data, "a,b\r\n");
    EXPECT_EQ(contents(folder + "/Clients.csv"), "a,b\r\n");
}

TEST_F(CloudDocuments, TheCloudFolderVariableChoosesTheContainerAndASaveReplacesWhole)
{
    QTemporaryDir container;
    qputenv("KIVOTAB_CLOUD", container.path().toUtf8());
    const QString path = container.path() + "/Documents/report.pdf";
    ASSERT_TRUE(save("report.pdf", QByteArray(10000, 'x'))->error.isNull());
    ASSERT_TRUE(save("report.pdf", "short")->error.isNull());
    EXPECT_EQ(contents(path), "short");
    // Nothing is left beside it from the writing.
    EXPECT_EQ(
        QDir(container.path() + "/Documents").entryList(QDir::Files), QStringList { "report.pdf" });
}

TEST_F(CloudDocuments, AnEmptyOrPathLikeNameIsAnErrorAndWritesNothing)
{
    QTemporaryDir container;
    qputenv("KIVOTAB_CLOUD", container.path().toUtf8());
    for (const QString& name : { QString(), QStringLiteral(".."), QStringLiteral("../escape.csv"),
             QStringLiteral("sub/file.csv") }) {
        SCOPED_TRACE(name.toStdString());
        const auto saved = save(name, "data");
        ASSERT_TRUE(saved.has_value());
        EXPECT_EQ(saved->error.domain(), iCloud::ErrorDomain);
        EXPECT_EQ(saved->error.code(), iCloud::InvalidFileNameError);
        EXPECT_EQ(saved->error.localizedDescription(), "Invalid File Name.");
        EXPECT_TRUE(saved->document.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(container.path() + "/escape.csv"));
    EXPECT_TRUE(QDir(container.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(CloudDocuments, AFolderThatCannotBeMadeIsAnError)
{
    QTemporaryDir container;
    qputenv("KIVOTAB_CLOUD", container.path().toUtf8());
    // A file stands where the documents folder should be.
    QFile blocker(container.path() + "/Documents");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_TRUE(iCloud::sharedCloud().ubiquitousDocumentsDirectoryURL().isEmpty());
    const auto saved = save("report.pdf", "data");
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->error.code(), iCloud::WriteUnknownError);
    EXPECT_TRUE(saved->document.isEmpty());
}
