#include "reports/NSURLWebViewProtocol.h"
#include "common/TestSupport.h"
#include "platform/Folders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

struct Split {
    QString name;
    QString extension;
    QString prefix;
};

Split split(const QString& url, const QString& prefixBefore = {})
{
    Split parts { {}, {}, prefixBefore };
    NSURLWebViewProtocol(url).extractFileName(&parts.name, &parts.extension, &parts.prefix);
    return parts;
}

} // namespace

TEST(NSURLWebViewProtocol, AcceptsBothSchemesInAnyCaseAndNothingElse)
{
    EXPECT_TRUE(NSURLWebViewProtocol::canInitWithRequest("documentsimage://a.png"));
    EXPECT_TRUE(NSURLWebViewProtocol::canInitWithRequest("BundleImage://a.png"));
    EXPECT_TRUE(NSURLWebViewProtocol::canInitWithRequest("DOCUMENTSIMAGE://a.png"));
    for (const char* other : { "file:///etc/passwd", "http://example.com/a.png", "qrc:/a.png",
             "/etc/a.png", "a.png", "documentsimagex://a.png", "bundle://a.png", "" })
        EXPECT_FALSE(NSURLWebViewProtocol::canInitWithRequest(other)) << other;
    EXPECT_EQ(NSURLWebViewProtocol::canonicalRequestForRequest("bundleimage://x.png"),
        "bundleimage://x.png");
}

TEST(NSURLWebViewProtocol, SplitsOffTheLowerCaseSchemeOnlyAndKeepsEscapes)
{
    Split parts = split("documentsimage://photos/Ann%20B.large.PNG");
    EXPECT_EQ(parts.prefix, "documentsimage");
    EXPECT_EQ(parts.name, "photos/Ann%20B.large");
    EXPECT_EQ(parts.extension, "PNG");

    // The prefix is found without case, but only its lower-case form is removed.
    parts = split("BundleImage://logo.png");
    EXPECT_EQ(parts.prefix, "bundleimage");
    EXPECT_EQ(parts.name, "BundleImage://logo");

    // Every occurrence goes; a name without extension keeps all of it.
    parts = split("bundleimage://a/bundleimage://b");
    EXPECT_EQ(parts.name, "a/b");
    EXPECT_EQ(parts.extension, "");

    // Neither scheme: the prefix stays as the caller set it.
    parts = split("http://host/x.gif", "unset");
    EXPECT_EQ(parts.prefix, "unset");
    EXPECT_EQ(parts.extension, "gif");
}

TEST(NSURLWebViewProtocol, LoadsFilesOfDocumentsAndResourcesOnly)
{
    const QString documents = platform::Folders::documents();
    write(documents + "/logo.png", "documents logo");
    write(documents + "/photos/ann.jpg", "ann");
    write(documents + "/Ann%20B.png", "escaped name");
    EXPECT_EQ(NSURLWebViewProtocol::loadRequest("documentsimage://logo.png"), "documents logo");
    EXPECT_EQ(NSURLWebViewProtocol::loadRequest("documentsimage://photos/ann.jpg"), "ann");
    EXPECT_EQ(NSURLWebViewProtocol::loadRequest("documentsimage://Ann%20B.png"), "escaped name");
    // The capitalised scheme stays in the name: nothing is found, and the load ends quietly.
    EXPECT_EQ(NSURLWebViewProtocol::loadRequest("DocumentsImage://logo.png"), "");
    EXPECT_EQ(NSURLWebViewProtocol::loadRequest("documentsimage://missing.png"), "");
    EXPECT_EQ(NSURLWebViewProtocol::loadRequest("documentsimage://photos.png"), "");
    EXPECT_EQ(NSURLWebViewProtocol::loadRequest("file://" + documents + "/logo.png"), "");

    // A resource of the application, by name and type.
    const QString resources = platform::Folders::resources();
    QDir images(resources + "/images");
    const QStringList pngs = images.entryList({ "*.png" }, QDir::Files);
    ASSERT_FALSE(pngs.isEmpty());
    QFile bundled(images.filePath(pngs.first()));
    ASSERT_TRUE(bundled.open(QIODevice::ReadOnly));
    EXPECT_EQ(NSURLWebViewProtocol::loadRequest("bundleimage://images/" + pngs.first()),
        bundled.readAll());
}

TEST(NSURLWebViewProtocol, NamesLeavingTheirFolderLoadNothing)
{
    const QString documents = platform::Folders::documents();
    QTemporaryDir outside;
    ASSERT_TRUE(outside.isValid());
    write(outside.path() + "/secret.png", "secret");
    write(documents + "/../x.png", "beside documents");
    ASSERT_TRUE(QFile::link(outside.path(), documents + "/out"));
    ASSERT_TRUE(QFile::link(outside.path() + "/secret.png", documents + "/secret.png"));

    for (const QString& url : { QStringLiteral("documentsimage://../x.png"),
             QStringLiteral("documentsimage://photos/../../x.png"),
             "documentsimage://" + outside.path() + "/secret.png",
             "documentsimage:///" + outside.path() + "/secret.png",
             QStringLiteral("documentsimage://out/secret.png"),
             QStringLiteral("documentsimage://secret.png"),
             QStringLiteral("bundleimage://../resources/images/x.png"),
             "bundleimage://" + outside.path() + "/secret.png" }) {
        EXPECT_EQ(NSURLWebViewProtocol::loadRequest(url), "") << url.toStdString();
        EXPECT_EQ(NSURLWebViewProtocol(url).filePath(), "") << url.toStdString();
    }
    // A link that stays inside Documents is followed.
    write(documents + "/real/inside.png", "inside");
    ASSERT_TRUE(QFile::link(documents + "/real", documents + "/alias"));
    EXPECT_EQ(NSURLWebViewProtocol::loadRequest("documentsimage://alias/inside.png"), "inside");
}
