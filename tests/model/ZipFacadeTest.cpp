#include "model/ZipFacade.h"
#include "common/ChildProcess.h"
#include "common/TestSupport.h"
#include "common/ZipPasswordChecks.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

const QString kArchivePassword = QStringLiteral("s3cret pass");

struct Recorder : ZipFacadeDelegate {
    void ErrorMessage(const QString& message) override { errors << message; }
    bool OverWriteOperation(const QString& path) override
    {
        asked << path;
        return answer;
    }
    QStringList errors;
    QStringList asked;
    bool answer = false;
};

struct ZipFacadeTest : ::testing::Test {
    QString path(const QString& name) const { return folder.filePath(name); }

    QString write(const QString& name, const QByteArray& content)
    {
        const QString file = path(name);
        QDir().mkpath(QFileInfo(file).path());
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(content);
        return file;
    }

    static QByteArray read(const QString& file)
    {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

    // An archive of the named contents (entry name -> content).
    QString archive(const QString& name, const QList<std::pair<QString, QByteArray>>& entries,
        const QString& password = kArchivePassword)
    {
        ZipFacade zip;
        const QString target = path(name);
        EXPECT_TRUE(zip.CreateZipFile2(target, password));
        int n = 0;
        for (const auto& [entry, content] : entries)
            EXPECT_TRUE(zip.addFileToZip(write(QStringLiteral("src/%1").arg(n++), content), entry));
        EXPECT_TRUE(zip.CloseZipFile2());
        return target;
    }

    // Extracts into a new folder "out"; the facade's result.
    bool extract(const QString& archivePath, ZipFacade& zip, bool overWrite = true,
        const QString& password = kArchivePassword)
    {
        EXPECT_TRUE(zip.UnzipOpenFile(archivePath, password));
        return zip.UnzipFileTo(path("out"), overWrite);
    }

    QTemporaryDir folder;
};

TEST_F(ZipFacadeTest, RoundTripKeepsContentDatesAndOrderAndReportsProgress)
{
    QByteArray big;
    for (int i = 0; i < 20000; ++i)
        big += "line " + QByteArray::number(i) + " of some repeated text\n";
    const QString first = write("a.txt", "first");
    const QString second = write("b.bin", big);
    const QString third = write("c.txt", QByteArray());
    // Whole even seconds: the format keeps two-second steps.
    const QDateTime stamp(QDate(2021, 6, 15), QTime(13, 45, 22));
    for (const QString& file : { first, second, third }) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(stamp, QFileDevice::FileModificationTime));
    }

    ZipFacade writer;
    ASSERT_TRUE(writer.CreateZipFile2(path("x.zip"), kArchivePassword));
    EXPECT_TRUE(writer.addFileToZip(first, "a.txt"));
    EXPECT_TRUE(writer.addFileToZip(second, "sub/b.bin"));
    EXPECT_TRUE(writer.addFileToZip(third, "empty.txt"));
    EXPECT_TRUE(writer.CloseZipFile2());
    EXPECT_TRUE(writer.password().isEmpty());

    ZipFacade reader;
    std::vector<std::tuple<int, int, int>> progress;
    reader.setProgressBlock(
        [&](int percent, int done, int count) { progress.emplace_back(percent, done, count); });
    ASSERT_TRUE(reader.UnzipOpenFile(path("x.zip"), kArchivePassword));
    EXPECT_EQ(reader.numFiles(), 3);
    EXPECT_EQ(reader.getZipFileContents(), QStringList({ "a.txt", "sub/b.bin", "empty.txt" }));
    ASSERT_TRUE(reader.UnzipFileTo(path("out"), false));
    EXPECT_EQ(reader.unzippedFiles(),
        QStringList({ path("out/a.txt"), path("out/sub/b.bin"), path("out/empty.txt") }));
    EXPECT_EQ(read(path("out/a.txt")), "first");
    EXPECT_EQ(read(path("out/sub/b.bin")), big);
    EXPECT_EQ(read(path("out/empty.txt")), QByteArray());
    EXPECT_EQ(QFileInfo(path("out/sub/b.bin")).lastModified(), stamp);
    EXPECT_EQ(progress,
        (std::vector<std::tuple<int, int, int>> { { 33, 1, 3 }, { 66, 2, 3 }, { 100, 3, 3 } }));
    EXPECT_TRUE(reader.UnzipCloseFile());
    // Only the extracted files: no temporary names are left behind.
    EXPECT_EQ(QDir(path("out")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList({ "a.txt", "empty.txt", "sub" }));
}

TEST_F(ZipFacadeTest, OtherZipToolsOpenTheArchiveWithThePasswordAndSeeItsDates)
{
    const QString file = write("note.txt", "hello from the facade\n");
    const QDateTime stamp(QDate(2019, 11, 3), QTime(8, 7, 6));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(stamp, QFileDevice::FileModificationTime));
    }
    ZipFacade zip;
    ASSERT_TRUE(zip.CreateZipFile2(path("x.zip"), kArchivePassword));
    ASSERT_TRUE(zip.addFileToZip(file, "dir/note.txt"));
    ASSERT_TRUE(zip.CloseZipFile2());

    int code = -1;
    testsupport::runTool("unzip", { "-tq", "-P", kArchivePassword, path("x.zip") }, {}, &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(testsupport::runTool(
                  "unzip", { "-p", "-P", kArchivePassword, path("x.zip"), "dir/note.txt" }),
        "hello from the facade\n");
    // The entry's time as zipinfo decodes it: the file's local modification time.
    const QByteArray listing = testsupport::runTool("zipinfo", { "-T", path("x.zip") });
    EXPECT_TRUE(listing.contains(stamp.toString("yyyyMMdd.HHmmss").toLatin1())) << listing.data();
    // And without the password nothing comes out.
    testsupport::runTool("unzip", { "-tq", "-P", "wrong", path("x.zip") }, {}, &code);
    EXPECT_NE(code, 0);
}

TEST_F(ZipFacadeTest, LargeEntriesDeflateInPiecesIntoOneStream)
{
    // Several megabytes, more than one piece, neither uniform nor random.
    QByteArray large;
    quint32 state = 12345;
    while (large.size() < 3 * 1024 * 1024 + 777) {
        state = state * 1103515245u + 12345u;
        large += "row " + QByteArray::number(state % 100000)
            + " \"value\": " + QByteArray::number((state >> 8) % 977) + "\n";
    }
    const QString source = write("large.txt", large);
    ZipFacade zip;
    ASSERT_TRUE(zip.CreateZipFile2(path("x.zip"), kArchivePassword));
    ASSERT_TRUE(zip.addFileToZip(source, "large.txt"));
    ASSERT_TRUE(zip.CloseZipFile2());
    EXPECT_LT(QFileInfo(path("x.zip")).size(), large.size() / 3);

    int code = -1;
    testsupport::runTool("unzip", { "-tq", "-P", kArchivePassword, path("x.zip") }, {}, &code);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(
        testsupport::runTool("unzip", { "-p", "-P", kArchivePassword, path("x.zip") }) == large);
    ZipFacade reader;
    ASSERT_TRUE(extract(path("x.zip"), reader));
    EXPECT_TRUE(read(path("out/large.txt")) == large);
}

TEST_F(ZipFacadeTest, LargeEntriesAreReadAheadWholeOrNotAtAll)
{
    // Many pieces of the raw entry, deciphered ahead of their inflating.
    QByteArray large;
    quint32 state = 777;
    while (large.size() < 6 * 1024 * 1024) {
        state = state * 1103515245u + 12345u;
        large += QByteArray::number(state) + (state % 7 == 0 ? "\n" : ",");
    }
    const QString deflated = archive("deflated.zip", { { "large.txt", large }, { "z", "end" } });
    // Stored as it is by another tool: no inflating, the pieces passed on as read.
    int code = -1;
    testsupport::runTool("zip",
        { "-q", "-j", "-0", "-P", kArchivePassword, path("stored.zip"), write("large.txt", large) },
        {}, &code);
    ASSERT_EQ(code, 0);
    for (const QString& target : { deflated, path("stored.zip") }) {
        SCOPED_TRACE(target.toStdString());
        ZipFacade zip;
        ASSERT_TRUE(zip.UnzipOpenFile(target, kArchivePassword));
        QMap<QString, QByteArray> files;
        ASSERT_TRUE(zip.UnzipFilesToData(files));
        EXPECT_TRUE(files.value("large.txt") == large);
    }

    // A size that claims less or more than the entry holds: the content made in place
    // never runs past its buffer, and the entry is refused.
    for (const qint64 change : { -1000, 1000 }) {
        SCOPED_TRACE(change);
        QByteArray bytes = read(deflated);
        // In the entry's local header and in the central directory alike.
        const qsizetype central = bytes.indexOf("PK\x01\x02");
        ASSERT_GT(central, 0);
        ASSERT_EQ(bytes.indexOf("PK\x03\x04"), 0);
        const quint32 claimed = quint32(large.size() + change);
        for (int i = 0; i < 4; ++i) {
            bytes[22 + i] = char((claimed >> (8 * i)) & 0xff);
            bytes[central + 24 + i] = char((claimed >> (8 * i)) & 0xff);
        }
        write("resized.zip", bytes);
        auto recorder = std::make_shared<Recorder>();
        ZipFacade zip;
        zip.setDelegate(recorder);
        ASSERT_TRUE(zip.UnzipOpenFile(path("resized.zip"), kArchivePassword));
        QMap<QString, QByteArray> files;
        EXPECT_FALSE(zip.UnzipFilesToData(files));
        // Enciphered content that fails cannot tell damage from a wrong password.
        EXPECT_EQ(recorder->errors, QStringList { ZipFacade::WrongPasswordOrDamagedMessage });
        EXPECT_TRUE(files.isEmpty());
    }

    // Damage far into the entry, long after the first pieces were handed on.
    QByteArray bytes = read(deflated);
    const qsizetype at = bytes.indexOf("large.txt") + 9 + (bytes.size() * 3) / 4;
    for (qsizetype i = at; i < at + 64; ++i)
        bytes[i] = char(bytes[i] ^ 0x5a);
    write("damaged.zip", bytes);
    auto recorder = std::make_shared<Recorder>();
    ZipFacade zip;
    zip.setDelegate(recorder);
    ASSERT_TRUE(zip.UnzipOpenFile(path("damaged.zip"), kArchivePassword));
    QMap<QString, QByteArray> files;
    EXPECT_FALSE(zip.UnzipFilesToData(files));
    EXPECT_EQ(recorder->errors, QStringList { ZipFacade::WrongPasswordOrDamagedMessage });
    EXPECT_TRUE(files.isEmpty());
}

TEST_F(ZipFacadeTest, ReadsArchivesOtherToolsMade)
{
    write("in/one.txt", "one");
    write("in/two/three.txt", "three"); // stored
    const QByteArray big = QByteArray("deflated text ").repeated(5000);
    write("in/big.txt", big);
    testsupport::ChildProcess zipTool;
    zipTool.setWorkingDirectory(path("in"));
    ASSERT_TRUE(zipTool.start("zip", { "-qr", "-P", kArchivePassword, path("tool.zip"), "." }))
        << zipTool.report();
    ASSERT_TRUE(zipTool.waitForExit()) << zipTool.report();
    ASSERT_EQ(zipTool.exitCode(), 0) << zipTool.report();

    ZipFacade zip;
    ASSERT_TRUE(extract(path("tool.zip"), zip));
    EXPECT_EQ(read(path("out/one.txt")), "one");
    EXPECT_EQ(read(path("out/two/three.txt")), "three");
    EXPECT_EQ(read(path("out/big.txt")), big);

    ZipFacade wrong;
    EXPECT_FALSE(extract(path("tool.zip"), wrong, true, "wrong"));
}

TEST_F(ZipFacadeTest, WrongPasswordExtractsNothing)
{
    const QString target = archive("x.zip", { { "a.txt", "secret content" } });
    auto recorder = std::make_shared<Recorder>();
    ZipFacade zip;
    zip.setDelegate(recorder);
    EXPECT_FALSE(extract(target, zip, true, "not the password"));
    // One wrong password in 256 passes the header check; its data then fails.
    ASSERT_EQ(recorder->errors.size(), 1);
    EXPECT_TRUE(recorder->errors.first() == ZipFacade::WrongPasswordMessage
        || recorder->errors.first() == ZipFacade::WrongPasswordOrDamagedMessage);
    EXPECT_TRUE(zip.unzippedFiles().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path("out/a.txt")));
}

// Archives made with another password whose header checks pass for the facade's password
// as chosen, deflated by the facade and stored by another tool.
struct OtherPasswordTest : ZipFacadeTest {
    static inline const QString kOther = QStringLiteral("another pass");
    const QList<std::pair<QString, QByteArray>> entries { { "a.txt", "[{\"first\": 1}]" },
        { "b.txt", QByteArray("second entry ").repeated(300) }, { "c.txt", "third" } };

    // The archives, deflated and stored, each readable with the other password.
    QStringList archives(const QList<bool>& passes)
    {
        const QString deflated = archive("deflated.zip", entries, kOther);
        QStringList files;
        for (const auto& [name, content] : entries)
            files << write("stored/" + name, content);
        QFile::remove(path("stored.zip"));
        int code = -1;
        testsupport::runTool("zip",
            QStringList { "-q", "-j", "-0", "-P", kOther, path("stored.zip") } + files, {}, &code);
        EXPECT_EQ(code, 0);
        for (const QString& made : { deflated, path("stored.zip") }) {
            EXPECT_TRUE(testsupport::setPasswordChecks(made, kOther, kArchivePassword, passes));
            testsupport::runTool("unzip", { "-tq", "-P", kOther, made }, {}, &code);
            EXPECT_EQ(code, 0) << made.toStdString();
        }
        return { deflated, path("stored.zip") };
    }

    // What reading the archive with the facade's password gave: its result, the errors
    // told, and the content handed on, by entry.
    struct Read {
        bool ok = false;
        QStringList errors;
        QMap<QString, qsizetype> handedOn;
    };
    Read readWith(const QString& target, const QString& password, bool refuse = false)
    {
        Read read;
        auto recorder = std::make_shared<Recorder>();
        ZipFacade zip;
        zip.setDelegate(recorder);
        EXPECT_TRUE(zip.UnzipOpenFile(target, password));
        QMap<QString, QByteArray> files;
        read.ok = zip.UnzipFilesToData(
            files, [&](const QString& name, const QByteArray&, qsizetype written) {
                if (written >= 0)
                    read.handedOn[name] = written;
                return !refuse;
            });
        read.errors = recorder->errors;
        return read;
    }
};

TEST_F(OtherPasswordTest, AFailedCheckOfAnyEntryStopsBeforeAnyContentIsRead)
{
    // The first entry passes, so its content would be deciphered with the wrong keys.
    for (const QString& target : archives({ true, false, true })) {
        SCOPED_TRACE(target.toStdString());
        const Read read = readWith(target, kArchivePassword);
        EXPECT_FALSE(read.ok);
        EXPECT_EQ(read.errors, QStringList { ZipFacade::WrongPasswordMessage });
        EXPECT_TRUE(read.handedOn.isEmpty());

        auto recorder = std::make_shared<Recorder>();
        ZipFacade zip;
        zip.setDelegate(recorder);
        EXPECT_FALSE(extract(target, zip));
        EXPECT_EQ(recorder->errors, QStringList { ZipFacade::WrongPasswordMessage });
        EXPECT_TRUE(zip.unzippedFiles().isEmpty());
        EXPECT_FALSE(QFileInfo::exists(path("out/a.txt")));
    }
}

TEST_F(OtherPasswordTest, ContentFailingAfterPassedChecksIsToldAsWrongPasswordOrDamage)
{
    for (const QString& target : archives({ true, true, true })) {
        SCOPED_TRACE(target.toStdString());
        // Read whole, or refused at its first bytes as no content one wants: either way
        // the entry is read to its end to tell what failed.
        for (const bool refuse : { false, true }) {
            SCOPED_TRACE(refuse);
            const Read read = readWith(target, kArchivePassword, refuse);
            EXPECT_FALSE(read.ok);
            EXPECT_EQ(read.errors, QStringList { ZipFacade::WrongPasswordOrDamagedMessage });
            EXPECT_FALSE(read.handedOn.contains("b.txt"));
        }
        auto recorder = std::make_shared<Recorder>();
        ZipFacade zip;
        zip.setDelegate(recorder);
        EXPECT_FALSE(extract(target, zip));
        EXPECT_EQ(recorder->errors, QStringList { ZipFacade::WrongPasswordOrDamagedMessage });
        EXPECT_FALSE(QFileInfo::exists(path("out/a.txt")));

        // With its own password the same archive reads, and a refusal of sound content
        // is told as the refusal it is.
        const Read own = readWith(target, kOther);
        EXPECT_TRUE(own.ok) << own.errors.join('\n').toStdString();
        EXPECT_EQ(own.handedOn.value("b.txt"), entries[1].second.size());
        const Read refused = readWith(target, kOther, true);
        EXPECT_FALSE(refused.ok);
        EXPECT_EQ(refused.errors, QStringList { ZipFacade::WriteOutputFailedMessage });
    }
}

TEST_F(ZipFacadeTest, OverwritingOffKeepsExistingFilesUnlessTheDelegateAllows)
{
    const QString target = archive("x.zip", { { "a.txt", "new a" }, { "b.txt", "new b" } });
    write("out/a.txt", "old a");

    ZipFacade withoutDelegate;
    ASSERT_TRUE(extract(target, withoutDelegate, false));
    EXPECT_EQ(read(path("out/a.txt")), "old a");
    EXPECT_EQ(read(path("out/b.txt")), "new b");
    EXPECT_EQ(withoutDelegate.unzippedFiles(), QStringList { path("out/b.txt") });

    auto recorder = std::make_shared<Recorder>();
    ZipFacade refusing;
    refusing.setDelegate(recorder);
    ASSERT_TRUE(extract(target, refusing, false));
    EXPECT_EQ(recorder->asked, QStringList({ path("out/a.txt"), path("out/b.txt") }));
    EXPECT_EQ(read(path("out/a.txt")), "old a");
    EXPECT_TRUE(refusing.unzippedFiles().isEmpty());

    recorder->answer = true;
    ZipFacade allowing;
    allowing.setDelegate(recorder);
    ASSERT_TRUE(extract(target, allowing, false));
    EXPECT_EQ(read(path("out/a.txt")), "new a");

    write("out/a.txt", "old again");
    ZipFacade overwriting;
    ASSERT_TRUE(extract(target, overwriting, true));
    EXPECT_EQ(read(path("out/a.txt")), "new a");
}

TEST_F(ZipFacadeTest, EntryNamesLeadingOutsideTheFolderAreRefused)
{
    for (const QString& name : { QStringLiteral("../escape.txt"),
             QStringLiteral("a/../../escape.txt"), QStringLiteral("..\\escape.txt"),
             QStringLiteral("/tmp/escape.txt"), QStringLiteral("C:/escape.txt") }) {
        SCOPED_TRACE(name.toStdString());
        const QString target = archive("x.zip", { { "fine.txt", "fine" }, { name, "bad" } });
        auto recorder = std::make_shared<Recorder>();
        ZipFacade zip;
        zip.setDelegate(recorder);
        EXPECT_FALSE(extract(target, zip));
        EXPECT_EQ(recorder->errors, QStringList { ZipFacade::UnsafeNameMessage });
        EXPECT_FALSE(QFileInfo::exists(path("escape.txt")));
        EXPECT_FALSE(QFileInfo::exists(folder.filePath("../escape.txt")));
        // What came before the bad entry stays.
        EXPECT_EQ(zip.unzippedFiles(), QStringList { path("out/fine.txt") });
    }
}

TEST_F(ZipFacadeTest, BackslashesSeparateFolders)
{
    const QString target = archive("x.zip", { { "one\\two\\file.txt", "deep" } });
    ZipFacade zip;
    ASSERT_TRUE(extract(target, zip));
    EXPECT_EQ(read(path("out/one/two/file.txt")), "deep");
}

TEST_F(ZipFacadeTest, ADamagedEntryStopsExtractionAndIsNotPutInPlace)
{
    QByteArray second;
    for (int i = 0; i < 5000; ++i)
        second += QByteArray::number(i * 7919 % 10007) + ",";
    // Damage in enciphered content looks like a wrong password; in plain content it is
    // damage alone.
    for (const QString& password : { kArchivePassword, QString() }) {
        SCOPED_TRACE(password.toStdString());
        const QString target = archive(
            "x.zip", { { "a.txt", "fine" }, { "b.txt", second }, { "c.txt", "never" } }, password);
        // Spoil bytes in the middle of the second entry's compressed data.
        QByteArray bytes = read(target);
        const qsizetype at = bytes.indexOf("b.txt") + 5 + 200;
        for (qsizetype i = at; i < at + 64; ++i)
            bytes[i] = char(bytes[i] ^ 0x5a);
        write("x.zip", bytes);
        QDir(path("out")).removeRecursively();
        write("out/b.txt", "previous b");

        auto recorder = std::make_shared<Recorder>();
        ZipFacade zip;
        zip.setDelegate(recorder);
        EXPECT_FALSE(extract(target, zip, true, password));
        ASSERT_EQ(recorder->errors.size(), 1);
        if (password.isEmpty()) {
            EXPECT_TRUE(recorder->errors.first() == ZipFacade::ReadFailedMessage
                || recorder->errors.first() == ZipFacade::CrcFailedMessage)
                << recorder->errors.first().toStdString();
        } else {
            EXPECT_EQ(recorder->errors.first(), ZipFacade::WrongPasswordOrDamagedMessage);
        }
        EXPECT_EQ(zip.unzippedFiles(), QStringList { path("out/a.txt") });
        EXPECT_EQ(read(path("out/b.txt")), "previous b");
        EXPECT_FALSE(QFileInfo::exists(path("out/c.txt")));
    }
}

TEST_F(ZipFacadeTest, UnreadableFilesAreNotAddedAsEmptyEntries)
{
    QDir().mkpath(path("folder"));
    ZipFacade zip;
    EXPECT_FALSE(zip.addFileToZip(path("a.txt"), "a.txt")); // nothing open yet
    ASSERT_TRUE(zip.CreateZipFile2(path("x.zip"), kArchivePassword));
    EXPECT_FALSE(zip.addFileToZip(path("missing.txt"), "missing.txt"));
    EXPECT_FALSE(zip.addFileToZip(path("folder"), "folder"));
    EXPECT_TRUE(zip.addFileToZip(write("a.txt", "a"), "a.txt"));
    ASSERT_TRUE(zip.CloseZipFile2());

    ZipFacade reader;
    ASSERT_TRUE(reader.UnzipOpenFile(path("x.zip")));
    EXPECT_EQ(reader.getZipFileContents(), QStringList { "a.txt" });
}

TEST_F(ZipFacadeTest, AnArchiveIsOnlyPutInPlaceWhenFinished)
{
    const QString target = write("x.zip", "the previous archive");
    {
        ZipFacade zip;
        ASSERT_TRUE(zip.CreateZipFile2(target, kArchivePassword));
        ASSERT_TRUE(zip.addFileToZip(write("a.txt", "a"), "a.txt"));
        // Released without being closed: unfinished.
    }
    EXPECT_EQ(read(target), "the previous archive");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
        QStringList({ "a.txt", "x.zip" }));

    ZipFacade zip;
    ASSERT_TRUE(zip.CreateZipFile2(target, kArchivePassword));
    EXPECT_FALSE(zip.CreateZipFile2(path("y.zip"))); // one at a time
    ASSERT_TRUE(zip.addFileToZip(path("a.txt"), "a.txt"));
    ASSERT_TRUE(zip.CloseZipFile2());
    EXPECT_TRUE(read(target).startsWith("PK"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
        QStringList({ "a.txt", "x.zip" }));
}

TEST_F(ZipFacadeTest, OpeningAndClosingAnswerAsDocumented)
{
    ZipFacade zip;
    EXPECT_FALSE(zip.CloseZipFile2());
    EXPECT_TRUE(zip.UnzipCloseFile());
    EXPECT_FALSE(zip.CreateZipFile2(path("no/such/folder/x.zip")));
    EXPECT_FALSE(zip.UnzipOpenFile(path("missing.zip")));
    EXPECT_FALSE(zip.UnzipOpenFile(write("text.zip", "not a zip file at all")));

    // An archive without entries is still a ZIP file.
    ASSERT_TRUE(zip.CreateZipFile2(path("empty.zip")));
    ASSERT_TRUE(zip.CloseZipFile2());
    EXPECT_TRUE(read(path("empty.zip")).startsWith("PK\x05\x06"));
    EXPECT_TRUE(zip.UnzipCloseFile());
}

TEST_F(ZipFacadeTest, AnArchiveWithoutEntriesOpensAgainAsAnEmptyListing)
{
    for (const QString& password : { QString(), kArchivePassword }) {
        SCOPED_TRACE(password.toStdString());
        ZipFacade zip;
        auto recorder = std::make_shared<Recorder>();
        zip.setDelegate(recorder);
        ASSERT_TRUE(zip.CreateZipFile2(path("empty.zip"), password));
        ASSERT_TRUE(zip.CloseZipFile2());
        ASSERT_TRUE(zip.UnzipOpenFile(path("empty.zip"), password));
        EXPECT_EQ(zip.numFiles(), 0);
        EXPECT_EQ(zip.getZipFileContents(), QStringList());
        QMap<QString, QByteArray> files;
        EXPECT_TRUE(zip.UnzipFilesToData(files));
        EXPECT_TRUE(files.isEmpty());
        EXPECT_TRUE(zip.UnzipFileTo(path("out"), true));
        EXPECT_TRUE(zip.unzippedFiles().isEmpty());
        EXPECT_TRUE(zip.UnzipCloseFile());
        EXPECT_TRUE(recorder->errors.isEmpty()) << recorder->errors.join('\n').toStdString();
    }
}

} // namespace
