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
    EXPECT_THROW(FileManager::createDirectory(*node("child", missingParent)), TalloxException);

    writeBytes(folder->fullName + "/inside.txt", "content");
    FileManager::removeFileInfo(*folder);
    EXPECT_FALSE(QFileInfo::exists(folder->fullName));
    EXPECT_NO_THROW(FileManager::removeFileInfo(*folder));

    // Names that would leave the folder are refused before anything is touched.
    EXPECT_THROW(FileManager::removeFileInfo(*node("..", home)), TalloxException);
    EXPECT_THROW(FileManager::createDirectory(*node("a/b", home)), TalloxException);
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
