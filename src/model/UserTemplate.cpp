#include "model/UserTemplate.h"

#include "model/RowDecoder.h"
#include "model/Rows.h"
#include "model/TemplateColumn.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/ManagedObjectModel.h"
#include "platform/coredata/PersistentStore.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "platform/coredata/Predicate.h"
#include "platform/coredata/StoredTextScan.h"
#include "utilities/crypto/CryptoHelper.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/store/KivoLibObject.h"
#include "utilities/text/LocalizedStrings.h"

const QString UserTemplate::ProtectionCheckPhrase = QStringLiteral("Qx7pLm2#Vt9rKd");

namespace {

const QString kFetchAll = QStringLiteral("FetchRequest_UserTemplate_All");
const QString kFetchByDatabase = QStringLiteral("FetchRequest_UserTemplates");
const QString kFetchByDatabaseCount = QStringLiteral("FetchRequest_UserTemplates_DatabaseId");
const QString kFetchByTemplate = QStringLiteral("FetchRequest_UserTemplates_TemplateId");
const QString kDatabaseIdVariable = QStringLiteral("DATABASE_ID");
const QString kUsersTemplateIdVariable = QStringLiteral("TEMPLATE_ID");
const QString kUserTemplateOrder = QStringLiteral("order");

void tellMessage(QString* message, const QString& text)
{
    if (message)
        *message = text;
}

// Holds the store still from a re-store's first read to its commit, and has it read what
// the store holds now: another machine's changes imported meanwhile, which the context may
// not have merged yet, are read and kept, and none lands between the reads and the commit,
// where the commit would write over it what was read before.
class StoreHold {
public:
    StoreHold()
        : m_context(KivoLib::currentContext())
    {
        if (m_context)
            m_coordinator = m_context->persistentStoreCoordinator();
        if (m_coordinator)
            m_coordinator->lock();
    }
    ~StoreHold()
    {
        if (m_coordinator)
            m_coordinator->unlock();
    }
    StoreHold(const StoreHold&) = delete;
    StoreHold& operator=(const StoreHold&) = delete;

    // The object reads its values again from the store at its next use (changes of its own
    // not yet saved stay).
    void refresh(platform::coredata::ManagedObject* object) const
    {
        if (m_context && object && object->managedObjectContext() == m_context)
            m_context->refreshObject(object, true);
    }

    // The object's changes not yet saved are dropped.
    void drop(platform::coredata::ManagedObject* object) const
    {
        if (m_context && object && object->managedObjectContext() == m_context)
            m_context->refreshObject(object, false);
    }

    // The table's stored rows whose text is in the clear (or encrypted, `clear` false), as
    // the store holds them: only the texts' first characters are looked at.
    QList<Rows*> rowsInForm(const QString& userTemplateId, bool clear) const
    {
        QList<Rows*> found;
        const auto& model = m_coordinator ? m_coordinator->managedObjectModel() : nullptr;
        const auto* entity = model ? model->entity(Rows::entityName()) : nullptr;
        if (!entity)
            return found;
        for (const auto& store : m_coordinator->persistentStores()) {
            const auto scan = m_coordinator->storedTextScan(*entity, store->identifier(),
                platform::coredata::Predicate::equal(
                    QStringLiteral("usertemplate_id"), userTemplateId),
                QStringLiteral("json"));
            const auto keys = scan ? scan->keys() : std::nullopt;
            if (!keys) {
                // A store read only through its context: every row is looked at there.
                for (Rows* row : Rows::getRows(userTemplateId, {}, {}, {}, std::nullopt)) {
                    refresh(row);
                    const QVariant text = row->storedJson();
                    if (!text.isNull() && RowDecoder::isClearText(text) == clear)
                        found.append(row);
                }
                return found;
            }
            QList<qint64> matching;
            scan->read(*keys, [&](qint64 key, QByteArrayView text) {
                if (!text.isNull()
                    && RowDecoder::isClearText(QByteArray::fromRawData(text.data(), text.size()))
                        == clear)
                    matching.append(key);
                return true;
            });
            for (const qint64 key : std::as_const(matching)) {
                auto* row = qobject_cast<Rows*>(m_context->existingObjectWithID(
                    platform::coredata::ObjectID { store->identifier(), entity, key }));
                if (row)
                    found.append(row);
            }
        }
        return found;
    }

private:
    platform::coredata::ManagedObjectContext* m_context = nullptr;
    std::shared_ptr<platform::coredata::PersistentStoreCoordinator> m_coordinator;
};

} // namespace

QString UserTemplate::entityName()
{
    return QStringLiteral("UserTemplate");
}

QList<UserTemplate*> UserTemplate::getUserTemplatesAll()
{
    return ModelRegistry::fetch<UserTemplate>(kFetchAll);
}

QList<UserTemplate*> UserTemplate::getUserTemplates(const QString& databaseId)
{
    return ModelRegistry::fetch<UserTemplate>(kFetchByDatabase,
        QVariantMap { { kDatabaseIdVariable, databaseId } },
        QList<platform::coredata::SortDescriptor> { { kUserTemplateOrder, true } }, 0);
}

bool UserTemplate::isTemplateUsed(const QString& templateId)
{
    return KivoLib::countFetchRequest(
               kFetchByTemplate, { { kUsersTemplateIdVariable, templateId } })
        > 0;
}

bool UserTemplate::isDatabaseUsed(const QString& databaseId)
{
    return KivoLib::countFetchRequest(
               kFetchByDatabaseCount, { { kDatabaseIdVariable, databaseId } })
        > 0;
}

UserTemplate* UserTemplate::add(const QString& databaseId)
{
    ModelRegistry::registerClasses();
    const auto last = KivoLib::executchFetchRequest(kFetchByDatabase,
        QVariantMap { { kDatabaseIdVariable, databaseId } },
        QList<platform::coredata::SortDescriptor> { { kUserTemplateOrder, false } }, 1);
    const int order = last.size() == 1
        ? ModelRegistry::intValue(last.first()->value(kUserTemplateOrder)) + 1
        : 0;
    auto* table = qobject_cast<UserTemplate*>(KivoLib::addEntity(entityName()));
    if (!table)
        return nullptr;
    const QString empty(QLatin1String(""));
    table->setId(ModelRegistry::newId());
    table->setIsprotected(false);
    table->setCtimestamp(ModelRegistry::now());
    table->setName(empty);
    table->setDescr(empty);
    table->setDatabase_id(databaseId);
    table->setOrder(order);
    return table;
}

bool UserTemplate::saveUserTemplate()
{
    return ModelRegistry::saveStamped(this);
}

bool UserTemplate::deleteUserTemplate(UserTemplate* userTemplate)
{
    if (!userTemplate)
        return false;
    return KivoLib::Delete(userTemplate);
}

std::optional<QString> UserTemplate::encryptString(const QString& text, const QString& password)
{
    return CryptoHelper::encrypt(text, password);
}

std::optional<QString> UserTemplate::decryptString(const QString& text, const QString& password)
{
    return CryptoHelper::decrypt(text, password);
}

bool UserTemplate::isPasswordValid(const QString& password) const
{
    const QVariant check = protectioncheck();
    if (check.isNull() || check.toString().isEmpty())
        return false;
    const auto plain = decryptString(check.toString(), password);
    return plain && *plain == ProtectionCheckPhrase;
}

bool UserTemplate::setProtectionCheck(const QString& password)
{
    const auto check = encryptString(ProtectionCheckPhrase, password);
    if (!check)
        return false;
    setProtectioncheck(*check);
    return saveUserTemplate();
}

bool UserTemplate::changeProtection(const std::optional<QString>& currentPassword,
    const std::optional<QString>& password, const QList<TemplateColumn*>& columns, QString* message)
{
    const StoreHold hold;
    hold.refresh(this);
    if (!KivoLib::isDataOK(this))
        return false;
    const bool isProtectedNow = isprotected().toBool();
    // Rows of a protected table are only readable with its password: check it first so a
    // wrong one can never be used to rewrite them.
    if (isProtectedNow && (!currentPassword || !isPasswordValid(*currentPassword))) {
        tellMessage(message, LocalizedStrings::PasswordInvalid());
        return false;
    }
    const std::optional<QString> readPassword = isProtectedNow ? currentPassword : std::nullopt;

    std::optional<QString> check;
    if (password) {
        check = encryptString(ProtectionCheckPhrase, *password);
        if (!check) {
            tellMessage(message, Rows::RowEncryptionFailed);
            return false;
        }
    }

    // Everything is read and written aside first; the rows change only when all of them
    // could be converted. A row may already be in the new form: written on a machine that
    // had not yet heard of an earlier protection change, in the clear or encrypted with the
    // password it then had. Such a row is taken as it is once it reads, so that the change
    // that makes it readable is never refused because of it.
    const auto rows = Rows::getRows(id().toString(), columns, {}, {}, std::nullopt);
    QList<QString> texts;
    texts.reserve(rows.size());
    for (Rows* row : rows) {
        hold.refresh(row);
        const QVariant stored = row->storedJson();
        if (stored.isNull()) {
            texts.append(QString());
            continue;
        }
        const bool clear = RowDecoder::isClearText(stored);
        std::optional<QVariantMap> values;
        bool inNewForm = false;
        if (clear) {
            values = row->decodeData(columns, std::nullopt);
            inNewForm = !password;
        } else {
            if (readPassword)
                values = row->decodeData(columns, readPassword);
            if (!values && password) {
                values = row->decodeData(columns, password);
                inNewForm = values.has_value();
            }
        }
        if (!values) {
            tellMessage(message, Rows::RowDecryptionFailed);
            return false;
        }
        if (inNewForm) {
            texts.append(QString());
            continue;
        }
        QString reason;
        const auto text = Rows::encodeData(*values, columns, password, &reason);
        if (!text) {
            tellMessage(message, reason);
            return false;
        }
        texts.append(*text);
    }

    // Each row keeps its times: the change of form is no edit, and a later edit of the row
    // on another machine still wins over it.
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (!texts[i].isNull())
            rows[i]->setJson(texts[i]);
    }
    setIsprotected(password.has_value());
    setProtectioncheck(check ? QVariant(*check) : QVariant());
    setMtimestamp(ModelRegistry::now());
    return KivoLib::Save(this);
}

std::optional<int> UserTemplate::restoreRowsInItsForm(
    const QString& password, const QList<TemplateColumn*>& columns)
{
    const StoreHold hold;
    hold.refresh(this);
    // A table deleted meanwhile has nothing to store; the screens say so where it matters.
    willAccessValueForKey();
    if (!managedObjectContext() || isFault())
        return 0;
    const bool encrypted = isprotected().toBool();
    const QList<Rows*> rows = hold.rowsInForm(id().toString(), encrypted);
    if (rows.isEmpty())
        return 0;
    // Rows go into the clear only when they read with the password, but are encrypted
    // only with the one that opens the table: any other would lock them away for good.
    if (encrypted && !isPasswordValid(password))
        return 0;
    const Rows::Password writePassword = encrypted ? Rows::Password(password) : std::nullopt;
    QList<std::pair<Rows*, QString>> texts;
    for (Rows* row : rows) {
        hold.refresh(row);
        const QVariant stored = row->storedJson();
        if (stored.isNull() || RowDecoder::isClearText(stored) != encrypted)
            continue;
        const auto values
            = row->decodeData(columns, encrypted ? std::nullopt : Rows::Password(password));
        if (!values)
            continue;
        const auto text = Rows::encodeData(*values, columns, writePassword);
        if (text)
            texts.append({ row, *text });
    }
    if (texts.isEmpty())
        return 0;
    // Their times stay: see changeProtection.
    for (const auto& [row, text] : std::as_const(texts))
        row->setJson(text);
    if (!KivoLib::commit()) {
        // Nothing of it may ride along with a later commit.
        for (const auto& [row, text] : std::as_const(texts))
            hold.drop(row);
        return std::nullopt;
    }
    return int(texts.size());
}

QByteArray UserTemplate::toJSON()
{
    const auto tables = getUserTemplatesAll();
    return KivoLib::toJSON({ tables.cbegin(), tables.cend() });
}
