#include "model/BackupRestore.h"

#include "model/Database.h"
#include "model/ModelRegistry.h"
#include "model/Rows.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "model/UserTemplate.h"
#include "platform/Exception.h"
#include "platform/StringFormat.h"
#include "platform/coredata/ManagedObject.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/ManagedObjectModel.h"
#include "platform/coredata/StoredText.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/store/JSONRecordReader.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/store/KivoLibObject.h"
#include "utilities/text/LocalizedStrings.h"

#include <QHash>
#include <QStringList>

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

const QString BackupRestore::BackupFileFormat = QStringLiteral("Backup_%@.zip");
const QString BackupRestore::RestoreFileName = QStringLiteral("backup.zip");
const QString BackupRestore::ArchiveFileType = QStringLiteral("zip");
const QString BackupRestore::DatabaseEntry = QStringLiteral("database.json");
const QString BackupRestore::TemplateEntry = QStringLiteral("template.json");
const QString BackupRestore::TemplateColumnEntry = QStringLiteral("templatecolumn.json");
const QString BackupRestore::UserTemplateEntry = QStringLiteral("usertemplate.json");
const QString BackupRestore::RowsEntry = QStringLiteral("rows.json");
// Archives made by every earlier version carry this password; it must never change.
const QString BackupRestore::ArchivePassword = QStringLiteral("Hn4]cWrT8;mzPe");

const QString BackupRestore::BackupNotRead
    = QStringLiteral("The data could not be read (%@), so no backup was made.");
const QString BackupRestore::EntryNotWritten
    = QStringLiteral("%@ could not be written, so no backup was made.");
const QString BackupRestore::ArchiveNotCreated
    = QStringLiteral("The backup file could not be created at %@.");
const QString BackupRestore::ArchiveNotFinished = QStringLiteral(
    "The backup file could not be finished at %@; a file that was there is unchanged.");
const QString BackupRestore::ArchiveNotOpened
    = QStringLiteral("The file is not a backup archive or it is damaged. Your data is unchanged.");
const QString BackupRestore::ArchiveWrongPassword
    = QStringLiteral("The backup archive was made with another password. Your data is unchanged.");
const QString BackupRestore::ArchiveWrongPasswordOrDamaged = QStringLiteral(
    "The backup archive was made with another password, or it is damaged. Your data is "
    "unchanged.");
const QString BackupRestore::ArchiveDamaged
    = QStringLiteral("The backup archive is damaged (%@). Your data is unchanged.");
const QString BackupRestore::NothingRead
    = QStringLiteral("No backup archive was read. Your data is unchanged.");
const QString BackupRestore::FileMissing
    = QStringLiteral("The backup archive has no %@. Your data is unchanged.");
const QString BackupRestore::FileNotJSON
    = QStringLiteral("%@ of the backup archive is not valid JSON (%@). Your data is unchanged.");
const QString BackupRestore::FileNotRecords = QStringLiteral(
    "%@ of the backup archive does not hold valid %@ records (%@). Your data is unchanged.");
const QString BackupRestore::NoStore
    = QStringLiteral("No data store is open, so nothing was restored.");
const QString BackupRestore::StoreNotRead = QStringLiteral(
    "The current data could not be read (%@), so nothing was restored. Your data is unchanged.");
const QString BackupRestore::StoreNotSaved
    = QStringLiteral("The restored data could not be saved (%@). Your data is unchanged.");

namespace {

namespace cd = platform::coredata;

constexpr int EntryCount = 5;
// A rows file from this size on is read while it is unpacked, in up to this many parts.
constexpr qsizetype FewestBytesReadWhileUnpacked = 4 * 1024 * 1024;
constexpr int PartsReadWhileUnpacked = 8;
// The parts a rows file written as it is read is read in: small ones, so that the first
// records are written soon after the unpacking began.
constexpr int PartsReadWhileWriting = 32;

QString message(const QString& format, const QStringList& arguments = {})
{
    return LocalizedStrings::getMessageWithFormat(format, arguments);
}

bool isJsonSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

bool mayStartJsonValue(char c)
{
    return c == '{' || c == '[' || c == '"' || c == '-' || (c >= '0' && c <= '9') || c == 't'
        || c == 'f' || c == 'n';
}

// Watches the first bytes of the entity files as they are unpacked: a file that does not
// open a list of records stops the unpacking at once, however big it claims to be, and
// is refused as the reader would refuse it.
class HeadCheck {
public:
    // False once the entry's first bytes show it is no list of records.
    bool written(const QString& name, const QByteArray& content, qsizetype filled)
    {
        if (filled < 0 || !isEntityFile(name))
            return true;
        Head& head = m_heads[name];
        // Another entry of the name: its own buffer.
        if (head.data != content.constData())
            head = Head { content.constData(), 0, false };
        if (head.decided)
            return true;
        const char* data = content.constData();
        qsizetype& at = head.checked;
        const auto skipSpace = [&] {
            while (at < filled && isJsonSpace(data[at]))
                ++at;
        };
        skipSpace();
        if (at == filled)
            return true;
        if (!head.opened) {
            if (data[at] != '[')
                return refuse(name, at, data[at], QStringLiteral("the file holds no list"));
            head.opened = true;
            ++at;
            skipSpace();
            if (at == filled)
                return true;
        }
        if (data[at] != '{' && data[at] != ']')
            return refuse(name, at, data[at], QStringLiteral("record 1 is no object"));
        head.decided = true;
        return true;
    }

    // The entry refused, and why; empty while none was.
    const QString& refusedEntry() const { return m_refusedEntry; }
    const JSONRecordReader::Failure& failure() const { return m_failure; }

private:
    struct Head {
        const char* data = nullptr;
        qsizetype checked = 0;
        bool opened = false;
        bool decided = false;
    };

    static bool isEntityFile(const QString& name)
    {
        return name == BackupRestore::DatabaseEntry || name == BackupRestore::TemplateEntry
            || name == BackupRestore::TemplateColumnEntry
            || name == BackupRestore::UserTemplateEntry || name == BackupRestore::RowsEntry;
    }

    bool refuse(const QString& name, qsizetype at, char found, const QString& records)
    {
        m_refusedEntry = name;
        m_failure = mayStartJsonValue(found)
            ? JSONRecordReader::Failure { JSONRecordReader::Failure::Kind::Records, records }
            : JSONRecordReader::Failure { JSONRecordReader::Failure::Kind::Syntax,
                  QStringLiteral("unexpected character at byte %1").arg(at) };
        return false;
    }

    QHash<QString, Head> m_heads;
    QString m_refusedEntry;
    JSONRecordReader::Failure m_failure { JSONRecordReader::Failure::Kind::Syntax, {} };
};

// Ids are unique in a store: a file that gives two records one id is refused. The ids
// are gathered as the records come and checked once, sorted by their hashes: far cheaper
// than a table of them on the thread that writes the records.
class IdCheck {
public:
    explicit IdCheck(const cd::EntityDescription& entity)
    {
        const auto& attributes = entity.attributes();
        for (qsizetype i = 0; i < attributes.size(); ++i) {
            if (attributes[i].name == QLatin1String("id"))
                m_column = i;
        }
    }
    // Takes the records, numbered on from those taken before.
    void take(const std::vector<QList<QVariant>>& records)
    {
        for (const QList<QVariant>& record : records) {
            ++m_count;
            if (m_column < 0 || m_column >= record.size() || record[m_column].isNull())
                continue;
            QByteArray id = keyOf(record[m_column]);
            m_keys.push_back({ qHash(id, size_t(0x9e3779b97f4a7c15ULL)), m_count, m_ids.size() });
            m_ids.push_back(std::move(id));
        }
    }
    // True when no two records taken share an id; otherwise false and, in `detail`, the
    // first record whose id came before and the record it came in.
    bool unique(QString* detail)
    {
        std::sort(m_keys.begin(), m_keys.end());
        std::optional<std::pair<qint64, qint64>> first;
        for (size_t from = 0; from < m_keys.size();) {
            size_t to = from + 1;
            while (to < m_keys.size() && m_keys[to].hash == m_keys[from].hash)
                ++to;
            // Equal hashes, in record order: the earliest record of each id against the
            // later ones.
            for (size_t a = from; a + 1 < to; ++a) {
                for (size_t b = a + 1; b < to; ++b) {
                    if (idOf(m_keys[a]) == idOf(m_keys[b])
                        && (!first || m_keys[b].number < first->second)) {
                        first = std::pair(m_keys[a].number, m_keys[b].number);
                        break;
                    }
                }
            }
            from = to;
        }
        if (!first)
            return true;
        *detail = QStringLiteral("records %1 and %2 have the same id")
                      .arg(first->first)
                      .arg(first->second);
        return false;
    }

private:
    struct Key {
        size_t hash;
        qint64 number; // from 1
        size_t index; // in m_ids
        bool operator<(const Key& other) const
        {
            return std::pair(hash, number) < std::pair(other.hash, other.number);
        }
    };
    const QByteArray& idOf(const Key& key) const { return m_ids[key.index]; }
    // An id in one form whatever it is held in, so that one text is one key: its UTF-8
    // bytes, as a restore reads them; a text no UTF-8 holds (with a lone surrogate) in
    // its UTF-16 units after a byte that starts no UTF-8.
    static QByteArray keyOf(const QVariant& value)
    {
        if (cd::StoredText::isBytes(value))
            return *static_cast<const QByteArray*>(value.constData());
        const QString text = cd::StoredText::readable(value).toString();
        if (QStringView(text).isValidUtf16())
            return text.toUtf8();
        return '\xff'
            + QByteArray(reinterpret_cast<const char*>(text.utf16()),
                text.size() * qsizetype(sizeof(char16_t)));
    }

    qsizetype m_column = -1;
    std::vector<Key> m_keys;
    std::vector<QByteArray> m_ids;
    qint64 m_count = 0;
};

QString entityNameOf(const QString& entry)
{
    if (entry == BackupRestore::DatabaseEntry)
        return Database::entityName();
    if (entry == BackupRestore::TemplateEntry)
        return Template::entityName();
    if (entry == BackupRestore::TemplateColumnEntry)
        return TemplateColumn::entityName();
    if (entry == BackupRestore::UserTemplateEntry)
        return UserTemplate::entityName();
    return Rows::entityName();
}

} // namespace

// Collects the facade's last error text.
struct BackupRestore::ZipErrors : ZipFacadeDelegate {
    void ErrorMessage(const QString& message) override { last = message; }
    QString last;
};

QString BackupRestore::backupFileName(const QDateTime& date)
{
    return platform::formatObjects(
        BackupFileFormat, { date.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")) });
}

bool BackupRestore::fail(const QString& text)
{
    m_errorMessage = text;
    MessageHelper::ShowMessage(text, true);
    return false;
}

bool BackupRestore::failFile(const QString& entry, const JSONRecordReader::Failure& failure)
{
    return fail(failure.kind == JSONRecordReader::Failure::Kind::Syntax
            ? message(FileNotJSON, { entry, failure.detail })
            : message(FileNotRecords, { entry, entityNameOf(entry), failure.detail }));
}

bool BackupRestore::failUnzip(const QString& zipError)
{
    if (zipError == ZipFacade::WrongPasswordMessage)
        return fail(message(ArchiveWrongPassword));
    if (zipError == ZipFacade::WrongPasswordOrDamagedMessage)
        return fail(message(ArchiveWrongPasswordOrDamaged));
    return fail(message(ArchiveDamaged, { zipError }));
}

bool BackupRestore::failUnpacking(
    const QString& refusedEntry, const JSONRecordReader::Failure& failure, const QString& zipError)
{
    // What a wrong password deciphers is refused at its first bytes too; the archive's
    // own check of the entry, read to its end, tells which it was.
    if (refusedEntry.isEmpty() || zipError == ZipFacade::WrongPasswordOrDamagedMessage)
        return failUnzip(zipError);
    return failFile(refusedEntry, failure);
}

void BackupRestore::close()
{
    m_zip.reset();
    m_zipErrors.reset();
    m_rows.reset();
    m_rowsModel.reset();
    m_entries.clear();
    m_unzipped = false;
}

bool BackupRestore::backup(const QString& path)
{
    m_errorMessage.clear();
    cd::ManagedObjectContext* current = KivoLib::currentContext();
    if (!current)
        return fail(message(NoStore));
    // Read through a context of its own, which goes with its objects once the archive is
    // written: the current one would keep every record it read for as long as it lives,
    // and a restore makes those records dead weight.
    cd::ManagedObjectContext reading(cd::ManagedObjectContext::ConcurrencyType::Confinement);
    reading.setPersistentStoreCoordinator(current->persistentStoreCoordinator());
    cd::ManagedObjectContext* context = &reading;
    ModelRegistry::registerClasses();
    const std::array<std::pair<QString, QString>, EntryCount> files { {
        { DatabaseEntry, Database::entityName() },
        { TemplateEntry, Template::entityName() },
        { TemplateColumnEntry, TemplateColumn::entityName() },
        { UserTemplateEntry, UserTemplate::entityName() },
        { RowsEntry, Rows::entityName() },
    } };
    ZipFacade zip;
    if (!zip.CreateZipFile2(path, ArchivePassword))
        return fail(message(ArchiveNotCreated, { path }));
    const QDateTime now = QDateTime::currentDateTime();
    int done = 0;
    for (const auto& [entry, entityName] : files) {
        // Every record of the entity; a fetch that fails must not pass for an empty table.
        // An archive left unclosed is thrown away, so the file at the path stays as it was.
        platform::Error error;
        const auto objects = context->executeFetchRequest(cd::FetchRequest(entityName), &error);
        if (!error.isNull())
            return fail(message(BackupNotRead, { error.localizedDescription() }));
        // Null when a value has no JSON form: the file would lose records.
        const QByteArray json = KivoLib::toJSON(objects);
        if (json.isNull() || !zip.addDataToZip(json, entry, now))
            return fail(message(EntryNotWritten, { entry }));
        ++done;
        if (m_progressBlock)
            m_progressBlock(done * 100 / EntryCount, done, EntryCount);
    }
    if (!zip.CloseZipFile2())
        return fail(message(ArchiveNotFinished, { path }));
    return true;
}

bool BackupRestore::unzipArchive(const QString& path)
{
    m_errorMessage.clear();
    close();
    auto zip = std::make_unique<ZipFacade>();
    auto errors = std::make_shared<ZipErrors>();
    zip->setDelegate(errors);
    zip->setProgressBlock(m_progressBlock);
    if (!zip->UnzipOpenFile(path, ArchivePassword))
        return fail(message(ArchiveNotOpened));
    const auto model = KivoLib::currentModel();
    const cd::EntityDescription* rows = model ? model->entity(Rows::entityName()) : nullptr;

    // Just the five files, each once: the rows file is left for restore() to read while
    // it writes. Any other archive is read whole first.
    QStringList small { DatabaseEntry, TemplateEntry, TemplateColumnEntry, UserTemplateEntry };
    QStringList names = zip->getZipFileContents();
    names.sort();
    QStringList five = small + QStringList { RowsEntry };
    five.sort();
    HeadCheck heads;
    const auto headWritten = [&heads](const QString& name, const QByteArray& content,
                                 qsizetype filled) { return heads.written(name, content, filled); };
    if (rows && errors->last.isEmpty() && names == five) {
        if (!zip->UnzipFilesToData(m_entries, small, headWritten)) {
            close();
            return failUnpacking(heads.refusedEntry(), heads.failure(), errors->last);
        }
        m_zip = std::move(zip);
        m_zipErrors = std::move(errors);
        m_unzipped = true;
        return true;
    }

    // The rows file, by far the biggest, is read in parts as it is unpacked: each part as
    // soon as its bytes are in place. Only once every entry has passed its checks are
    // the records kept, and any fault in them is left for restore() to find and tell.
    std::unique_ptr<JSONRecordReader::InParts> reader;
    const auto written = [&](const QString& name, const QByteArray& content, qsizetype filled) {
        if (!heads.written(name, content, filled))
            return false;
        if (name != RowsEntry)
            return true;
        // A second entry of the name (the first one's buffer goes when this one is kept)
        // or one that failed: the reader stops before its buffer goes.
        if (reader && (reader->data() != content.constData() || filled < 0))
            reader.reset();
        if (!rows || filled < 0 || content.size() < FewestBytesReadWhileUnpacked)
            return true;
        if (!reader) {
            reader = std::make_unique<JSONRecordReader::InParts>(
                content.constData(), content.size(), *rows, PartsReadWhileUnpacked);
        }
        reader->written(filled);
        return true;
    };
    const bool unzipped = zip->UnzipFilesToData(m_entries, written);
    if (unzipped && reader) {
        const auto found = m_entries.constFind(RowsEntry);
        if (found != m_entries.cend() && found->constData() == reader->data()) {
            m_rows = reader->finish();
            if (m_rows)
                m_rowsModel = model;
        }
    }
    // Its threads end before the buffers it reads can go.
    reader.reset();
    if (!unzipped) {
        close();
        return failUnpacking(heads.refusedEntry(), heads.failure(), errors->last);
    }
    m_unzipped = true;
    return true;
}

bool BackupRestore::restore(const QString& path)
{
    Q_UNUSED(path);
    m_errorMessage.clear();
    struct Cleanup {
        BackupRestore* self;
        ~Cleanup() { self->close(); }
    } cleanup { this };
    if (!m_unzipped)
        return fail(message(NothingRead));
    cd::ManagedObjectContext* context = KivoLib::currentContext();
    const auto model = KivoLib::currentModel();
    if (!context || !model)
        return fail(message(NoStore));
    ModelRegistry::registerClasses();

    // Every file read so far is checked before the store is touched; a rows file still
    // to be unpacked is checked as it is written. Definitions come first, so the records
    // that refer to them are made after them.
    const std::array<std::pair<QString, QString>, EntryCount> order { {
        { TemplateEntry, Template::entityName() },
        { TemplateColumnEntry, TemplateColumn::entityName() },
        { DatabaseEntry, Database::entityName() },
        { UserTemplateEntry, UserTemplate::entityName() },
        { RowsEntry, Rows::entityName() },
    } };
    std::vector<cd::ManagedObjectContext::EntityContent> files;
    files.reserve(EntryCount);
    for (const auto& [entry, entityName] : order) {
        cd::ManagedObjectContext::EntityContent file;
        file.entity = model->entity(entityName);
        if (!file.entity)
            return fail(message(NoStore));
        if (entry == RowsEntry && m_zip)
            break;
        const auto found = m_entries.constFind(entry);
        if (found == m_entries.cend())
            return fail(message(FileMissing, { entry }));
        if (entry == RowsEntry && m_rows && m_rowsModel == model) {
            file.records = std::move(*m_rows);
            m_rows.reset();
        } else {
            JSONRecordReader::Failure failure;
            auto records = JSONRecordReader::read(*found, *file.entity, &failure);
            if (!records)
                return failFile(entry, failure);
            file.records = std::move(*records);
        }
        IdCheck ids(*file.entity);
        ids.take(file.records);
        QString twice;
        if (!ids.unique(&twice))
            return failFile(entry, { JSONRecordReader::Failure::Kind::Records, twice });
        files.push_back(std::move(file));
    }
    m_entries.clear();

    // Changes an earlier failed save left behind must not ride along in this one.
    KivoLib::rollback();
    if (m_zip)
        return restoreWhileUnpacking(std::move(files), *model->entity(Rows::entityName()));
    // One transaction: the old records go and the new ones come, or nothing changes. The
    // old ones are never read: the tables are emptied whole.
    platform::Error error;
    try {
        // The reader gave every value its attribute's type already.
        if (context->replaceAllObjects(std::move(files), &error))
            return true;
    } catch (const platform::Exception& exception) {
        return fail(message(StoreNotSaved, { exception.reason() }));
    }
    return fail(message(StoreNotSaved, { error.localizedDescription() }));
}

namespace {

// The rows file, unpacked from the archive on a thread of its own and read in parts as
// its bytes come. Stops the unpacking, and waits for it, when it goes.
class RowsUnpacking {
public:
    RowsUnpacking(ZipFacade& zip, const cd::EntityDescription& rows)
        : m_zip(zip)
        , m_rows(rows)
    {
        m_thread = std::thread([this] { run(); });
    }
    ~RowsUnpacking()
    {
        m_stop = true;
        m_thread.join();
        // Its threads end before the buffer it reads goes.
        m_reader.reset();
    }
    RowsUnpacking(const RowsUnpacking&) = delete;
    RowsUnpacking& operator=(const RowsUnpacking&) = delete;

    // Waits until the file is being read in parts, or was unpacked whole: the reader of
    // its parts, null when it is read whole once unpacked.
    JSONRecordReader::InParts* reader()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_reader || m_ended; });
        return m_reader.get();
    }
    // Waits until the unpacking ended; whether it succeeded.
    bool wait()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_ended; });
        return m_unzipped;
    }
    // After wait(): the file's content.
    QByteArray content() const { return m_files.value(BackupRestore::RowsEntry); }
    // After wait(), once its records are taken: the file's buffer, its reader gone. Giving
    // back the pages of a big file takes a while: the caller frees it where that costs
    // least.
    QMap<QString, QByteArray> takeFiles()
    {
        m_reader.reset();
        return std::exchange(m_files, {});
    }
    // After wait(): whether the file's first bytes stopped the unpacking, and why.
    bool refusedAtItsHead() const { return !m_heads.refusedEntry().isEmpty(); }
    const JSONRecordReader::Failure& headFailure() const { return m_heads.failure(); }

private:
    void run()
    {
        bool readerEnded = false;
        const auto written = [&](const QString&, const QByteArray& content, qsizetype filled) {
            if (filled < 0) {
                // Its buffer goes: the parts under way end first.
                if (m_reader && !std::exchange(readerEnded, true))
                    m_reader->end(false);
                return true;
            }
            if (m_stop || !m_heads.written(BackupRestore::RowsEntry, content, filled))
                return false;
            if (content.size() < FewestBytesReadWhileUnpacked)
                return true;
            if (!m_reader) {
                std::lock_guard lock(m_mutex);
                // Texts stay in the bytes they are unpacked as: the store writes them so,
                // and making them text and back costs the restore's busiest thread.
                m_reader = std::make_unique<JSONRecordReader::InParts>(content.constData(),
                    content.size(), m_rows, PartsReadWhileWriting,
                    JSONRecordReader::Texts::AsBytes);
                m_changed.notify_all();
            }
            m_reader->written(filled);
            return true;
        };
        const bool unzipped
            = m_zip.UnzipFilesToData(m_files, { BackupRestore::RowsEntry }, written);
        // Kept whole, the file is read to its end even when the archive failed after it.
        const bool kept = m_files.contains(BackupRestore::RowsEntry);
        if (m_reader && !readerEnded)
            m_reader->end(kept);
        std::lock_guard lock(m_mutex);
        m_unzipped = unzipped && kept;
        m_ended = true;
        m_changed.notify_all();
    }

    ZipFacade& m_zip;
    const cd::EntityDescription& m_rows;
    QMap<QString, QByteArray> m_files;
    HeadCheck m_heads;
    std::unique_ptr<JSONRecordReader::InParts> m_reader;
    std::atomic<bool> m_stop { false };
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_ended = false;
    bool m_unzipped = false;
    std::thread m_thread;
};

} // namespace

bool BackupRestore::restoreWhileUnpacking(
    std::vector<cd::ManagedObjectContext::EntityContent>&& files, const cd::EntityDescription& rows)
{
    cd::ManagedObjectContext* context = KivoLib::currentContext();
    // Progress reaches the user on this thread only.
    m_zip->setProgressBlock({});
    RowsUnpacking unpacking(*m_zip, rows);
    IdCheck ids(rows);
    platform::Error error;
    try {
        QList<const cd::EntityDescription*> entities;
        for (const auto& file : files)
            entities << file.entity;
        entities << &rows;
        // One transaction: the old records go and the new ones come, or nothing changes.
        // The old ones are never read: the tables are emptied whole.
        const auto replacement = context->beginReplacement(entities, &error);
        if (!replacement)
            return fail(message(StoreNotSaved, { error.localizedDescription() }));
        for (auto& file : files) {
            if (!replacement->add(*file.entity, std::move(file.records), &error))
                return fail(message(StoreNotSaved, { error.localizedDescription() }));
        }
        files.clear();
        // The rows as their parts are read, in the file's order.
        JSONRecordReader::InParts* reader = unpacking.reader();
        bool refused = false;
        bool firstPart = true;
        for (bool more = reader != nullptr; more;) {
            std::vector<QList<QVariant>> records;
            switch (reader->next(records)) {
            case JSONRecordReader::InParts::Next::Records:
                if (std::exchange(firstPart, false))
                    replacement->buildIndexesLast(rows, records);
                ids.take(records);
                if (!replacement->add(rows, std::move(records), &error))
                    return fail(message(StoreNotSaved, { error.localizedDescription() }));
                if (m_progressBlock) {
                    // The rows file is the last entry; its share goes as its records do.
                    const qint64 size = std::max<qint64>(reader->size(), 1);
                    const int percent = int(
                        ((EntryCount - 1) * size + reader->given()) * 100 / (EntryCount * size));
                    m_progressBlock(std::min(percent, 99), EntryCount - 1, EntryCount);
                }
                break;
            case JSONRecordReader::InParts::Next::Refused:
                refused = true;
                more = false;
                break;
            case JSONRecordReader::InParts::Next::End:
            case JSONRecordReader::InParts::Next::Unfilled:
                more = false;
                break;
            }
        }
        // A damaged archive is told as such, whatever its content looks like.
        if (!unpacking.wait()) {
            return failUnpacking(unpacking.refusedAtItsHead() ? RowsEntry : QString(),
                unpacking.headFailure(), m_zipErrors->last);
        }
        if (!reader || refused) {
            JSONRecordReader::Failure failure;
            auto rest = reader ? reader->readRest(&failure)
                               : JSONRecordReader::read(unpacking.content(), rows, &failure);
            if (!rest)
                return failFile(RowsEntry, failure);
            // A big file whose parts could not be read on their own is still many rows.
            if (reader && std::exchange(firstPart, false))
                replacement->buildIndexesLast(rows, *rest);
            ids.take(*rest);
            if (!replacement->add(rows, std::move(*rest), &error))
                return fail(message(StoreNotSaved, { error.localizedDescription() }));
        }
        // The ids are checked while the indexes are built: both come before the commit.
        QString twice;
        auto idsUnique
            = std::async(std::launch::async, [&ids, &twice] { return ids.unique(&twice); });
        const bool built = replacement->buildIndexes(&error);
        if (!idsUnique.get())
            return failFile(RowsEntry, { JSONRecordReader::Failure::Kind::Records, twice });
        if (!built)
            return fail(message(StoreNotSaved, { error.localizedDescription() }));
        if (m_progressBlock)
            m_progressBlock(100, EntryCount, EntryCount);
        // The unpacked file is read: it is freed while the commit waits for the disk.
        std::jthread freeing([files = unpacking.takeFiles()]() mutable { files.clear(); });
        if (replacement->commit(&error))
            return true;
    } catch (const platform::Exception& exception) {
        return fail(message(StoreNotSaved, { exception.reason() }));
    }
    return fail(message(StoreNotSaved, { error.localizedDescription() }));
}
