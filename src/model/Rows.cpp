#include "model/Rows.h"

#include "model/ColumnDisplay.h"
#include "model/FilterExtended.h"
#include "model/RowDecoder.h"
#include "model/RowPredicate.h"
#include "model/RowText.h"
#include "model/RowValueCompare.h"
#include "model/Sort.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "platform/Dispatch.h"
#include "platform/Exception.h"
#include "platform/coredata/FaultReader.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "utilities/crypto/KivoAES256.h"
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
#include <exception>
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

std::optional<QVariantMap> decodeRow(const QVariant& stored, const Rows::Columns& columns,
    const Rows::Password& password, bool onlyColumns);

void tellLocalized(QString* reason, const QString& text)
{
    if (reason)
        *reason = LocalizedStrings::getLocalizedString(text);
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

// Rows filtered or sorted in one range of work on a pool thread.
constexpr qsizetype kRowsPerRange = 512;

// The rows' context: that of the first stored row (the reader takes no row of another).
platform::coredata::ManagedObjectContext* contextOf(const QList<Rows*>& rows)
{
    for (const Rows* row : rows) {
        if (row && row->managedObjectContext())
            return row->managedObjectContext();
    }
    return nullptr;
}

// Calls `work` for every range of the rows with their stored texts, on pool threads as soon
// as a range is ready, while the next ranges are made ready here. The texts of rows in
// memory are taken here (the row objects belong to this thread; their texts are shared,
// not copied); rows not yet read (faults) are read by the pool thread straight from the
// store rather than one batch after another here, and given their values here once their
// range is done, as touching them would have. A range whose faults could not all be read
// so is done here at the end, reading its rows the usual way. Ranges no pool thread has
// taken by the end are done here, so a busy pool slows the work but never stalls it. Each
// range's texts are let go of once its work is done.
void readAndWork(const QList<Rows*>& rows, std::vector<QVariant>& texts,
    const std::function<void(qsizetype begin, qsizetype end)>& work)
{
    const qsizetype count = rows.size();
    const qsizetype ranges = (count + kRowsPerRange - 1) / kRowsPerRange;
    texts.assign(size_t(count), QVariant());
    platform::coredata::ManagedObjectContext* context = contextOf(rows);
    std::unique_ptr<platform::coredata::FaultReader> faults;
    if (context)
        faults = std::make_unique<platform::coredata::FaultReader>(
            *context, QStringLiteral("json"), count);
    // Shared with the pool's blocks, which may start after this returns: they then find
    // their range taken and touch nothing else.
    struct State {
        explicit State(qsizetype ranges)
            : taken(size_t(ranges))
            , unread(size_t(ranges))
        {
        }
        std::vector<std::atomic<bool>> taken;
        std::vector<char> unread; // by range, each written by the range's taker only
        std::mutex mutex;
        std::condition_variable finished;
        qsizetype done = 0;
        std::vector<qsizetype> newlyDone; // ranges done since this thread last looked
        // The first range's failure, thrown here once every range is done; the ranges after
        // it are skipped.
        std::exception_ptr failure;
        std::atomic<bool> failed = false;
    };
    const auto state = std::make_shared<State>(ranges);
    const auto finish = [](State& shared, qsizetype range) {
        std::lock_guard lock(shared.mutex);
        ++shared.done;
        shared.newlyDone.push_back(range);
        shared.finished.notify_all();
    };
    const auto release = [&texts, count](qsizetype begin) {
        for (qsizetype i = begin; i < std::min(count, begin + kRowsPerRange); ++i)
            texts[size_t(i)] = QVariant();
    };
    // Nothing thrown leaves a range unfinished: on a pool thread it would end the process,
    // here it would let go of what the pool's ranges still use.
    const auto run = [&work, &texts, &faults, &release, count, finish](
                         State& shared, qsizetype range) {
        const qsizetype begin = range * kRowsPerRange;
        const qsizetype end = std::min(count, begin + kRowsPerRange);
        try {
            if (shared.failed) {
                // The job fails anyway.
            } else if (faults
                && !faults->read(begin, end,
                    [&texts](qsizetype i, const QVariant& text) { texts[size_t(i)] = text; })) {
                shared.unread[size_t(range)] = 1;
            } else {
                work(begin, end);
            }
        } catch (...) {
            std::lock_guard lock(shared.mutex);
            if (!shared.failure)
                shared.failure = std::current_exception();
            shared.failed = true;
        }
        release(begin);
        finish(shared, range);
    };
    // The ranges not yet taken are done here (or, when reading failed, dropped); those the
    // pool took are waited for, as they use what this call holds.
    const auto takeTheRest = [&](bool doWork) {
        for (qsizetype range = 0; range < ranges; ++range) {
            if (!state->taken[size_t(range)].exchange(true)) {
                if (doWork)
                    run(*state, range);
                else
                    finish(*state, range);
            }
        }
        // While the pool finishes, the rows of the ranges done are given their values.
        std::unique_lock lock(state->mutex);
        for (;;) {
            state->finished.wait(
                lock, [&] { return state->done == ranges || !state->newlyDone.empty(); });
            std::vector<qsizetype> done;
            done.swap(state->newlyDone);
            if (done.empty())
                break;
            lock.unlock();
            for (const qsizetype range : done) {
                if (doWork && faults)
                    faults->fulfill(range * kRowsPerRange, (range + 1) * kRowsPerRange);
            }
            lock.lock();
        }
    };
    try {
        for (qsizetype range = 0; range < ranges; ++range) {
            const qsizetype begin = range * kRowsPerRange;
            for (qsizetype i = begin; i < std::min(count, begin + kRowsPerRange); ++i) {
                if (rows[i] && !(faults && faults->add(*rows[i], i)))
                    texts[size_t(i)] = rows[i]->storedJson();
            }
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
    if (state->failure)
        std::rethrow_exception(state->failure);
    for (qsizetype range = 0; range < ranges; ++range) {
        if (!state->unread[size_t(range)])
            continue;
        const qsizetype begin = range * kRowsPerRange;
        for (qsizetype i = begin; i < std::min(count, begin + kRowsPerRange); ++i)
            texts[size_t(i)] = rows[i] ? rows[i]->storedJson() : QVariant();
        work(begin, std::min(count, begin + kRowsPerRange));
        release(begin);
    }
}

} // namespace

QVariant Rows::storedJson() const
{
    static ModelRegistry::AttributeIndex index;
    const int at = index.of(*this, QStringLiteral("json"));
    return at >= 0 ? storedValue(at) : json();
}

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
    const RowDecoder known(columns, predicate.keys(), password);
    std::vector<QVariant> texts;
    std::vector<char> passed(size_t(rows.size()), 0);
    readAndWork(rows, texts, [&](qsizetype begin, qsizetype end) {
        QVarLengthArray<QVariant, 4> values(known.size());
        for (qsizetype i = begin; i < end; ++i) {
            if (!rows[i])
                continue;
            known.decodeInto(texts[size_t(i)], values.data());
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

void Rows::decodeEach(const QList<Rows*>& rows, const RowDecoder& decoder,
    const std::function<void(qsizetype row, const QVariant* values, bool decoded)>& work)
{
    std::vector<QVariant> texts;
    readAndWork(rows, texts, [&](qsizetype begin, qsizetype end) {
        QVarLengthArray<QVariant, 16> values(decoder.size());
        for (qsizetype i = begin; i < end; ++i) {
            // A text is let go of once decoded: the job holds one row's values at a time.
            const bool decoded = rows[i] && decoder.decodeInto(texts[size_t(i)], values.data());
            if (!rows[i])
                std::fill(values.begin(), values.end(), QVariant());
            texts[size_t(i)] = QVariant();
            work(i, values.data(), decoded);
        }
    });
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
    const RowDecoder known(columns, keyIds, password);
    std::vector<QVariant> texts;
    const size_t keyCount = size_t(keys.size());
    std::vector<RowValueCompare::Key> values(size_t(rows.size()) * keyCount);
    readAndWork(rows, texts, [&](qsizetype begin, qsizetype end) {
        QVarLengthArray<QVariant, 4> decoded(known.size());
        for (qsizetype i = begin; i < end; ++i) {
            if (rows[i])
                known.decodeInto(texts[size_t(i)], decoded.data());
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
    thread_local PendingRows pending; // per thread, as each thread has its own context
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
    // Per thread: an import on a pool thread adds rows beside the main thread.
    thread_local StoredHighest stored;
    return stored;
}

int nextOrder(platform::coredata::ManagedObjectContext* context, const QString& userTemplateId)
{
    // Made only when the store is asked: most adds are answered from what was kept.
    const auto variables = [&] {
        return QVariantMap { { kUserTemplateIdVariable, userTemplateId } };
    };
    const auto lastFirst = [] {
        return QList<platform::coredata::SortDescriptor> { { kOrder, false } };
    };
    // A row changed or deleted but not yet saved may move the answer: then the context
    // merges everything. Otherwise the store finds its highest row through its index
    // and the unsaved new rows are added in.
    for (const auto& list : { context->updatedObjects(), context->deletedObjects() }) {
        for (const auto* object : list) {
            if (qobject_cast<const Rows*>(object)) {
                const auto last
                    = KivoLib::executchFetchRequest(kFetchRows, variables(), lastFirst(), 1);
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
        if (auto request = KivoLib::getFetchRequest(kFetchRows, variables())) {
            request->setPropertiesToFetch({ kOrder });
            request->setSortDescriptors(lastFirst());
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

namespace {

// What adding rows reads of the columns, as this thread last read it for them: rows are
// added one after another with the same columns, and reading a column's id, type and
// precision for every value costs as much as writing it. The columns are the same while
// each holds the same id, type and precision as when they were read (compared as the
// store holds them).
struct ColumnsMemo {
    enum class DateKind : quint8 { None, Day, TimeOfDay, Moment };
    Rows::Columns columns;
    QList<QVariant> held; // each column's id, type and precision as held, in turn
    QStringList ids; // by column; empty for a missing column
    QList<DateKind> dates;
    QList<bool> numbers; // by column: shown to its precision
    std::vector<std::optional<ColumnDisplay>> displays;
};

const ColumnsMemo& columnsMemo(const Rows::Columns& columns)
{
    thread_local ModelRegistry::AttributeIndex idIndex;
    thread_local ModelRegistry::AttributeIndex typeIndex;
    thread_local ModelRegistry::AttributeIndex precisionIndex;
    thread_local ColumnsMemo memo;
    const auto heldOf = [](const TemplateColumn& column, ModelRegistry::AttributeIndex& index,
                            const QString& name) -> QVariant {
        const int at = index.of(column, name);
        return at >= 0 ? column.storedValue(at) : column.value(name);
    };
    static const QString id = QStringLiteral("id");
    static const QString type = QStringLiteral("type");
    static const QString precision = QStringLiteral("precision");
    bool unchanged = memo.columns == columns && !memo.displays.empty();
    for (qsizetype i = 0, at = 0; unchanged && i < columns.size(); ++i) {
        const TemplateColumn* column = columns[i];
        if (!column)
            continue;
        // Only numbers are shown to a precision.
        unchanged = heldOf(*column, idIndex, id) == memo.held[at]
            && heldOf(*column, typeIndex, type) == memo.held[at + 1]
            && (!memo.numbers[i]
                || heldOf(*column, precisionIndex, precision) == memo.held[at + 2]);
        at += 3;
    }
    if (unchanged)
        return memo;
    memo = ColumnsMemo();
    memo.columns = columns;
    for (const TemplateColumn* column : columns) {
        if (!column) {
            memo.ids.append(QString());
            memo.dates.append(ColumnsMemo::DateKind::None);
            memo.numbers.append(false);
            memo.displays.push_back(std::nullopt);
            continue;
        }
        memo.held << heldOf(*column, idIndex, id) << heldOf(*column, typeIndex, type)
                  << heldOf(*column, precisionIndex, precision);
        memo.ids.append(column->id().toString());
        const QString kind = column->typeName();
        ColumnsMemo::DateKind date = ColumnsMemo::DateKind::None;
        if (kind == TypeConstants::Date)
            date = ColumnsMemo::DateKind::Day;
        else if (kind == TypeConstants::Time)
            date = ColumnsMemo::DateKind::TimeOfDay;
        else if (TypeConstants::isDate(kind))
            date = ColumnsMemo::DateKind::Moment;
        memo.dates.append(date);
        memo.numbers.append(TypeConstants::isNumeric(kind) || TypeConstants::isCurrency(kind));
        memo.displays.push_back(ColumnDisplay(*column));
    }
    return memo;
}

// The moment a date column keeps: the day for "Date", the time of day for "Time", the
// moment itself, every fraction kept, for "DateTime".
platform::Date reducedForType(const QVariant& value, ColumnsMemo::DateKind kind)
{
    const platform::Date moment = RowValueCompare::momentOf(value);
    if (!moment.isValid())
        return moment;
    switch (kind) {
    case ColumnsMemo::DateKind::Day:
        return KivoDateUtils::getOnlyDate(moment);
    case ColumnsMemo::DateKind::TimeOfDay:
        return KivoDateUtils::getOnlyTime(moment);
    default:
        return moment;
    }
}

// The stored text's UTF-8 bytes for the values: made as bytes and encrypted from them, not
// turned into a text and back. nullopt, with the reason, when there is none.
std::optional<QByteArray> encodeRow(const QVariantMap& values, const ColumnsMemo& memo,
    const Rows::Password& password, QString* reason)
{
    // Dates are written as Unix seconds in place of the values given, without copying them.
    QVarLengthArray<JSONConverter::Replacement, 8> dates;
    for (qsizetype i = 0; i < memo.dates.size(); ++i) {
        if (memo.dates[i] == ColumnsMemo::DateKind::None)
            continue;
        const auto it = values.constFind(memo.ids[i]);
        if (it == values.cend())
            continue;
        // A column of the same id before this one has had its say on the value.
        JSONConverter::Replacement* earlier = nullptr;
        for (auto& date : dates) {
            if (date.of == &it.value())
                earlier = &date;
        }
        if (earlier && !earlier->by)
            continue;
        const platform::Date date = reducedForType(earlier ? *earlier->by : *it, memo.dates[i]);
        // An empty date stays empty: it is not written as the start of 1970.
        std::optional<QVariant> by;
        if (date.isValid())
            by = KivoDateUtils::ConvertToUnixTime(date);
        if (earlier)
            earlier->by = std::move(by);
        else
            dates.append({ &it.value(), std::move(by) });
    }
    QByteArray json = JSONConverter::ToJSON(values, dates);
    if (json.isNull()) {
        tellLocalized(reason, Rows::RowNotJSON);
        return std::nullopt;
    }
    // What a text of the bytes holds: bytes that are not UTF-8 are written as it reads them.
    if (!json.isValidUtf8())
        json = QString::fromUtf8(json).toUtf8();
    if (password) {
        const auto encrypted = KivoAES256::AES256EncryptWithKey(json, *password);
        if (!encrypted) {
            tellLocalized(reason, Rows::RowEncryptionFailed);
            return std::nullopt;
        }
        // One line of Base64, as the text encryption writes it.
        return encrypted->toBase64();
    }
    return json;
}

} // namespace

std::optional<QString> Rows::encodeData(
    const QVariantMap& values, const Columns& columns, const Password& password, QString* reason)
{
    const auto bytes = encodeRow(values, columnsMemo(columns), password, reason);
    if (!bytes)
        return std::nullopt;
    return QString::fromUtf8(*bytes);
}

void Rows::updateData(const QVariantMap& values, const Columns& columns, const Password& password)
{
    const ColumnsMemo& memo = columnsMemo(columns);
    QString reason;
    const auto text = encodeRow(values, memo, password, &reason);
    if (!text)
        throw platform::Exception(RowDataException, reason);
    for (qsizetype i = 0; i < columns.size(); ++i) {
        TemplateColumn* column = columns[i];
        if (!column)
            continue;
        const QVariant value = values.value(memo.ids[i]);
        const qsizetype longest = ModelRegistry::intValue(column->currentmaxlength());
        // Most values cannot be longer than the longest so far: their text is not made.
        const auto bound = memo.displays[size_t(i)]->lengthBound(value);
        if (bound && *bound <= longest)
            continue;
        const qsizetype length = memo.displays[size_t(i)]->text(value).size();
        if (length > longest)
            column->setCurrentmaxlength(length);
    }
    static ModelRegistry::AttributeIndex index;
    const int at = index.of(*this, QStringLiteral("json"));
    if (at >= 0)
        setStoredText(at, *text);
    else
        setJson(QString::fromUtf8(*text));
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
    const auto plain = RowDecoder::plainText(stored, password);
    if (!plain)
        return std::nullopt;
    const RowText::Adjust toDate = RowDecoder::datesOf(layout.isDate);
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
    return decodeRow(storedJson(), columns, password, false);
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
