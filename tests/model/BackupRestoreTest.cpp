#include "ModelFixture.h"

#include "common/ChildProcess.h"
#include "common/ZipPasswordChecks.h"

#include "model/BackupRestore.h"
#include "model/Database.h"
#include "model/Rows.h"
#include "model/Template.h"
#include "model/UserTemplate.h"
#include "model/ZipFacade.h"
#include "platform/coredata/ManagedObject.h"
#include "platform/coredata/StoreOptions.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/store/KivoLibObject.h"
#include "utilities/text/LocalizedStrings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTemporaryDir>
#include <sqlite3.h>
#include <zip.h>
#include <zlib.h>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <tuple>

#if defined(__SANITIZE_ADDRESS__)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

using modeltest::ModelTest;
namespace cd = platform::coredata;

namespace {

// The password of every backup archive (the archive format fixes it).
const QString kArchivePassword = QStringLiteral("Hn4]cWrT8;mzPe");
const QString kTablePassword = QStringLiteral("table secret");
const QStringList kEntries { "database.json", "template.json", "templatecolumn.json",
    "usertemplate.json", "rows.json" };
const QStringList kEntities { "Database", "Template", "TemplateColumn", "UserTemplate", "Rows" };

using Snapshot = QMap<QString, QVariantMap>;

struct BackupRestoreTest : ModelTest {
    QString path(const QString& name) const { return folder.filePath(name); }

    static QByteArray read(const QString& file)
    {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

    void write(const QString& file, const QByteArray& content)
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(content);
    }

    // Two databases, a definition with columns of several kinds, a plain and a protected
    // table with rows, and values that test the JSON form (quotes, line breaks, non-ASCII
    // text, unset attributes, fractions of seconds).
    void makeData(int rowsPerTable)
    {
        Database* home = Database::add();
        home->setName(QStringLiteral("Home \"quoted\"\nsecond line"));
        home->setDescr(QVariant()); // unset
        ASSERT_TRUE(home->saveDatabase());
        Database* work = Database::add();
        work->setName(QStringLiteral("Arbeit – Müller"));
        ASSERT_TRUE(work->saveDatabase());

        Template* definition = Template::add();
        definition->setName(QStringLiteral("Contacts"));
        definition->setCategory(QStringLiteral("People"));
        definition->setImage(QStringLiteral("contacts.png"));
        definition->setTilescolumns(3);
        ASSERT_TRUE(definition->saveTemplate());
        const QString templateId = definition->id().toString();
        TemplateColumn* name = column(templateId, "Name", TypeConstants::Text);
        TemplateColumn* amount = column(templateId, "Amount", TypeConstants::Currency, 2);
        TemplateColumn* day = column(templateId, "Day", TypeConstants::Date);
        TemplateColumn* done = column(templateId, "Done", TypeConstants::YesNo);
        TemplateColumn* kind = column(templateId, "Kind", TypeConstants::List);
        kind->setListvalues(QStringLiteral("a,b,c"));
        kind->setReminder(true);
        ASSERT_TRUE(kind->saveTemplateColumn());
        columns = { name, amount, day, done, kind };

        UserTemplate* plain = UserTemplate::add(home->id().toString());
        plain->setName(QStringLiteral("Friends"));
        plain->setTemplate_id(templateId);
        ASSERT_TRUE(plain->saveUserTemplate());
        UserTemplate* locked = UserTemplate::add(work->id().toString());
        locked->setName(QStringLiteral("Clients"));
        locked->setTemplate_id(templateId);
        locked->setIsprotected(true);
        ASSERT_TRUE(locked->setProtectionCheck(kTablePassword));
        lockedId = locked->id().toString();

        for (int i = 0; i < rowsPerTable; ++i) {
            const QVariantMap values { { name->id().toString(),
                                           QStringLiteral("Person %1 \"€\"\t\\").arg(i) },
                { amount->id().toString(), i * 1.25 },
                { day->id().toString(), utc(2020, 1 + i % 12, 1 + i % 28) },
                { done->id().toString(), i % 2 == 0 }, { kind->id().toString(), "b" } };
            for (const auto& [table, password] :
                { std::pair<QString, Rows::Password> { plain->id().toString(), std::nullopt },
                    { lockedId, kTablePassword } }) {
                Rows* row = Rows::add(table);
                row->updateData(values, columns, password);
                ASSERT_TRUE(row->saveRows());
            }
        }
    }

    // Every stored record as the store holds it, read through a context of its own.
    Snapshot snapshot() const
    {
        cd::ManagedObjectContext fresh;
        fresh.setPersistentStoreCoordinator(coordinator());
        Snapshot records;
        for (const QString& entity : kEntities) {
            platform::Error error;
            const auto objects = fresh.executeFetchRequest(cd::FetchRequest(entity), &error);
            EXPECT_TRUE(error.isNull());
            for (const cd::ManagedObject* object : objects) {
                const QVariantMap record = KivoLib::toDictionary(object);
                records.insert(entity + "/" + record.value("id").toString(), record);
            }
        }
        return records;
    }

    // A change to tell the data before and after a restore apart.
    void changeData()
    {
        Database* extra = Database::add();
        extra->setName(QStringLiteral("Made after the backup"));
        ASSERT_TRUE(extra->saveDatabase());
        ASSERT_TRUE(KivoLib::DeleteObjects({ Rows::getRowsAll().first() }));
    }

    struct Outcome {
        bool ok = false;
        QString message;
    };
    Outcome restoreFrom(const QString& archive)
    {
        BackupRestore job;
        progress.clear();
        job.setProgressBlock([this](int percent, int, int) { progress.push_back(percent); });
        Outcome outcome;
        outcome.ok = job.unzipArchive(archive) && job.restore(archive);
        outcome.message = job.errorMessage();
        return outcome;
    }

    // The entries of a good backup, by name.
    QMap<QString, QByteArray> backupEntries()
    {
        BackupRestore job;
        EXPECT_TRUE(job.backup(path("good.zip")));
        ZipFacade zip;
        EXPECT_TRUE(zip.UnzipOpenFile(path("good.zip"), kArchivePassword));
        EXPECT_TRUE(zip.UnzipFileTo(path("good"), true));
        QMap<QString, QByteArray> entries;
        for (const QString& entry : kEntries)
            entries.insert(entry, read(path("good/" + entry)));
        return entries;
    }

    // An archive of the entries, in backup order, with the password.
    QString archive(const QString& name, const QMap<QString, QByteArray>& entries,
        const QString& password = kArchivePassword)
    {
        QDir().mkpath(path("parts"));
        ZipFacade zip;
        EXPECT_TRUE(zip.CreateZipFile2(path(name), password));
        for (const QString& entry : kEntries) {
            if (!entries.contains(entry))
                continue;
            write(path("parts/" + entry), entries.value(entry));
            EXPECT_TRUE(zip.addFileToZip(path("parts/" + entry), entry));
        }
        EXPECT_TRUE(zip.CloseZipFile2());
        return path(name);
    }

    // What a restore says of enciphered content that fails after its password check passed.
    static QString wrongPasswordOrDamaged()
    {
        return LocalizedStrings::getMessageWithFormat(
            BackupRestore::ArchiveWrongPasswordOrDamaged, {});
    }

    // Expects the restore to fail for the reason and to leave the store as it was.
    void expectRefused(const QString& archivePath, const QString& reasonPart)
    {
        const Snapshot before = snapshot();
        const Outcome outcome = restoreFrom(archivePath);
        EXPECT_FALSE(outcome.ok);
        EXPECT_TRUE(outcome.message.contains(reasonPart))
            << outcome.message.toStdString() << " lacks " << reasonPart.toStdString();
        EXPECT_EQ(snapshot(), before);
        // The user is told why.
        testsupport::processEvents(10);
        bool shown = false;
        for (auto* alert : platform::ui::AlertView::visibleAlerts()) {
            shown = shown || alert->message() == outcome.message;
            alert->dismissWithClickedButtonIndex(0, false);
        }
        EXPECT_TRUE(shown);
    }

    // Rows enough for a file of several megabytes, written part by part as it is unpacked:
    // copies of the rows of the entries with ids and orders of their own.
    static QJsonArray manyRows(const QMap<QString, QByteArray>& entries, int count)
    {
        const QJsonArray some = QJsonDocument::fromJson(entries["rows.json"]).array();
        QJsonArray many;
        for (int i = 0; i < count; ++i) {
            QJsonObject row = some[i % some.size()].toObject();
            row["id"] = QStringLiteral("row-%1").arg(i);
            row["order"] = i;
            many.append(row);
        }
        return many;
    }

    // Whether the last restore reported rows written: progress short of the end.
    bool rowsWereWritten() const
    {
        return std::any_of(progress.begin(), progress.end(),
            [](int percent) { return percent > 80 && percent < 100; });
    }

    QTemporaryDir folder;
    QList<TemplateColumn*> columns;
    QString lockedId;
    std::vector<int> progress;
};

QString storePath()
{
    return testsupport::homePath() + "/Kivotab.sqlite";
}

// The store file's index definitions and SQLite's check of the file, read through a
// connection of their own.
QStringList fileFacts(const QString& path)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return { "not opened" };
    }
    QStringList facts;
    for (const char* sql : { "SELECT name || ': ' || sql FROM sqlite_master WHERE type = 'index' "
                             "AND sql IS NOT NULL ORDER BY name",
             "PRAGMA integrity_check" }) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
            facts << "not read";
        while (statement && sqlite3_step(statement) == SQLITE_ROW)
            facts << QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return facts;
}

// Bytes the process has allocated and not freed.
std::size_t heapInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

// The most resident memory the process had since the last reset, in bytes; the reset
// brings it down to what it has now.
qint64 residentPeak()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

bool resetResidentPeak()
{
    QFile clear("/proc/self/clear_refs");
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

// Flips the low byte of the entry's CRC in its local header and in the central directory,
// so the entry still opens (the password check uses the high byte) but fails its check.
QByteArray withBadCrc(QByteArray bytes, const QByteArray& entry)
{
    for (const auto& [signature, crcAt, nameLengthAt, nameAt] :
        { std::tuple<QByteArray, int, int, int> { QByteArray("PK\x03\x04", 4), 14, 26, 30 },
            { QByteArray("PK\x01\x02", 4), 16, 28, 46 } }) {
        for (qsizetype at = bytes.indexOf(signature); at >= 0;
             at = bytes.indexOf(signature, at + 4)) {
            const int length
                = quint8(bytes[at + nameLengthAt]) | quint8(bytes[at + nameLengthAt + 1]) << 8;
            if (bytes.mid(at + nameAt, length) == entry)
                bytes[at + crcAt] = char(bytes[at + crcAt] ^ 0x01);
        }
    }
    return bytes;
}

TEST_F(BackupRestoreTest, ABackupRestoresToIdenticalObjects)
{
    makeData(40);
    const Snapshot original = snapshot();
    ASSERT_EQ(original.size(), 2 + 1 + 5 + 2 + 80);

    BackupRestore job;
    std::vector<int> progress;
    job.setProgressBlock([&](int percent, int, int) { progress.push_back(percent); });
    ASSERT_TRUE(job.backup(path("backup.zip")));
    EXPECT_TRUE(job.errorMessage().isEmpty());
    EXPECT_EQ(progress, (std::vector<int> { 20, 40, 60, 80, 100 }));

    changeData();
    ASSERT_NE(snapshot(), original);
    const Outcome outcome = restoreFrom(path("backup.zip"));
    ASSERT_TRUE(outcome.ok) << outcome.message.toStdString();
    EXPECT_EQ(snapshot(), original);

    // The current context sees the restored records, and a protected table still opens
    // with its password and decrypts its rows.
    EXPECT_EQ(Database::getDatabases().size(), 2);
    EXPECT_EQ(Rows::getRowsAll().size(), 80);
    UserTemplate* locked = nullptr;
    for (UserTemplate* table : UserTemplate::getUserTemplatesAll()) {
        if (table->id().toString() == lockedId)
            locked = table;
    }
    ASSERT_NE(locked, nullptr);
    EXPECT_TRUE(locked->isPasswordValid(kTablePassword));
    const auto rows = Rows::getRows(lockedId, columns, {}, {}, kTablePassword);
    ASSERT_EQ(rows.size(), 40);
    EXPECT_TRUE(rows.first()
                    ->getData(columns, kTablePassword)
                    .value(columns.first()->id().toString())
                    .toString()
                    .startsWith("Person "));
}

TEST_F(BackupRestoreTest, UnzipListsTestsAndExtractsTheFiveEntries)
{
    makeData(10);
    ASSERT_TRUE(BackupRestore().backup(path("backup.zip")));

    int code = -1;
    const QByteArray names
        = testsupport::runTool("unzip", { "-Z1", path("backup.zip") }, {}, &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(QString::fromUtf8(names).split('\n', Qt::SkipEmptyParts), kEntries);
    testsupport::runTool("unzip", { "-tq", "-P", kArchivePassword, path("backup.zip") }, {}, &code);
    EXPECT_EQ(code, 0);

    const QMap<QString, int> counts { { "database.json", 2 }, { "template.json", 1 },
        { "templatecolumn.json", 5 }, { "usertemplate.json", 2 }, { "rows.json", 20 } };
    for (int i = 0; i < kEntries.size(); ++i) {
        const QByteArray json = testsupport::runTool(
            "unzip", { "-p", "-P", kArchivePassword, path("backup.zip"), kEntries[i] }, {}, &code);
        EXPECT_EQ(code, 0);
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(json, &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << kEntries[i].toStdString();
        ASSERT_TRUE(document.isArray());
        EXPECT_EQ(document.array().size(), counts.value(kEntries[i]));
        for (const QJsonValue& record : document.array())
            EXPECT_EQ(record.toObject().value("ManageObjectName").toString(), kEntities[i]);
        // Pretty-printed: one member per line.
        EXPECT_TRUE(json.contains("\n        \"ManageObjectName\": "));
    }
}

TEST_F(BackupRestoreTest, AnArchiveAnotherZipToolMadeRestores)
{
    makeData(10);
    const Snapshot original = snapshot();
    backupEntries();
    changeData();
    testsupport::ChildProcess zipTool;
    zipTool.setWorkingDirectory(path("good"));
    ASSERT_TRUE(zipTool.start(
        "zip", QStringList { "-q", "-P", kArchivePassword, path("tool.zip") } + kEntries))
        << zipTool.report();
    ASSERT_TRUE(zipTool.waitForExit()) << zipTool.report();
    ASSERT_EQ(zipTool.exitCode(), 0) << zipTool.report();

    const Outcome outcome = restoreFrom(path("tool.zip"));
    ASSERT_TRUE(outcome.ok) << outcome.message.toStdString();
    EXPECT_EQ(snapshot(), original);
}

TEST_F(BackupRestoreTest, AnEmptyStoreBacksUpAsFiveEmptyListsAndRestores)
{
    ASSERT_TRUE(BackupRestore().backup(path("empty.zip")));
    for (const QString& entry : kEntries) {
        const QByteArray json = testsupport::runTool(
            "unzip", { "-p", "-P", kArchivePassword, path("empty.zip"), entry });
        EXPECT_EQ(QJsonDocument::fromJson(json).array().size(), 0) << entry.toStdString();
        EXPECT_TRUE(QJsonDocument::fromJson(json).isArray());
    }
    makeData(3);
    const Outcome outcome = restoreFrom(path("empty.zip"));
    ASSERT_TRUE(outcome.ok) << outcome.message.toStdString();
    EXPECT_TRUE(snapshot().isEmpty());
}

TEST_F(BackupRestoreTest, AFileMissingFromTheArchiveChangesNothing)
{
    makeData(5);
    const auto entries = backupEntries();
    changeData();
    for (const QString& entry : kEntries) {
        SCOPED_TRACE(entry.toStdString());
        auto lacking = entries;
        lacking.remove(entry);
        expectRefused(archive("lacking.zip", lacking),
            LocalizedStrings::getMessageWithFormat(BackupRestore::FileMissing, { entry }));
    }
}

TEST_F(BackupRestoreTest, TruncatedFilesAndArchivesChangeNothing)
{
    makeData(5);
    const auto entries = backupEntries();
    changeData();
    for (const QString& entry : kEntries) {
        SCOPED_TRACE(entry.toStdString());
        auto cut = entries;
        cut[entry].truncate(cut[entry].size() / 2);
        expectRefused(archive("cut.zip", cut), entry + " of the backup archive is not valid JSON");
    }
    const QByteArray whole = read(path("good.zip"));
    write(path("short.zip"), whole.left(whole.size() * 6 / 10));
    expectRefused(path("short.zip"), BackupRestore::ArchiveNotOpened);
}

TEST_F(BackupRestoreTest, ABadCrcChangesNothing)
{
    makeData(5);
    backupEntries();
    changeData();
    const QByteArray good = read(path("good.zip"));
    for (const QString& entry : kEntries) {
        SCOPED_TRACE(entry.toStdString());
        write(path("crc.zip"), withBadCrc(good, entry.toLatin1()));
        expectRefused(path("crc.zip"), wrongPasswordOrDamaged());
    }
}

TEST_F(BackupRestoreTest, AnotherPasswordChangesNothing)
{
    makeData(5);
    const auto entries = backupEntries();
    changeData();
    const QString otherPassword = "Hn4]cWrT8;mzPf";
    const QString wrongPassword
        = LocalizedStrings::getMessageWithFormat(BackupRestore::ArchiveWrongPassword, {});
    // One wrong password in 256 passes the check of an entry; five entries hardly ever
    // all pass.
    const Outcome outcome = restoreFrom(archive("other.zip", entries, otherPassword));
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.message == wrongPassword || outcome.message == wrongPasswordOrDamaged())
        << outcome.message.toStdString();

    // Archives of that password whose entries pass the check as chosen, deflated and
    // stored. The passes of the first entries must not let their content be read.
    testsupport::ChildProcess zipTool;
    zipTool.setWorkingDirectory(path("good"));
    ASSERT_TRUE(zipTool.start(
        "zip", QStringList { "-q", "-0", "-P", otherPassword, path("stored.zip") } + kEntries))
        << zipTool.report();
    ASSERT_TRUE(zipTool.waitForExit()) << zipTool.report();
    ASSERT_EQ(zipTool.exitCode(), 0) << zipTool.report();
    const QByteArray stored = read(path("stored.zip"));
    const QByteArray deflated = read(archive("deflated.zip", entries, otherPassword));
    const std::pair<QList<bool>, QString> cases[] {
        { { true, false, true, true, true }, wrongPassword },
        { { true, true, true, true, false }, wrongPassword },
        { { true, true, true, true, true }, wrongPasswordOrDamaged() },
    };
    for (const auto& [passes, reason] : cases) {
        for (const QByteArray& bytes : { stored, deflated }) {
            SCOPED_TRACE(QString("%1 %2")
                             .arg(bytes == stored ? "stored" : "deflated")
                             .arg(passes.count(true))
                             .toStdString());
            write(path("chosen.zip"), bytes);
            ASSERT_TRUE(testsupport::setPasswordChecks(
                path("chosen.zip"), otherPassword, kArchivePassword, passes));
            expectRefused(path("chosen.zip"), reason);
            EXPECT_TRUE(progress.empty());
        }
    }
}

// The first enciphered bytes of the rows file spoilt: what they decipher to is no JSON,
// and the entry's CRC fails once it is read to its end. The rows file is read while the
// rows are written, after the password checks of every entry passed.
TEST_F(BackupRestoreTest, SpoiltEncipheredContentIsToldAsWrongPasswordOrDamage)
{
    makeData(5);
    const auto entries = backupEntries();
    changeData();
    testsupport::ChildProcess zipTool;
    zipTool.setWorkingDirectory(path("good"));
    ASSERT_TRUE(zipTool.start(
        "zip", QStringList { "-q", "-0", "-P", kArchivePassword, path("stored.zip") } + kEntries))
        << zipTool.report();
    ASSERT_TRUE(zipTool.waitForExit()) << zipTool.report();
    ASSERT_EQ(zipTool.exitCode(), 0) << zipTool.report();
    for (const QString& made : { path("stored.zip"), path("good.zip") }) {
        SCOPED_TRACE(made.toStdString());
        QByteArray bytes = read(made);
        const qsizetype name = bytes.indexOf("rows.json");
        ASSERT_GT(name, 30);
        const qsizetype local = name - 30;
        const qsizetype data
            = name + 9 + (quint8(bytes[local + 28]) | quint8(bytes[local + 29]) << 8);
        // Past the twelve header bytes, which hold the password check.
        bytes[data + 12] = char(bytes[data + 12] ^ 0x40);
        write(path("spoilt.zip"), bytes);
        expectRefused(path("spoilt.zip"), wrongPasswordOrDamaged());
    }
}

TEST_F(BackupRestoreTest, InvalidJsonOrRecordsChangeNothing)
{
    makeData(5);
    const auto entries = backupEntries();
    changeData();
    for (const QString& entry : kEntries) {
        SCOPED_TRACE(entry.toStdString());
        auto broken = entries;
        broken[entry] = "[ { \"id\": \"x\", } ";
        expectRefused(
            archive("broken.zip", broken), entry + " of the backup archive is not valid JSON");
    }

    // Well-formed JSON that is not what the file must hold.
    auto notList = entries;
    notList["database.json"] = "{ \"ManageObjectName\": \"Database\" }";
    expectRefused(archive("bad.zip", notList), "database.json of the backup archive does not hold");
    auto wrongEntity = entries;
    wrongEntity["template.json"] = entries["database.json"];
    expectRefused(archive("bad.zip", wrongEntity), "record 1 is no Template");
    auto wrongKind = entries;
    QJsonArray rows = QJsonDocument::fromJson(entries["rows.json"]).array();
    QJsonObject last = rows.last().toObject();
    last["order"] = "seven";
    rows.replace(rows.size() - 1, last);
    wrongKind["rows.json"] = QJsonDocument(rows).toJson();
    expectRefused(archive("bad.zip", wrongKind),
        QStringLiteral("record %1 has a value of the wrong kind for \"order\"").arg(rows.size()));
}

TEST_F(BackupRestoreTest, ABigRowsFileReadWhileUnpackedRestoresOrChangesNothing)
{
    makeData(3);
    const auto entries = backupEntries();
    changeData();
    const int count = 16000;
    const QJsonArray many = manyRows(entries, count);
    auto big = entries;
    big["rows.json"] = QJsonDocument(many).toJson();
    ASSERT_GT(big["rows.json"].size(), 8 * 1024 * 1024);

    // A fault far into the file, in a part read on its own; a file cut short; a bad CRC.
    QJsonArray wrong = many;
    QJsonObject late = wrong[count - 3000].toObject();
    late["order"] = "late";
    wrong.replace(count - 3000, late);
    auto wrongKind = big;
    wrongKind["rows.json"] = QJsonDocument(wrong).toJson();
    expectRefused(archive("late.zip", wrongKind),
        QStringLiteral("record %1 has a value of the wrong kind for \"order\"").arg(count - 2999));
    auto cut = big;
    cut["rows.json"].chop(100);
    expectRefused(archive("cut.zip", cut), "rows.json of the backup archive is not valid JSON");
    write(path("crc.zip"), withBadCrc(read(archive("big.zip", big)), "rows.json"));
    expectRefused(path("crc.zip"), wrongPasswordOrDamaged());

    const Outcome outcome = restoreFrom(archive("big.zip", big));
    ASSERT_TRUE(outcome.ok) << outcome.message.toStdString();
    const Snapshot restored = snapshot();
    for (int i = 0; i < count; i += 1999) {
        SCOPED_TRACE(i);
        const QVariantMap row = restored.value(QStringLiteral("Rows/row-%1").arg(i));
        EXPECT_EQ(row.value("order"), QVariant(qlonglong(i)));
        EXPECT_EQ(row.value("json"), many[i].toObject()["json"].toVariant());
    }
    EXPECT_EQ(Rows::getRowsAll().size(), count);

    // Text in every row that looks like the start of a record, where parts may be guessed
    // to begin: read on from where the good parts end, the rows restore all the same.
    QJsonArray decoyed = many;
    for (int i = 0; i < count; ++i) {
        QJsonObject row = decoyed[i].toObject();
        row["json"] = QStringLiteral("a, {\"b\": [1, {}]} ,{ %1").arg(i);
        decoyed.replace(i, row);
    }
    auto tricky = entries;
    tricky["rows.json"] = QJsonDocument(decoyed).toJson();
    const Outcome decoyedOutcome = restoreFrom(archive("decoyed.zip", tricky));
    ASSERT_TRUE(decoyedOutcome.ok) << decoyedOutcome.message.toStdString();
    const Snapshot decoyedRows = snapshot();
    EXPECT_EQ(Rows::getRowsAll().size(), count);
    EXPECT_EQ(decoyedRows.value("Rows/row-15999").value("json"),
        QVariant(QStringLiteral("a, {\"b\": [1, {}]} ,{ 15999")));
}

TEST_F(BackupRestoreTest, AFaultFoundAfterRowsWereWrittenLeavesTheStoreAsItWas)
{
    makeData(3);
    const auto entries = backupEntries();
    changeData();
    const int count = 16000;
    const QJsonArray many = manyRows(entries, count);
    const QStringList facts = fileFacts(storePath());
    ASSERT_TRUE(facts.contains("ok")) << facts.join('\n').toStdString();
    ASSERT_GE(facts.size(), 3);

    // A value of the wrong kind in the very last record.
    QJsonArray wrong = many;
    QJsonObject last = wrong.last().toObject();
    last["order"] = "last";
    wrong.replace(count - 1, last);
    auto wrongKind = entries;
    wrongKind["rows.json"] = QJsonDocument(wrong).toJson();
    // Text that stops being JSON in its last bytes.
    auto broken = entries;
    broken["rows.json"] = QJsonDocument(many).toJson();
    broken["rows.json"][broken["rows.json"].lastIndexOf(']')] = '}';
    // Archive bytes damaged shortly before the end of the rows file's data, the last
    // entry's: what follows no longer deciphers and inflates.
    auto whole = entries;
    whole["rows.json"] = QJsonDocument(many).toJson();
    QByteArray damaged = read(archive("whole.zip", whole));
    const qsizetype directory = damaged.indexOf(QByteArray("PK\x01\x02", 4));
    ASSERT_GT(directory, 100000);
    damaged[directory - 3000] = char(damaged[directory - 3000] ^ 0x5a);
    write(path("damaged.zip"), damaged);

    const QString damagedText = wrongPasswordOrDamaged();
    const std::pair<QString, QString> cases[] {
        { archive("wrong.zip", wrongKind),
            QStringLiteral("record %1 has a value of the wrong kind for \"order\"").arg(count) },
        { archive("broken.zip", broken), "rows.json of the backup archive is not valid JSON" },
        { path("damaged.zip"), damagedText },
    };
    for (const auto& [archivePath, reason] : cases) {
        SCOPED_TRACE(reason.toStdString());
        expectRefused(archivePath, reason);
        EXPECT_TRUE(rowsWereWritten());
        EXPECT_EQ(fileFacts(storePath()), facts);
    }
    // The same rows, undamaged, restore, with the same indexes (some built as the rows
    // come, some after).
    const Outcome outcome = restoreFrom(archive("whole.zip", whole));
    ASSERT_TRUE(outcome.ok) << outcome.message.toStdString();
    EXPECT_EQ(Rows::getRowsAll().size(), count);
    EXPECT_EQ(progress.back(), 100);
    EXPECT_EQ(fileFacts(storePath()), facts);
}

const char kKillStore[] = "KIVOTAB_RESTORE_STORE";
const char kKillArchive[] = "KIVOTAB_RESTORE_ARCHIVE";
const char kWriting[] = "KIVOTAB-RESTORE-WRITING";

TEST_F(BackupRestoreTest, AKillWhileRowsAreWrittenLeavesTheStoreAsItWas)
{
    makeData(3);
    auto entries = backupEntries();
    changeData();
    entries["rows.json"] = QJsonDocument(manyRows(entries, 16000)).toJson();
    const QString big = archive("big.zip", entries);
    const Snapshot before = snapshot();
    const QStringList facts = fileFacts(storePath());
    // The child has the store to itself.
    StoreStack::install(nullptr);

    // The child restores the archive and stops once it has written rows, to be killed.
    testsupport::ChildProcess child;
    child.setEnvironment(kKillStore, storePath());
    child.setEnvironment(kKillArchive, big);
    child.setEnvironment("QT_QPA_PLATFORM", "offscreen");
    ASSERT_TRUE(child.startTests("BackupRestoreKillChild.RestoresUntilKilled")) << child.report();
    EXPECT_TRUE(child.waitForOutput(kWriting, 120000)) << child.report();
    child.kill();
    EXPECT_TRUE(child.killedBySignal()) << child.report();

    platform::Error error;
    StoreStack::install(StoreStack::open(storePath(), {}, &error));
    ASSERT_TRUE(StoreStack::instance()) << error.localizedDescription().toStdString();
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(fileFacts(storePath()), facts);
}

// The child of the kill test: restores the archive into the store it is given and, once
// rows were written, says so and waits inside the restore to be killed.
struct BackupRestoreKillChild : ModelTest { };

TEST_F(BackupRestoreKillChild, RestoresUntilKilled)
{
    const QString store = qEnvironmentVariable(kKillStore);
    if (store.isEmpty())
        GTEST_SKIP() << "runs as the child of a kill test";
    platform::Error error;
    StoreStack::install(StoreStack::open(store, {}, &error));
    ASSERT_TRUE(StoreStack::instance()) << error.localizedDescription().toStdString();
    BackupRestore job;
    ASSERT_TRUE(job.unzipArchive(qEnvironmentVariable(kKillArchive)));
    job.setProgressBlock([](int percent, int, int) {
        if (percent <= 80 || percent >= 100)
            return;
        std::fputs(kWriting, stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
        testsupport::waitUntil([] { return false; }, 120000);
    });
    (void)job.restore({});
    FAIL() << "the child was not killed";
}

TEST_F(BackupRestoreTest, TwoRecordsOfOneIdAreRefusedWithTheirNumbers)
{
    makeData(5);
    const auto entries = backupEntries();
    changeData();
    const auto withCopy = [&](const QString& entry, int copied) {
        QJsonArray records = QJsonDocument::fromJson(entries[entry]).array();
        records.append(records[copied]);
        auto changed = entries;
        changed[entry] = QJsonDocument(records).toJson();
        return std::pair(changed, records.size());
    };
    const auto [rows, rowCount] = withCopy("rows.json", 1);
    expectRefused(archive("twice.zip", rows),
        QStringLiteral("rows.json of the backup archive does not hold valid Rows records "
                       "(records 2 and %1 have the same id)")
            .arg(rowCount));
    const auto [databases, databaseCount] = withCopy("database.json", 0);
    expectRefused(archive("twice.zip", databases),
        QStringLiteral("(records 1 and %1 have the same id)").arg(databaseCount));

    // Far apart in a big rows file read while it is unpacked.
    QJsonArray many = manyRows(entries, 16000);
    QJsonObject late = many[14000].toObject();
    late["id"] = "row-3";
    many.replace(14000, late);
    auto big = entries;
    big["rows.json"] = QJsonDocument(many).toJson();
    expectRefused(archive("bigtwice.zip", big), "(records 4 and 14001 have the same id)");
}

// A rows file that inflates to far more than the archive (zeros here) is refused at its
// first bytes: its claimed size is never taken in memory.
TEST_F(BackupRestoreTest, AnArchiveThatInflatesToZerosIsRefusedWithoutTakingItsSizeInMemory)
{
    makeData(3);
    const auto entries = backupEntries();
    changeData();
    constexpr qint64 Zeros = 512LL * 1024 * 1024;
    // Written here, without encryption (which a restore reads too), from one small buffer.
    const QString bomb = path("zeros.zip");
    zipFile zip = zipOpen64(QFile::encodeName(bomb).constData(), APPEND_STATUS_CREATE);
    ASSERT_NE(zip, nullptr);
    const QByteArray chunk(1024 * 1024, '\0');
    for (const QString& entry : kEntries) {
        zip_fileinfo info {};
        ASSERT_EQ(zipOpenNewFileInZip64(zip, entry.toUtf8().constData(), &info, nullptr, 0, nullptr,
                      0, nullptr, Z_DEFLATED, Z_BEST_SPEED, 1),
            ZIP_OK);
        if (entry == "rows.json") {
            for (qint64 written = 0; written < Zeros; written += chunk.size())
                ASSERT_EQ(
                    zipWriteInFileInZip(zip, chunk.constData(), unsigned(chunk.size())), ZIP_OK);
        } else {
            const QByteArray& content = entries[entry];
            ASSERT_EQ(
                zipWriteInFileInZip(zip, content.constData(), unsigned(content.size())), ZIP_OK);
        }
        ASSERT_EQ(zipCloseFileInZip(zip), ZIP_OK);
    }
    ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
    ASSERT_LT(QFileInfo(bomb).size(), Zeros / 100);

    ASSERT_TRUE(resetResidentPeak());
    const qint64 before = residentPeak();
    expectRefused(
        bomb, "rows.json of the backup archive is not valid JSON (unexpected character at byte 0)");
    // Far below the zeros' size, which the file claims: what is left is the sanitizer's
    // shadow of the buffer, an eighth of its size, which it marks when the buffer goes.
    const qint64 peak = residentPeak();
    EXPECT_LT(peak - before, Zeros / 4) << "peak grew by " << (peak - before);
}

// Backups read every record: none of them may stay behind in memory once written, or
// each restore that replaces them leaves them there for good.
TEST_F(BackupRestoreTest, MemoryStaysFlatOverRestoresAndBackups)
{
    makeData(300);
    const auto cycle = [this] {
        ASSERT_TRUE(BackupRestore().backup(path("cycle.zip")));
        const Outcome outcome = restoreFrom(path("cycle.zip"));
        ASSERT_TRUE(outcome.ok) << outcome.message.toStdString();
    };
    cycle();
    cycle();
    const std::size_t settled = heapInUse();
    for (int i = 0; i < 8; ++i)
        cycle();
    const std::size_t after = heapInUse();
    EXPECT_LT(after, settled + 512 * 1024) << "grew by " << (qint64(after) - qint64(settled));
    EXPECT_EQ(Rows::getRowsAll().size(), 600);
}

TEST_F(BackupRestoreTest, AFailedCommitChangesNothing)
{
    makeData(5);
    backupEntries();
    changeData();
    // The same store, opened read-only: the restore's save fails.
    platform::Error error;
    StoreStack::install(StoreStack::open(testsupport::homePath() + "/Kivotab.sqlite",
        { { cd::ReadOnlyPersistentStoreOption, true } }, &error));
    ASSERT_TRUE(StoreStack::instance()) << error.localizedDescription().toStdString();
    const Snapshot before = snapshot();
    ASSERT_FALSE(before.isEmpty());

    expectRefused(path("good.zip"), "The restored data could not be saved");
    // The context still holds the data as it was, with nothing pending.
    EXPECT_FALSE(context()->hasChanges());
    EXPECT_EQ(Database::getDatabases().size(), 3);
}

TEST_F(BackupRestoreTest, AFailedBackupLeavesTheFileThatWasThere)
{
    makeData(2);
    write(path("backup.zip"), "an older backup");
    // A stored value with no JSON form: the rows file cannot be written.
    Rows* row = Rows::getRowsAll().first();
    row->setCtimestamp(std::numeric_limits<double>::infinity());
    ASSERT_TRUE(KivoLib::commit());
    BackupRestore job;
    EXPECT_FALSE(job.backup(path("backup.zip")));
    EXPECT_EQ(job.errorMessage(),
        LocalizedStrings::getMessageWithFormat(BackupRestore::EntryNotWritten, { "rows.json" }));
    EXPECT_EQ(read(path("backup.zip")), "an older backup");
    EXPECT_EQ(
        QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "backup.zip" });

    KivoLib::rollback();
    EXPECT_FALSE(job.backup(path("no/such/folder/backup.zip")));
    EXPECT_TRUE(job.errorMessage().contains("could not be created"));
}

TEST_F(BackupRestoreTest, TheOfferedNameIsSafeInAFileName)
{
    EXPECT_EQ(BackupRestore::backupFileName(QDateTime(QDate(2024, 3, 5), QTime(14, 30, 7))),
        "Backup_2024-03-05_14-30-07.zip");
    EXPECT_EQ(BackupRestore::RestoreFileName, "backup.zip");
}

} // namespace
