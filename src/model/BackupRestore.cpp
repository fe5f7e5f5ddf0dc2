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
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/store/KivoLibObject.h"
#include "utilities/text/LocalizedStrings.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

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

const QString BackupRestore::NoTemporaryFolder
    = QStringLiteral("No temporary folder could be made for the backup files.");
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
const QString BackupRestore::NothingExtracted
    = QStringLiteral("No backup archive was opened. Your data is unchanged.");
const QString BackupRestore::FileMissing
    = QStringLiteral("The backup archive has no %@. Your data is unchanged.");
const QString BackupRestore::FileUnreadable
    = QStringLiteral("%@ of the backup archive could not be read. Your data is unchanged.");
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

// The records of one entity file, checked: one list of attribute values (in the entity's
// order, already of the attribute's type) per record.
struct EntityRecords {
    QString entry;
    const cd::EntityDescription* entity = nullptr;
    std::vector<QList<QVariant>> records;
};

// Reads and checks one extracted entity file; the reason when it cannot be restored.
std::optional<QString> readEntityFile(const QString& path, EntityRecords& result)
{
    QFile file(path);
    if (!file.exists())
        return message(BackupRestore::FileMissing, { result.entry });
    if (!file.open(QIODevice::ReadOnly))
        return message(BackupRestore::FileUnreadable, { result.entry });
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return message(BackupRestore::FileUnreadable, { result.entry });
    file.close();

    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        return message(BackupRestore::FileNotJSON,
            { result.entry,
                QStringLiteral("%1 at byte %2")
                    .arg(parseError.errorString())
                    .arg(parseError.offset) });
    }
    const QString entityName = result.entity->name();
    const auto notRecords = [&](const QString& detail) {
        return message(BackupRestore::FileNotRecords, { result.entry, entityName, detail });
    };
    if (!document.isArray())
        return notRecords(QStringLiteral("the file holds no list"));

    const QJsonArray array = document.array();
    const auto& attributes = result.entity->attributes();
    result.records.reserve(size_t(array.size()));
    qsizetype number = 0;
    for (const QJsonValue& element : array) {
        ++number;
        if (!element.isObject())
            return notRecords(QStringLiteral("record %1 is no object").arg(number));
        const QJsonObject object = element.toObject();
        if (object.value(KivoLib::ManageObjectNameKey).toString() != entityName)
            return notRecords(QStringLiteral("record %1 is no %2").arg(number).arg(entityName));
        QList<QVariant> values;
        values.reserve(attributes.size());
        for (const auto& attribute : attributes) {
            const auto coerced = attribute.coerce(object.value(attribute.name).toVariant());
            if (!coerced) {
                return notRecords(QStringLiteral("record %1 has a value of the wrong kind for "
                                                 "\"%2\"")
                                      .arg(number)
                                      .arg(attribute.name));
            }
            values.append(*coerced);
        }
        result.records.push_back(std::move(values));
    }
    return std::nullopt;
}

} // namespace

BackupRestore::~BackupRestore()
{
    close();
}

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

void BackupRestore::prepare()
{
    close();
    m_tempDir = KivoAppDelegate::URLForTemporaryFolder();
}

void BackupRestore::close()
{
    if (m_tempDir.isEmpty())
        return;
    QDir(m_tempDir.toLocalFile()).removeRecursively();
    m_tempDir.clear();
}

QString BackupRestore::entryPath(const QString& entry) const
{
    return m_tempDir.isEmpty() ? QString() : QDir(m_tempDir.toLocalFile()).filePath(entry);
}

QString BackupRestore::databaseFile() const
{
    return entryPath(DatabaseEntry);
}

QString BackupRestore::templateFile() const
{
    return entryPath(TemplateEntry);
}

QString BackupRestore::templatecolumnFile() const
{
    return entryPath(TemplateColumnEntry);
}

QString BackupRestore::usertemplateFile() const
{
    return entryPath(UserTemplateEntry);
}

QString BackupRestore::rowsFile() const
{
    return entryPath(RowsEntry);
}

bool BackupRestore::writeEntity(const QString& entry, const QByteArray& json)
{
    // Null when a value has no JSON form: the file would lose records.
    if (json.isNull() || m_tempDir.isEmpty())
        return false;
    QSaveFile file(entryPath(entry));
    return file.open(QIODevice::WriteOnly) && file.write(json) == json.size() && file.commit();
}

bool BackupRestore::backupDatabase()
{
    return writeEntity(DatabaseEntry, Database::toJSON());
}

bool BackupRestore::backupTemplate()
{
    return writeEntity(TemplateEntry, Template::toJSON());
}

bool BackupRestore::backupTemplateColumn()
{
    return writeEntity(TemplateColumnEntry, TemplateColumn::toJSON());
}

bool BackupRestore::backupUserTemplate()
{
    return writeEntity(UserTemplateEntry, UserTemplate::toJSON());
}

bool BackupRestore::backupRows()
{
    return writeEntity(RowsEntry, Rows::toJSON());
}

bool BackupRestore::backup(const QString& path)
{
    m_errorMessage.clear();
    prepare();
    struct Cleanup {
        BackupRestore* self;
        ~Cleanup() { self->close(); }
    } cleanup { this };
    if (m_tempDir.isEmpty())
        return fail(message(NoTemporaryFolder));

    const std::array<std::pair<QString, bool (BackupRestore::*)()>, EntryCount> files { {
        { DatabaseEntry, &BackupRestore::backupDatabase },
        { TemplateEntry, &BackupRestore::backupTemplate },
        { TemplateColumnEntry, &BackupRestore::backupTemplateColumn },
        { UserTemplateEntry, &BackupRestore::backupUserTemplate },
        { RowsEntry, &BackupRestore::backupRows },
    } };
    for (const auto& [entry, write] : files) {
        if (!(this->*write)())
            return fail(message(EntryNotWritten, { entry }));
    }

    ZipFacade zip;
    if (!zip.CreateZipFile2(path, ArchivePassword))
        return fail(message(ArchiveNotCreated, { path }));
    int done = 0;
    for (const auto& [entry, write] : files) {
        // An archive left unclosed is thrown away: the file at the path stays as it was.
        if (!zip.addFileToZip(entryPath(entry), entry))
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
    prepare();
    if (m_tempDir.isEmpty())
        return fail(message(NoTemporaryFolder));
    ZipFacade zip;
    auto errors = std::make_shared<ErrorCollector>();
    zip.setDelegate(errors);
    zip.setProgressBlock(m_progressBlock);
    if (!zip.UnzipOpenFile(path, ArchivePassword)) {
        close();
        return fail(message(ArchiveNotOpened));
    }
    if (!zip.UnzipFileTo(m_tempDir.toLocalFile(), true)) {
        close();
        if (errors->last == ZipFacade::WrongPasswordMessage)
            return fail(message(ArchiveWrongPassword));
        return fail(message(ArchiveDamaged, { errors->last }));
    }
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
    if (m_tempDir.isEmpty())
        return fail(message(NothingExtracted));
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
    std::vector<EntityRecords> files;
    files.reserve(EntryCount);
    for (const auto& [entry, entityName] : order) {
        EntityRecords records;
        records.entry = entry;
        records.entity = model->entity(entityName);
        if (!records.entity)
            return fail(message(NoStore));
        if (const auto reason = readEntityFile(entryPath(entry), records))
            return fail(*reason);
        files.push_back(std::move(records));
    }

    // Changes an earlier failed save left behind must not ride along in this one.
    KivoLib::rollback();
    QList<cd::ManagedObject*> existing;
    for (const auto& file : files) {
        cd::FetchRequest request(file.entity->name());
        request.setIncludesPropertyValues(false);
        platform::Error error;
        const auto objects = context->executeFetchRequest(request, &error);
        if (!error.isNull())
            return fail(message(StoreNotRead, { error.localizedDescription() }));
        existing.append(objects);
    }

    // One transaction: the old records go and the new ones come, or nothing changes.
    platform::Error error;
    try {
        for (cd::ManagedObject* object : std::as_const(existing))
            context->deleteObject(object);
        for (const auto& file : files) {
            for (const auto& values : file.records) {
                cd::ManagedObject* object = context->createObject(file.entity->name());
                for (int i = 0; i < values.size(); ++i) {
                    if (!values[i].isNull())
                        object->setValue(i, values[i]);
                }
                context->insertObject(object);
            }
        }
        if (context->save(&error))
            return true;
    } catch (const platform::Exception& exception) {
        context->rollback();
        return fail(message(StoreNotSaved, { exception.reason() }));
    } catch (...) {
        context->rollback();
        throw;
    }
    context->rollback();
    return fail(message(StoreNotSaved, { error.localizedDescription() }));
}
