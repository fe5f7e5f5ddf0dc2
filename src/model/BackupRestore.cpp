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
#include "utilities/shell/MessageHelper.h"
#include "utilities/store/JSONRecordReader.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/store/KivoLibObject.h"
#include "utilities/text/LocalizedStrings.h"

#include <array>
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

QString message(const QString& format, const QStringList& arguments = {})
{
    return LocalizedStrings::getMessageWithFormat(format, arguments);
}

// Collects the facade's last error text.
class ErrorCollector : public ZipFacadeDelegate {
public:
    void ErrorMessage(const QString& message) override { last = message; }
    QString last;
};

} // namespace

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

void BackupRestore::close()
{
    m_rows.reset();
    m_rowsModel.reset();
    m_entries.clear();
    m_unzipped = false;
}

bool BackupRestore::backup(const QString& path)
{
    m_errorMessage.clear();
    cd::ManagedObjectContext* context = KivoLib::currentContext();
    if (!context)
        return fail(message(NoStore));
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
    ZipFacade zip;
    auto errors = std::make_shared<ErrorCollector>();
    zip.setDelegate(errors);
    zip.setProgressBlock(m_progressBlock);
    if (!zip.UnzipOpenFile(path, ArchivePassword))
        return fail(message(ArchiveNotOpened));
    // The rows file, by far the biggest, is read in parts as it is unpacked: each part as
    // soon as its bytes are in place. Only once every entry has passed its checks are
    // the records kept, and any fault in them is left for restore() to find and tell.
    const auto model = KivoLib::currentModel();
    const cd::EntityDescription* rows = model ? model->entity(Rows::entityName()) : nullptr;
    std::unique_ptr<JSONRecordReader::InParts> reader;
    const auto written = [&](const QString& name, const QByteArray& content, qsizetype filled) {
        if (name != RowsEntry)
            return;
        // A second entry of the name (the first one's buffer goes when this one is kept)
        // or one that failed: the reader stops before its buffer goes.
        if (reader && (reader->data() != content.constData() || filled < 0))
            reader.reset();
        if (!rows || filled < 0 || content.size() < FewestBytesReadWhileUnpacked)
            return;
        if (!reader) {
            reader = std::make_unique<JSONRecordReader::InParts>(
                content.constData(), content.size(), *rows, PartsReadWhileUnpacked);
        }
        reader->written(filled);
    };
    const bool unzipped = zip.UnzipFilesToData(m_entries, written);
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
        if (errors->last == ZipFacade::WrongPasswordMessage)
            return fail(message(ArchiveWrongPassword));
        return fail(message(ArchiveDamaged, { errors->last }));
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

    // Everything is read and checked before the store is touched. Definitions come first,
    // so the records that refer to them are made after them.
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
        const auto found = m_entries.constFind(entry);
        if (found == m_entries.cend())
            return fail(message(FileMissing, { entry }));
        if (entry == RowsEntry && m_rows && m_rowsModel == model) {
            file.records = std::move(*m_rows);
            m_rows.reset();
            files.push_back(std::move(file));
            continue;
        }
        JSONRecordReader::Failure failure;
        auto records = JSONRecordReader::read(*found, *file.entity, &failure);
        if (!records) {
            return fail(failure.kind == JSONRecordReader::Failure::Kind::Syntax
                    ? message(FileNotJSON, { entry, failure.detail })
                    : message(FileNotRecords, { entry, entityName, failure.detail }));
        }
        file.records = std::move(*records);
        files.push_back(std::move(file));
    }
    m_entries.clear();

    // Changes an earlier failed save left behind must not ride along in this one.
    KivoLib::rollback();
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
