#include "utilities/shell/FileManager.h"
#include "utilities/shell/TalloxException.h"
#include "utilities/text/KivoDateUtils.h"

#include "common/TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QStringConverter>
#include <QStringEncoder>
#include <gtest/gtest.h>

namespace {

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

std::shared_ptr<FileInfo> node(const QString& name, const std::shared_ptr<FileInfo>& parent)
{
    auto info = std::make_shared<FileInfo>();
    info->name = name;
    info->parent = parent;
    return info;
}

QSet<QString> namesOf(const QList<std::shared_ptr<FileInfo>>& nodes)
{
    QSet<QString> names;
    for (const auto& info : nodes)
        names.insert(info->name);
    return names;
}

} // namespace

TEST(FileManager, ListsANestedTreeWithSpacesAndNonAsciiNames)
{
    const QString documents = FileManager::documentsDirectory();
    ASSERT_TRUE(QDir(documents).mkpath(QString::fromUtf8("Rechnungen 2024/Übersicht")));
    writeBytes(documents + QString::fromUtf8("/Rechnungen 2024/März Bericht.txt"), "x");
    writeBytes(documents + "/notes.txt", "y");

    const std::shared_ptr<FileInfo> home = FileManager::getHomeDirectory();
    EXPECT_EQ(home->name, "Documents");
    EXPECT_TRUE(home->isDir);
    EXPECT_EQ(home->parent, nullptr);
    EXPECT_EQ(home->fullName, documents);

    const auto top = FileManager::getChilds(home);
    EXPECT_EQ(namesOf(top), (QSet<QString> { "Rechnungen 2024", "notes.txt" }));
    std::shared_ptr<FileInfo> folder;
    for (const auto& child : top) {
        EXPECT_EQ(child->parent, home);
        EXPECT_EQ(child->fullName, documents + "/" + child->name);
        EXPECT_EQ(child->isDir, child->name == "Rechnungen 2024");
        if (child->isDir)
            folder = child;
    }
    ASSERT_TRUE(folder);
    const auto inner = FileManager::getChilds(folder);
    EXPECT_EQ(namesOf(inner),
        (QSet<QString> { QString::fromUtf8("Übersicht"), QString::fromUtf8("März Bericht.txt") }));
    for (const auto& child : inner)
        EXPECT_EQ(child->fullName, folder->fullName + "/" + child->name);
    EXPECT_EQ(namesOf(FileManager::getHomeDirectoryContents()), namesOf(top));

    const auto empty = node(QString::fromUtf8("Übersicht"), folder);
    empty->fullName = folder->fullName + QString::fromUtf8("/Übersicht");
    EXPECT_TRUE(FileManager::getChilds(empty).isEmpty());
    const auto gone = node("gone", home);
    gone->fullName = documents + "/gone";
    EXPECT_THROW(FileManager::getChilds(gone), TalloxException);
}

TEST(FileManager, CreatesAndRemovesFoldersNamedByNodes)
{
    const auto home = FileManager::getHomeDirectory();
    const auto folder = node(QString::fromUtf8("Neuer Ördner"), home);
    EXPECT_TRUE(FileManager::createDirectory(*folder));
    EXPECT_EQ(folder->fullName, home->fullName + QString::fromUtf8("/Neuer Ördner"));
    EXPECT_TRUE(QFileInfo(folder->fullName).isDir());
    EXPECT_TRUE(FileManager::isFileExists(*folder));

    // Existing folder or file: a message, no error, the path still set.
    const auto again = node(QString::fromUtf8("Neuer Ördner"), home);
    EXPECT_FALSE(FileManager::createDirectory(*again));
    EXPECT_EQ(again->fullName, folder->fullName);
    writeBytes(home->fullName + "/plain", "z");
    const auto overFile = node("plain", home);
    EXPECT_FALSE(FileManager::createDirectory(*overFile));
    testsupport::processEvents(50);

    // No intermediate folders are made.
    const auto missingParent = node("missing", home);
    missingParent->fullName = home->fullName + "/missing";
    EXPECT_THROW(
        (void)FileManager::createDirectory(*node("child", missingParent)), TalloxException);

    writeBytes(folder->fullName + "/inside.txt", "content");
    FileManager::removeFileInfo(*folder);
    EXPECT_FALSE(QFileInfo::exists(folder->fullName));
    EXPECT_NO_THROW(FileManager::removeFileInfo(*folder));

    // Names that would leave the folder are refused before anything is touched.
    EXPECT_THROW(FileManager::removeFileInfo(*node("..", home)), TalloxException);
    EXPECT_THROW((void)FileManager::createDirectory(*node("a/b", home)), TalloxException);
    EXPECT_TRUE(QDir(home->fullName).exists());
}

TEST(FileManager, TextFilesRoundTripInUtf8AndReadByteOrderMarks)
{
    const auto home = FileManager::getHomeDirectory();
    const auto file = node("text file.txt", home);
    const QString text = QString::fromUtf8("Grüße \U0001F600 — 東京\nline two");
    FileManager::writeToTextFile(*file, text);
    QFile raw(home->fullName + "/text file.txt");
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_EQ(raw.readAll(), text.toUtf8());
    EXPECT_EQ(FileManager::readtTextFile(*file), text);

    FileManager::writeToTextFile(*file, "short");
    EXPECT_EQ(FileManager::readtTextFile(*file), "short");

    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    writeBytes(home->fullName + "/wide.txt", utf16.encode(text));
    EXPECT_EQ(FileManager::readtTextFile(*node("wide.txt", home)), text);

    writeBytes(home->fullName + "/latin.txt", QByteArray("caf\xe9"));
    EXPECT_EQ(FileManager::readtTextFile(*node("latin.txt", home)), QString::fromUtf8("café"));

    EXPECT_THROW(FileManager::readtTextFile(*node("none.txt", home)), TalloxException);
}

TEST(FileManager, LogFilesHaveSafeUniqueNames)
{
    const QString first = FileManager::writeLogFile("import/a:b", "first");
    const QString second = FileManager::writeLogFile("import/a:b", "second");
    ASSERT_FALSE(first.isNull());
    ASSERT_FALSE(second.isNull());
    EXPECT_NE(first, second);

    const QString logs = FileManager::documentsDirectory() + "/logs";
    for (const QString& path : { first, second }) {
        const QFileInfo info(path);
        EXPECT_EQ(info.absolutePath(), logs);
        EXPECT_FALSE(info.fileName().contains(':'));
        EXPECT_TRUE(info.fileName().startsWith("import-a.b_"));
        EXPECT_TRUE(info.fileName().endsWith(".txt"));
    }
    QFile firstFile(first);
    ASSERT_TRUE(firstFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(firstFile.readAll(), "first");
    QFile secondFile(second);
    ASSERT_TRUE(secondFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(secondFile.readAll(), "second");
    EXPECT_EQ(QDir(logs).entryList(QDir::Files).size(), 2);
}

TEST(FileManager, NamesStartingWithAColonArePlainNamesInsideDocuments)
{
    const auto home = FileManager::getHomeDirectory();
    const QString current = QDir::currentPath();
    const bool strayBefore = QFileInfo::exists(current + "/:notes");

    const auto folder = node(":notes", home);
    EXPECT_TRUE(FileManager::createDirectory(*folder));
    EXPECT_EQ(folder->fullName, home->fullName + "/:notes");
    EXPECT_TRUE(QFileInfo(home->fullName + "/:notes").isDir());
    EXPECT_EQ(QFileInfo::exists(current + "/:notes"), strayBefore);
    EXPECT_TRUE(FileManager::isFileExists(*node(":notes", home)));

    FileManager::writeToTextFile(*node(":memo.txt", home), "remember");
    std::shared_ptr<FileInfo> listed;
    for (const auto& child : FileManager::getChilds(home)) {
        if (child->name == ":memo.txt")
            listed = child;
    }
    ASSERT_TRUE(listed);
    EXPECT_EQ(listed->fullName, home->fullName + "/:memo.txt");
    EXPECT_EQ(FileManager::readtTextFile(*listed), "remember");
    FileManager::removeFileInfo(*listed);
    EXPECT_FALSE(QFileInfo::exists(home->fullName + "/:memo.txt"));
    FileManager::removeFileInfo(*folder);
    EXPECT_FALSE(QFileInfo::exists(home->fullName + "/:notes"));

    // The logs folder itself may be named so too.
    EXPECT_EQ(FileManager::createDirectoryName(":logs"), home->fullName + "/:logs");
    EXPECT_TRUE(QFileInfo(home->fullName + "/:logs").isDir());
}

TEST(FileManager, ReadingRefusesNamesThatLeaveTheirFolder)
{
    const auto home = FileManager::getHomeDirectory();
    writeBytes(testsupport::homePath() + "/secret.txt", "secret");
    const auto folder = node("inner", home);
    ASSERT_TRUE(FileManager::createDirectory(*folder));
    for (const char* name : { "../secret.txt", "../../secret.txt", "a/../../secret.txt", ".." }) {
        EXPECT_THROW(FileManager::readtTextFile(*node(name, home)), TalloxException) << name;
        EXPECT_THROW(FileManager::readtTextFile(*node(name, folder)), TalloxException) << name;
    }
}

TEST(FileManager, LinksAreNeverFollowedOutOfDocumentsAndRemovedAlone)
{
    const auto home = FileManager::getHomeDirectory();
    const QString outside = testsupport::homePath() + "/outside";
    ASSERT_TRUE(QDir().mkpath(outside));
    writeBytes(outside + "/target.txt", "original");
    ASSERT_TRUE(QFile::link(outside, home->fullName + "/out"));
    ASSERT_TRUE(QFile::link(outside + "/target.txt", home->fullName + "/link.txt"));
    ASSERT_TRUE(QFile::link(outside + "/missing.txt", home->fullName + "/dangling.txt"));
    const auto readOutside = [&](const QString& name) {
        QFile file(outside + "/" + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };

    const auto out = node("out", home);
    out->fullName = home->fullName + "/out";
    out->isDir = true;
    EXPECT_THROW(FileManager::writeToTextFile(*node("new.txt", out), "x"), TalloxException);
    EXPECT_THROW(FileManager::writeToTextFile(*node("target.txt", out), "x"), TalloxException);
    EXPECT_THROW(FileManager::writeToTextFile(*node("link.txt", home), "x"), TalloxException);
    EXPECT_THROW(FileManager::writeToTextFile(*node("dangling.txt", home), "x"), TalloxException);
    EXPECT_THROW((void)FileManager::createDirectory(*node("made", out)), TalloxException);
    EXPECT_THROW(FileManager::removeFileInfo(*node("target.txt", out)), TalloxException);
    EXPECT_EQ(readOutside("target.txt"), "original");
    EXPECT_FALSE(QFileInfo::exists(outside + "/new.txt"));
    EXPECT_FALSE(QFileInfo::exists(outside + "/missing.txt"));
    EXPECT_FALSE(QFileInfo::exists(outside + "/made"));

    // A link that stays inside Documents may be written through.
    FileManager::writeToTextFile(*node("inside.txt", home), "one");
    ASSERT_TRUE(QFile::link(home->fullName + "/inside.txt", home->fullName + "/alias.txt"));
    FileManager::writeToTextFile(*node("alias.txt", home), "two");
    EXPECT_EQ(FileManager::readtTextFile(*node("inside.txt", home)), "two");

    // Removing a link removes the link, never what it points to.
    FileManager::removeFileInfo(*node("out", home));
    FileManager::removeFileInfo(*node("link.txt", home));
    FileManager::removeFileInfo(*node("dangling.txt", home));
    EXPECT_FALSE(QFileInfo(home->fullName + "/out").isSymLink());
    EXPECT_FALSE(QFileInfo(home->fullName + "/link.txt").isSymLink());
    EXPECT_FALSE(QFileInfo(home->fullName + "/dangling.txt").isSymLink());
    EXPECT_EQ(readOutside("target.txt"), "original");

    // A folder holding a link to elsewhere loses the link, not the files it leads to.
    const auto holder = node("holder", home);
    ASSERT_TRUE(FileManager::createDirectory(*holder));
    ASSERT_TRUE(QFile::link(outside, holder->fullName + "/away"));
    FileManager::removeFileInfo(*holder);
    EXPECT_FALSE(QFileInfo::exists(holder->fullName));
    EXPECT_EQ(readOutside("target.txt"), "original");

    // A logs folder that leads elsewhere takes no log.
    ASSERT_TRUE(QFile::link(outside, home->fullName + "/logs"));
    EXPECT_TRUE(FileManager::writeLogFile("import", "text").isNull());
    EXPECT_EQ(QDir(outside).entryList(QDir::Files), QStringList { "target.txt" });
}

TEST(FileManager, ALogNameTooLongForTheFileSystemIsShortenedKeepingItsExtension)
{
    const QString logs = FileManager::documentsDirectory() + "/logs";
    for (const QString& name : { QString(300, QChar('x')), QString(200, QChar(0x00FC)),
             QString::fromUtf8("\U0001F600").repeated(100) }) {
        const QString path = FileManager::writeLogFile(name, "content");
        ASSERT_FALSE(path.isNull());
        const QFileInfo info(path);
        EXPECT_EQ(info.absolutePath(), logs);
        EXPECT_LE(info.fileName().toUtf8().size(), 255);
        EXPECT_TRUE(info.fileName().endsWith(".txt"));
        EXPECT_TRUE(info.fileName().startsWith(name.left(10)));
        // No character is cut in half.
        EXPECT_EQ(QString::fromUtf8(info.fileName().toUtf8()), info.fileName());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), "content");
    }
    // A second log of the same long name in the same minute gets its own file.
    const QString first = FileManager::writeLogFile(QString(300, QChar('y')), "a");
    const QString second = FileManager::writeLogFile(QString(300, QChar('y')), "b");
    ASSERT_FALSE(second.isNull());
    EXPECT_NE(first, second);
    EXPECT_LE(QFileInfo(second).fileName().toUtf8().size(), 255);
    EXPECT_TRUE(second.endsWith(".txt"));
}
