#include "model/Rows.h"

#include "model/FilterExtended.h"
#include "model/RowPredicate.h"
#include "model/RowText.h"
#include "model/RowValueCompare.h"
#include "model/Sort.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "platform/Dispatch.h"
#include "platform/Exception.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "utilities/crypto/KivoAES256.h"
#include "utilities/crypto/KivoBase64.h"
#include "utilities/data/JSONConverter.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/store/KivoLibObject.h"
#include "utilities/text/KivoDateUtils.h"
#include "utilities/text/LocalizedStrings.h"

#include <QPointer>
#include <QVarLengthArray>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <numeric>
#include <vector>

const QString Rows::RowDataException = QStringLiteral("RowDataException");
const QString Rows::RowEncryptionFailed = QStringLiteral(
    "The row could not be encrypted with the table's password (a password may have at most "
    "32 bytes), so nothing was stored.");
const QString Rows::RowDecryptionFailed
    = QStringLiteral("A row could not be read with the table's password, so nothing was changed.");
const QString Rows::RowNotJSON
    = QStringLiteral("The row's values could not be written as JSON, so nothing was stored.");

namespace {

const QString kFetchRows = QStringLiteral("FetchRequest_Rows");
const QString kFetchRowsAll = QStringLiteral("FetchRequest_Rows_All");
const QString kUserTemplateIdVariable = QStringLiteral("USERTEMPLATE_ID");
const QString kOrder = QStringLiteral("order");
const QString kUserTemplateId = QStringLiteral("usertemplate_id");
const QString kReminderKeyFormat = QStringLiteral("%1_Reminder");
const QByteArray kByteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");

std::optional<QVariantMap> decodeRow(const QVariant& stored, const Rows::Columns& columns,
    const Rows::Password& password, bool onlyColumns);

void tell(QString* reason, const QString& text)
{
    if (reason)
        *reason = LocalizedStrings::getLocalizedString(text);
}

// The moment a date column keeps: the day for "Date", the time of day for "Time", the
// moment itself, every fraction kept, for "DateTime".
platform::Date reducedForType(const QVariant& value, const QString& type)
{
    const platform::Date moment = RowValueCompare::momentOf(value);
    if (!moment.isValid())
        return moment;
    if (type == TypeConstants::Date)
        return KivoDateUtils::getOnlyDate(moment.toDateTime());
    if (type == TypeConstants::Time)
        return KivoDateUtils::getOnlyTime(moment.toDateTime());
    return moment;
}

struct SortKey {
    QString columnId;
    const TemplateColumn* column = nullptr; // null: not among the columns
    bool ascending = true;
};

QList<SortKey> resolveSorts(const Rows::Sorts& sorts, const Rows::Columns& columns)
{
    QList<SortKey> keys;
    for (const auto& sort : sorts) {
        SortKey key;
        if (sort) {
            key.columnId = sort->Column();
            key.column = TemplateColumn::getColumnForId(sort->Column(), columns);
            key.ascending = sort->Ascending();
        }
        keys.append(key);
    }
    return keys;
}

// The columns (in their order) whose id is one of the ids.
Rows::Columns columnsWithIds(const Rows::Columns& columns, const QStringList& ids)
{
    Rows::Columns used;
    for (TemplateColumn* column : columns) {
        if (column && ids.contains(column->id().toString()))
            used.append(column);
    }
    return used;
}

int compareValues(
    const QVariantMap& a, const QVariantMap& b, const QList<SortKey>& keys, qsizetype position)
{
    for (qsizetype i = position; i < keys.size(); ++i) {
        const SortKey& key = keys[i];
        if (!key.column)
            return 0;
        const int order
            = key.column->Compare(a.value(key.columnId), b.value(key.columnId), key.ascending);
        if (order != 0)
            return order;
    }
    return 0;
}

// The row's plain text, as the bytes or the text it is held in: decrypted with the
// password (nullopt when it does not decrypt to UTF-8), or as stored.
struct PlainText {
    QByteArray utf8;
    QString text;
    bool isUtf8 = false;
};

std::optional<PlainText> plainText(const QVariant& stored, const Rows::Password& password)
{
    PlainText plain;
    if (password) {
        // Decrypted to bytes and read from them: no UTF-16 copy of the row is made.
        const auto data = KivoBase64::dataWithBase64EncodedString(stored.toString());
        auto decrypted = data ? KivoAES256::AES256DecryptWithKey(*data, *password) : std::nullopt;
        if (!decrypted || decrypted->isEmpty() || !decrypted->isValidUtf8())
            return std::nullopt;
        // A decoder of the text leaves out a byte order mark at its start.
        if (decrypted->startsWith(kByteOrderMark)) {
            decrypted->remove(0, kByteOrderMark.size());
            if (decrypted->isEmpty())
                return std::nullopt;
        }
        plain.utf8 = std::move(*decrypted);
        plain.isUtf8 = true;
    } else if (stored.typeId() == QMetaType::QByteArray) {
        plain.utf8 = stored.toByteArray();
        plain.isUtf8 = true;
    } else {
        plain.text = stored.toString();
    }
    return plain;
}

// A date column keeps Unix seconds: they become the date; an empty or unreadable one is
// left out.
RowText::Adjust datesOf(const QList<bool>& isDate)
{
    return [&isDate](qsizetype known, QVariant& value) {
        if (!isDate[known])
            return true;
        if (RowValueCompare::kindOf(value) == RowValueCompare::Kind::Number) {
            const platform::Date date = KivoDateUtils::ConvertFromUnixTime(value.toDouble());
            if (!date.isValid())
                return false;
            value = QVariant::fromValue(date);
            return true;
        }
        return !RowValueCompare::isMissing(value);
    };
}

// Rows filtered or sorted in one range of work on a pool thread.
constexpr qsizetype kRowsPerRange = 512;

// Reads the rows' stored texts here (the row objects belong to this thread; their texts
// are shared, not copied) and calls `work` for every range of them, on pool threads as
// soon as a range is read: the store is read while earlier rows are decoded. Ranges no
// pool thread has taken by the end are done here, so a busy pool slows the work but
// never stalls it.
void readAndWork(const QList<Rows*>& rows, std::vector<QVariant>& texts,
    const std::function<void(qsizetype begin, qsizetype end)>& work)
{
    const qsizetype count = rows.size();
    const qsizetype ranges = (count + kRowsPerRange - 1) / kRowsPerRange;
    texts.assign(size_t(count), QVariant());
    // Shared with the pool's blocks, which may start after this returns: they then find
    // their range taken and touch nothing else.
    struct State {
        explicit State(qsizetype ranges)
            : taken(size_t(ranges))
        {
        }
        std::vector<std::atomic<bool>> taken;
        std::mutex mutex;
        std::condition_variable finished;
        qsizetype done = 0;
    };
    const auto state = std::make_shared<State>(ranges);
    const auto finish = [](State& shared) {
        std::lock_guard lock(shared.mutex);
        ++shared.done;
        shared.finished.notify_all();
    };
    const auto run = [&work, count, finish](State& shared, qsizetype range) {
        const qsizetype begin = range * kRowsPerRange;
        work(begin, std::min(count, begin + kRowsPerRange));
        finish(shared);
    };
    // The ranges not yet taken are done here (or, when reading failed, dropped); those the
    // pool took are waited for, as they use what this call holds.
    const auto takeTheRest = [&](bool doWork) {
        for (qsizetype range = 0; range < ranges; ++range) {
            if (!state->taken[size_t(range)].exchange(true)) {
                if (doWork)
                    run(*state, range);
                else
                    finish(*state);
            }
        }
        std::unique_lock lock(state->mutex);
        state->finished.wait(lock, [&] { return state->done == ranges; });
    };
    try {
        for (qsizetype range = 0; range < ranges; ++range) {
            const qsizetype begin = range * kRowsPerRange;
            for (qsizetype i = begin; i < std::min(count, begin + kRowsPerRange); ++i)
                texts[size_t(i)] = rows[i] ? rows[i]->json() : QVariant();
            platform::dispatch::asyncGlobal(
                [state, range, run] {
                    if (!state->taken[size_t(range)].exchange(true))
                        run(*state, range);
                },
                platform::dispatch::Priority::High);
        }
    } catch (...) {
        takeTheRest(false);
        throw;
    }
    takeTheRest(true);
}

// What filters and sorts read of a few columns, read once: their layout for decoding
// and their defaults (for a row never given values), so that rows are decoded on other
// threads without touching the columns.
struct KnownColumns {
    KnownColumns(const Rows::Columns& columns, const QStringList& ids)
    {
        layout.columns = columnsWithIds(columns, ids);
        layout.keys = ids;
        layout.isDate.fill(false, ids.size());
        defaults.resize(ids.size());
        for (const TemplateColumn* column : std::as_const(layout.columns)) {
            const qsizetype at = ids.indexOf(column->id().toString());
            if (TypeConstants::isDate(column->typeName()))
                layout.isDate[at] = true;
            // As a dictionary of the defaults has it: the last column of an id wins.
            defaults[at] = column->defaultValue();
        }
    }

    // The values of the ids into `values`, as a decode of only these columns gives them
    // (every one invalid for a text that does not decrypt or parse).
    void decode(const QVariant& stored, const Rows::Password& password, QVariant* values) const
    {
        if (!stored.isValid() || stored.isNull()) {
            std::copy(defaults.cbegin(), defaults.cend(), values);
            return;
        }
        const auto plain = plainText(stored, password);
        const RowText::Adjust toDate = datesOf(layout.isDate);
        const bool read = plain
            && (plain->isUtf8 ? RowText::parseKnown(plain->utf8, layout.keys, toDate, values)
                              : RowText::parseKnown(plain->text, layout.keys, toDate, values));
        if (!read)
            std::fill(values, values + layout.keys.size(), QVariant());
    }

    Rows::StoredLayout layout;
    QVariantList defaults; // by id
};

} // namespace

QString Rows::entityName()
{
    return QStringLiteral("Rows");
}

QString Rows::reminderKey(const QString& columnId)
{
    return kReminderKeyFormat.arg(columnId);
}

QList<Rows*> Rows::getRowsAll()
{
    return ModelRegistry::fetch<Rows>(kFetchRowsAll);
}

QList<Rows*> Rows::getRows(const QString& userTemplateId, const Columns& columns,
    const Filters& filters, const Sorts& sorts, const Password& password)
{
    QList<Rows*> rows
        = ModelRegistry::fetch<Rows>(kFetchRows, { { kUserTemplateIdVariable, userTemplateId } });
    if (!filters.isEmpty())
        rows = applyFilter(rows, columns, filters, password);
    if (!sorts.isEmpty())
        rows = applySort(rows, columns, sorts, password);
    return rows;
}

bool Rows::doesRowExists(const QString& userTemplateId)
{
    return KivoLib::countFetchRequest(kFetchRows, { { kUserTemplateIdVariable, userTemplateId } })
        > 0;
}

QList<Rows*> Rows::getRowFaults(const QString& userTemplateId)
{
    ModelRegistry::registerClasses();
    auto request
        = KivoLib::getFetchRequest(kFetchRows, { { kUserTemplateIdVariable, userTemplateId } });
    if (!request)
        return {};
    request->setIncludesPropertyValues(false);
    return ModelRegistry::cast<Rows>(
        KivoLib::executeWithErrorHandling(KivoLib::currentContext(), *request));
}

QList<Rows*> Rows::applyFilter(const QList<Rows*>& rows, const Columns& columns,
    const Filters& filters, const Password& password)
{
    const RowPredicate predicate(columns, filters);
    if (predicate.isEmpty())
        return rows;
    // Only the filtered columns are read (and their values typed).
    const KnownColumns known(columns, predicate.keys());
    std::vector<QVariant> texts;
    std::vector<char> passed(size_t(rows.size()), 0);
    readAndWork(rows, texts, [&](qsizetype begin, qsizetype end) {
        QVarLengthArray<QVariant, 4> values(known.layout.keys.size());
        for (qsizetype i = begin; i < end; ++i) {
            if (!rows[i])
                continue;
            known.decode(texts[size_t(i)], password, values.data());
            passed[size_t(i)] = predicate.evaluate(values.data());
        }
    });
    QList<Rows*> kept;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (passed[size_t(i)])
            kept.append(rows[i]);
    }
    return kept;
}

QList<Rows*> Rows::applySort(
    const QList<Rows*>& rows, const Columns& columns, const Sorts& sorts, const Password& password)
{
    QList<SortKey> keys = resolveSorts(sorts, columns);
    // Keys after the first whose column is gone are never consulted.
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (!keys[i].column) {
            keys.resize(i);
            break;
        }
    }
    if (keys.isEmpty())
        return rows;
    // Decoding (and decrypting) is the cost: each row once, on the pool's threads too,
    // reading only the sort columns; each value is also read into its comparable form
    // once, not at every comparison.
    QStringList keyIds;
    for (const SortKey& key : std::as_const(keys)) {
        if (!keyIds.contains(key.columnId))
            keyIds << key.columnId;
    }
    QVarLengthArray<qsizetype, 4> slotOfKey;
    for (const SortKey& key : std::as_const(keys))
        slotOfKey.append(keyIds.indexOf(key.columnId));
    const KnownColumns known(columns, keyIds);
    std::vector<QVariant> texts;
    const size_t keyCount = size_t(keys.size());
    std::vector<RowValueCompare::Key> values(size_t(rows.size()) * keyCount);
    readAndWork(rows, texts, [&](qsizetype begin, qsizetype end) {
        QVarLengthArray<QVariant, 4> decoded(known.layout.keys.size());
        for (qsizetype i = begin; i < end; ++i) {
            if (rows[i])
                known.decode(texts[size_t(i)], password, decoded.data());
            else
                std::fill(decoded.begin(), decoded.end(), QVariant());
            for (size_t k = 0; k < keyCount; ++k)
                values[size_t(i) * keyCount + k]
                    = RowValueCompare::keyOf(decoded[slotOfKey[qsizetype(k)]]);
        }
    });
    // As TemplateColumn::Compare orders two values in a direction.
    std::vector<quint32> order(size_t(rows.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](quint32 a, quint32 b) {
        const RowValueCompare::Key* x = &values[a * keyCount];
        const RowValueCompare::Key* y = &values[b * keyCount];
        for (size_t k = 0; k < keyCount; ++k) {
            const int compared = RowValueCompare::compare(x[k], y[k]);
            if (compared != 0)
                return (keys[qsizetype(k)].ascending ? compared : -compared) < 0;
        }
        return false;
    });
    QList<Rows*> sorted;
    sorted.reserve(rows.size());
    for (const quint32 i : order)
        sorted.append(rows[i]);
    return sorted;
}

int Rows::sortFunction(Rows* a, Rows* b, const Sorts& sorts, unsigned position,
    const Columns& columns, const Password& password)
{
    if (!a || !b || qsizetype(position) >= sorts.size())
        return 0;
    return compareValues(a->getData(columns, password), b->getData(columns, password),
        resolveSorts(sorts, columns), qsizetype(position));
}

namespace {

// What the last add saw of the rows inserted but not yet saved, so that adding many rows
// before one save (an import) does not look at every pending row again each time.
struct PendingRows {
    const platform::coredata::ManagedObjectContext* context = nullptr;
    QString userTemplateId;
    QPointer<Rows> last; // the row that add made last
    qsizetype inserted = 0; // how many objects were inserted then
    int highest = -1; // highest order the table had then, -1 for none
};

PendingRows& pendingRows()
{
    static PendingRows pending;
    return pending;
}

// The highest order among the table's inserted, unsaved rows; -1 for none.
int highestPendingOrder(
    const platform::coredata::ManagedObjectContext* context, const QString& userTemplateId)
{
    PendingRows& memo = pendingRows();
    const auto inserted = context->insertedObjects();
    // The same pending rows as last time plus the row made then: only that one is new.
    if (memo.context == context && memo.userTemplateId == userTemplateId && memo.last
        && inserted.size() == memo.inserted + 1 && inserted.last() == memo.last.data())
        return std::max(memo.highest, ModelRegistry::intValue(memo.last->order()));
    int highest = -1;
    for (const auto* object : inserted) {
        const auto* row = qobject_cast<const Rows*>(object);
        if (row && row->usertemplate_id().toString() == userTemplateId)
            highest = std::max(highest, ModelRegistry::intValue(row->order()));
    }
    return highest;
}

void rememberPending(const platform::coredata::ManagedObjectContext* context,
    const QString& userTemplateId, Rows* row, int highest)
{
    PendingRows& memo = pendingRows();
    memo.context = context;
    memo.userTemplateId = userTemplateId;
    memo.last = row;
    memo.inserted = context->insertedObjects().size();
    memo.highest = highest;
}

// The highest number the store held for a table when last asked, and what the stores had
// seen written then.
struct StoredHighest {
    std::optional<platform::coredata::PersistentStoreCoordinator::ChangeCount> changes;
    QString userTemplateId;
    int highest = -1; // -1 for none
};

StoredHighest& storedHighest()
{
    static StoredHighest stored;
    return stored;
}

int nextOrder(platform::coredata::ManagedObjectContext* context, const QString& userTemplateId)
{
    const QVariantMap variables { { kUserTemplateIdVariable, userTemplateId } };
    const QList<platform::coredata::SortDescriptor> lastFirst { { kOrder, false } };
    // A row changed or deleted but not yet saved may move the answer: then the context
    // merges everything. Otherwise the store finds its highest row through its index
    // and the unsaved new rows are added in.
    for (const auto& list : { context->updatedObjects(), context->deletedObjects() }) {
        for (const auto* object : list) {
            if (qobject_cast<const Rows*>(object)) {
                const auto last
                    = KivoLib::executchFetchRequest(kFetchRows, variables, lastFirst, 1);
                return last.size() == 1 ? ModelRegistry::intValue(last.first()->value(kOrder)) + 1
                                        : 0;
            }
        }
    }
    // The store's answer holds until something is stored: rows added by the thousand
    // before one save ask only once.
    StoredHighest& stored = storedHighest();
    const auto& coordinator = context->persistentStoreCoordinator();
    const auto changes = coordinator
        ? std::optional<platform::coredata::PersistentStoreCoordinator::ChangeCount>(
            coordinator->changeCount())
        : std::nullopt;
    if (!changes || stored.changes != changes || stored.userTemplateId != userTemplateId) {
        // Only the number is read: the store answers from its index alone, without making
        // the row an object or ordering equal numbers among themselves.
        stored = {};
        if (auto request = KivoLib::getFetchRequest(kFetchRows, variables)) {
            request->setPropertiesToFetch({ kOrder });
            request->setSortDescriptors(lastFirst);
            request->setFetchLimit(1);
            bool failed = false;
            const auto last
                = KivoLib::executeDictionaryWithErrorHandling(context, *request, &failed);
            if (last.size() == 1)
                stored.highest = ModelRegistry::intValue(last.first().value(kOrder));
            if (!failed) {
                stored.changes = changes;
                stored.userTemplateId = userTemplateId;
            }
        }
    }
    return std::max(stored.highest, highestPendingOrder(context, userTemplateId)) + 1;
}

} // namespace

Rows* Rows::add(const QString& userTemplateId)
{
    ModelRegistry::registerClasses();
    platform::coredata::ManagedObjectContext* context = KivoLib::currentContext();
    if (!context)
        return nullptr;
    const int order = nextOrder(context, userTemplateId);
    auto* row = qobject_cast<Rows*>(KivoLib::addEntity(entityName()));
    if (!row)
        return nullptr;
    row->setId(ModelRegistry::newId());
    row->setUsertemplate_id(userTemplateId);
    row->setCtimestamp(ModelRegistry::now());
    row->setOrder(order);
    rememberPending(context, userTemplateId, row, order - 1);
    return row;
}

std::optional<QString> Rows::encodeData(
    const QVariantMap& values, const Columns& columns, const Password& password, QString* reason)
{
    QVariantMap stored = values;
    for (const TemplateColumn* column : columns) {
        if (!column || !TypeConstants::isDate(column->typeName()))
            continue;
        const QString key = column->id().toString();
        const auto it = stored.find(key);
        if (it == stored.end())
            continue;
        const platform::Date date = reducedForType(*it, column->typeName());
        // An empty date stays empty: it is not written as the start of 1970.
        if (!date.isValid()) {
            stored.erase(it);
            continue;
        }
        *it = KivoDateUtils::ConvertToUnixTime(date);
    }
    const QByteArray json = JSONConverter::ToJSON(stored);
    if (json.isNull()) {
        tell(reason, RowNotJSON);
        return std::nullopt;
    }
    QString text = QString::fromUtf8(json);
    if (password) {
        const auto encrypted = KivoAES256::AES256EncryptWithKey(text, *password);
        if (!encrypted) {
            tell(reason, RowEncryptionFailed);
            return std::nullopt;
        }
        text = *encrypted;
    }
    return text;
}

void Rows::updateData(const QVariantMap& values, const Columns& columns, const Password& password)
{
    QString reason;
    const auto text = encodeData(values, columns, password, &reason);
    if (!text)
        throw platform::Exception(RowDataException, reason);
    for (TemplateColumn* column : columns) {
        if (!column)
            continue;
        const QString display = column->getStringValue(values.value(column->id().toString()));
        if (display.size() > ModelRegistry::intValue(column->currentmaxlength()))
            column->setCurrentmaxlength(display.size());
    }
    setJson(*text);
}

namespace {

// The row's values (see decodeData); with `onlyColumns`, only those of the columns, for
// filters and sorts, which read nothing else.
std::optional<QVariantMap> decodeRow(const QVariant& stored, const Rows::StoredLayout& layout,
    const Rows::Password& password, bool onlyColumns)
{
    if (!stored.isValid() || stored.isNull()) {
        QVariantMap defaults;
        for (const TemplateColumn* column : layout.columns) {
            if (column)
                defaults.insert(column->id().toString(), column->defaultValue());
        }
        return defaults;
    }
    const auto plain = plainText(stored, password);
    if (!plain)
        return std::nullopt;
    const RowText::Adjust toDate = datesOf(layout.isDate);
    return plain->isUtf8 ? RowText::parseObject(plain->utf8, layout.keys, toDate, onlyColumns)
                         : RowText::parseObject(plain->text, layout.keys, toDate, onlyColumns);
}

// The layout of the columns this thread last decoded with: rows are decoded one after
// another with the same columns. A column's id or type changes only by being given a new
// text; the texts kept here stay alive, so the same text at the same place is unchanged.
const Rows::StoredLayout& layoutOf(const Rows::Columns& columns)
{
    struct Last {
        Rows::Columns columns;
        QStringList stamps; // each column's id and type
        Rows::StoredLayout layout;
    };
    thread_local Last last;
    const auto unchanged = [&] {
        if (last.columns != columns)
            return false;
        qsizetype at = 0;
        for (const TemplateColumn* column : columns) {
            if (!column)
                continue;
            const QString id = column->id().toString();
            const QString type = column->typeName();
            const QString& keptId = last.stamps[at++];
            const QString& keptType = last.stamps[at++];
            if (id.constData() != keptId.constData() || id.size() != keptId.size()
                || type.constData() != keptType.constData() || type.size() != keptType.size())
                return false;
        }
        return true;
    };
    if (last.stamps.isEmpty() || !unchanged()) {
        last.columns = columns;
        last.stamps.clear();
        for (const TemplateColumn* column : columns) {
            if (column)
                last.stamps << column->id().toString() << column->typeName();
        }
        last.layout = Rows::storedLayout(columns);
    }
    return last.layout;
}

std::optional<QVariantMap> decodeRow(const QVariant& stored, const Rows::Columns& columns,
    const Rows::Password& password, bool onlyColumns)
{
    return decodeRow(stored, layoutOf(columns), password, onlyColumns);
}

} // namespace

std::optional<QVariantMap> Rows::decodeData(const Columns& columns, const Password& password) const
{
    return decodeRow(json(), columns, password, false);
}

std::optional<QVariantMap> Rows::decodeStoredData(
    const QVariant& json, const Columns& columns, const Password& password, bool onlyColumns)
{
    return decodeRow(json, columns, password, onlyColumns);
}

Rows::StoredLayout Rows::storedLayout(const Columns& columns)
{
    StoredLayout layout;
    layout.columns = columns;
    layout.keys.reserve(columns.size());
    for (const TemplateColumn* column : columns) {
        if (!column)
            continue;
        const QString id = column->id().toString();
        layout.keys << id;
        layout.isDate.append(false);
        // The reader names a member by the first place of its name.
        if (TypeConstants::isDate(column->typeName()))
            layout.isDate[layout.keys.indexOf(id)] = true;
    }
    return layout;
}

std::optional<QVariantMap> Rows::decodeStoredData(
    const QVariant& json, const StoredLayout& layout, const Password& password, bool onlyColumns)
{
    return decodeRow(json, layout, password, onlyColumns);
}

QVariantMap Rows::getData(const Columns& columns, const Password& password) const
{
    return decodeData(columns, password).value_or(QVariantMap());
}

bool Rows::saveRows()
{
    if (!KivoLib::isDataOK(this))
        return false;
    setMtimestamp(ModelRegistry::now());
    return KivoLib::Save(this);
}

bool Rows::deleteRows(Rows* row)
{
    if (!row)
        return false;
    return KivoLib::Delete(row);
}

QByteArray Rows::toJSON()
{
    const auto rows = getRowsAll();
    return KivoLib::toJSON({ rows.cbegin(), rows.cend() });
}
