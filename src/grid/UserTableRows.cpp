#include "grid/UserTableRows.h"

#include "grid/RowObject.h"
#include "model/ColumnDisplay.h"
#include "model/DetachedColumns.h"
#include "model/RowDecoder.h"
#include "model/Sort.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "platform/Dispatch.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/ManagedObjectModel.h"
#include "platform/coredata/Predicate.h"
#include "platform/coredata/StoredTextScan.h"
#include "utilities/store/KivoLibContext.h"

#include <QScopeGuard>
#include <QThread>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace {

// Rows decoded by one worker at a time: small enough to share the work out evenly.
constexpr qsizetype DecodeRange = 512;
// Rows one worker looks at a time when a search tests the kept texts.
constexpr qsizetype MatchRange = 4096;
// Rows below which a sort is not worth sharing out.
constexpr qsizetype SortPart = 4096;
constexpr QChar Separator = QChar(0);

bool isSearchable(const TemplateColumn* column)
{
    return column && !TypeConstants::isProtected(column->typeName());
}

// What a search text reads of the searchable columns: their ids and how they show their
// values, read once for many rows.
struct SearchColumns {
    explicit SearchColumns(const Rows::Columns& columns)
    {
        for (const TemplateColumn* column : columns) {
            ids.append(column->id().toString());
            displays.emplace_back(*column);
        }
    }
    QStringList ids;
    std::vector<ColumnDisplay> displays;
};

// The search text of a row's values (one per searchable column, in their order): each
// column's folded display text, joined. Made once for every row of a table: the texts are
// measured first so the joined one is made in one piece.
std::optional<QString> joinedText(const QVariant* values, const SearchColumns& columns)
{
    const qsizetype count = columns.ids.size();
    QVarLengthArray<QString, 16> texts(count);
    // Plain ASCII folds to its lower case, lowered where it lands; other texts fold here.
    QVarLengthArray<bool, 16> ascii(count);
    qsizetype size = count > 0 ? count - 1 : 0;
    for (qsizetype i = 0; i < count; ++i) {
        texts[i] = columns.displays[size_t(i)].text(values[i]);
        ascii[i] = std::all_of(
            texts[i].cbegin(), texts[i].cend(), [](QChar c) { return c.unicode() < 0x80; });
        if (!ascii[i])
            texts[i] = RowValueCompare::fold(texts[i]);
        if (texts[i].contains(Separator))
            return std::nullopt;
        size += texts[i].size();
    }
    QString joined(size, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(joined.data());
    for (qsizetype i = 0; i < count; ++i) {
        if (i > 0)
            *out++ = Separator.unicode();
        const auto* in = reinterpret_cast<const char16_t*>(texts[i].constData());
        const auto* end = in + texts[i].size();
        if (ascii[i]) {
            for (; in != end; ++in)
                *out++ = *in >= u'A' && *in <= u'Z' ? char16_t(*in + (u'a' - u'A')) : *in;
        } else {
            out = std::copy(in, end, out);
        }
    }
    return joined;
}

std::optional<QString> joinedText(const QVariantMap& values, const SearchColumns& columns)
{
    QVarLengthArray<QVariant, 16> byColumn;
    for (const QString& id : columns.ids)
        byColumn.append(values.value(id));
    return joinedText(byColumn.data(), columns);
}

// The rows of whose keys stored texts are read off the main thread: straight from their
// store, through the coordinator (which may be used on any thread).
struct StoredSource {
    std::weak_ptr<platform::coredata::PersistentStoreCoordinator> coordinator;
    const platform::coredata::EntityDescription* entity = nullptr;
    QString store;

    // The stored texts of the rows of those keys still stored, in key order; none when
    // the store is gone.
    std::vector<std::pair<qint64, QVariant>> read(const QList<qint64>& keys) const
    {
        const auto reader = coordinator.lock();
        if (!reader || !entity || keys.isEmpty())
            return {};
        std::vector<std::pair<qint64, QVariant>> texts;
        const auto read = reader->storedValues(*entity, store, keys, { QStringLiteral("json") });
        if (!read)
            return texts;
        texts.reserve(read->size());
        for (const auto& [key, values] : *read)
            texts.emplace_back(key, values.value(0));
        return texts;
    }
};

// The store of the current context, read for the rows of the store with the identifier.
StoredSource currentSource(const QString& store)
{
    StoredSource source;
    platform::coredata::ManagedObjectContext* context = KivoLib::currentContext();
    if (const auto& coordinator = context ? context->persistentStoreCoordinator() : nullptr) {
        source.coordinator = coordinator;
        source.entity = coordinator->managedObjectModel()->entity(Rows::entityName());
        source.store = store;
    }
    return source;
}

// Rows one pool task decodes ahead.
constexpr size_t AheadRowsPerTask = 12;

// This thread's copy of the columns, made at its first task for them and kept while they
// are the ones asked for: a task decodes a few rows, and a copy of the columns for each
// would cost about as much.
const DetachedColumns& threadCopy(const std::shared_ptr<const DetachedColumns>& columns)
{
    thread_local std::weak_ptr<const DetachedColumns> source;
    thread_local std::unique_ptr<DetachedColumns> copy;
    if (!copy || source.lock() != columns) {
        copy = columns->copy();
        source = columns;
    }
    return *copy;
}

bool segmentsMatch(const QString& joined, const QString& folded, const QList<int>& positions)
{
    int position = 0;
    for (const QStringView segment : QStringView(joined).tokenize(Separator)) {
        if (positions.contains(position) && segment.contains(folded))
            return true;
        ++position;
    }
    return false;
}

} // namespace

// A row decoded ahead: whoever takes it first (a pool thread, or the main thread when
// it needs the row before the pool came to it) decodes it.
struct UserTableRows::AheadRow {
    enum State { Waiting, Taken, Done };

    // The stored row it was read for: an object made later where the row's object was (its
    // context gone) is another row unless it has the same identity. A weak pointer would
    // tie a block of its own to every row object scrolled past, for as long as it lives.
    platform::coredata::ObjectID id; // main thread only
    QVariant text;
    std::optional<QVariantMap> values;
    std::atomic<int> state { Waiting };
    std::mutex mutex;
    std::condition_variable done;

    // Whether this caller took the row (then it must decode it).
    bool take()
    {
        int waiting = Waiting;
        return state.compare_exchange_strong(waiting, Taken);
    }
    void decode(const Rows::Columns& columns, const Rows::Password& password)
    {
        values = Rows::decodeStoredData(text, columns, password, false);
        text = QVariant();
        {
            std::lock_guard lock(mutex);
            state = Done;
        }
        done.notify_all();
    }
    void waitUntilDone()
    {
        std::unique_lock lock(mutex);
        done.wait(lock, [this] { return state == Done; });
    }
};

UserTableRows::UserTableRows()
    : m_cache(CacheSize)
{
}

UserTableRows::~UserTableRows()
{
    cancelSearchFill();
    dropAhead();
}

UserTableRows::UserTableRows(QString userTemplateId, Rows::Columns columns, Rows::Password password)
    : m_cache(CacheSize)
{
    setTable(std::move(userTemplateId), std::move(columns), std::move(password));
}

void UserTableRows::setTable(QString userTemplateId, Rows::Columns columns, Rows::Password password)
{
    if (userTemplateId != m_userTemplateId || columns != m_columns || password != m_password)
        forgetDecoded();
    m_userTemplateId = std::move(userTemplateId);
    m_columns = std::move(columns);
    m_password = std::move(password);
    m_searchable.clear();
    for (TemplateColumn* column : std::as_const(m_columns)) {
        if (isSearchable(column))
            m_searchable.append(column);
    }
    m_cache.clear();
    dropAhead();
    m_aheadColumns.reset();
    m_fetched = {};
}

QVariantList UserTableRows::fetch()
{
    m_cache.clear();
    dropAhead();
    QVariantList rows;
    const QList<Rows*> faults = Rows::getRowFaults(m_userTemplateId);
    rows.reserve(faults.size());
    for (Rows* row : faults)
        rows.append(RowObject::fromObject(row));
    m_fetched = rows;
    return rows;
}

QVariantMap UserTableRows::values(Rows* row)
{
    return readValues(row).value_or(QVariantMap());
}

std::optional<QVariantMap> UserTableRows::readValues(Rows* row)
{
    if (!row)
        return std::nullopt;
    if (const std::optional<QVariantMap>* kept = m_cache.object(row))
        return *kept;
    if (std::optional<std::optional<QVariantMap>> ahead = takeAhead(row)) {
        m_cache.insert(row, new std::optional<QVariantMap>(*ahead));
        return std::move(*ahead);
    }
    std::optional<QVariantMap> decoded = row->decodeData(m_columns, m_password);
    m_cache.insert(row, new std::optional<QVariantMap>(decoded));
    // The decoded values are kept here; the store object need not hold its text as well.
    if (platform::coredata::ManagedObjectContext* context = row->managedObjectContext())
        context->refreshObject(row, true);
    return decoded;
}

void UserTableRows::prefetch(const QList<Rows*>& rows)
{
    // Letting a decoded row go costs about as much as taking one made ahead: done now, not
    // while the next screen is drawn.
    m_cache.setMaxCost(CacheSize - FrameRoom);
    m_cache.setMaxCost(CacheSize);
    const StoreChanges changes = storeChanges();
    if (!changes || m_columns.isEmpty())
        return;
    if (changes != m_aheadChanges || currentCoordinator() != m_aheadCoordinator)
        dropAhead();
    QHash<const Rows*, std::shared_ptr<AheadRow>> next;
    std::vector<std::shared_ptr<AheadRow>> work;
    for (Rows* row : rows) {
        if (next.size() >= PrefetchLimit)
            break;
        // A row changed and not saved is read as it is when it is asked for.
        if (!row || row->hasChanges() || m_cache.contains(row) || next.contains(row))
            continue;
        if (const auto made = m_ahead.take(row)) {
            next.insert(row, made);
            continue;
        }
        auto entry = std::make_shared<AheadRow>();
        entry->id = row->objectID();
        entry->text = row->storedJson();
        // The text goes to the pool; the row need not hold it as well (nor keep it when
        // its neighbours' first touch read it).
        if (platform::coredata::ManagedObjectContext* context = row->managedObjectContext())
            context->refreshObject(row, true);
        next.insert(row, entry);
        work.push_back(std::move(entry));
    }
    // What was made ahead and is not asked for again is dropped.
    dropAhead();
    m_ahead = std::move(next);
    m_aheadChanges = changes;
    m_aheadCoordinator = currentCoordinator();
    if (work.empty())
        return;
    if (!m_aheadColumns)
        m_aheadColumns = std::make_shared<const DetachedColumns>(m_columns);
    // A few rows to a task: the pool's threads decode the next screen side by side, most
    // of it before it is drawn.
    for (size_t from = 0; from < work.size(); from += AheadRowsPerTask) {
        std::vector<std::shared_ptr<AheadRow>> part(work.begin() + qsizetype(from),
            work.begin() + qsizetype(std::min(work.size(), from + AheadRowsPerTask)));
        platform::dispatch::asyncGlobal(
            [columns = m_aheadColumns, password = m_password, part = std::move(part)] {
                const DetachedColumns& own = threadCopy(columns);
                for (const auto& entry : part) {
                    if (entry->take())
                        entry->decode(own.columns(), password);
                }
            },
            platform::dispatch::Priority::High);
    }
}

std::optional<std::optional<QVariantMap>> UserTableRows::takeAhead(Rows* row)
{
    const auto found = m_ahead.find(row);
    if (found == m_ahead.end())
        return std::nullopt;
    const std::shared_ptr<AheadRow> entry = found.value();
    m_ahead.erase(found);
    // Made from what the store held then: a write since, or a change not saved, leaves it.
    if (entry->id != row->objectID() || row->hasChanges() || storeChanges() != m_aheadChanges
        || currentCoordinator() != m_aheadCoordinator) {
        entry->take();
        return std::nullopt;
    }
    // Not begun by the pool: decoded here, without waiting; begun: nearly done.
    if (entry->take())
        entry->decode(m_columns, m_password);
    else
        entry->waitUntilDone();
    return std::optional<std::optional<QVariantMap>>(std::in_place, std::move(entry->values));
}

void UserTableRows::dropAhead()
{
    // Rows no pool thread has begun are left undone.
    for (const auto& entry : std::as_const(m_ahead))
        entry->take();
    m_ahead.clear();
}

void UserTableRows::dropAhead(const Rows* row)
{
    if (const auto entry = m_ahead.take(row))
        entry->take();
}

QVariantMap UserTableRows::decode(Rows* row) const
{
    return row ? row->getData(m_columns, m_password) : QVariantMap();
}

void UserTableRows::invalidate(const Rows* row)
{
    cancelSearchFill();
    m_cache.remove(row);
    dropAhead(row);
    forgetRow(row);
}

void UserTableRows::clear()
{
    m_cache.clear();
    dropAhead();
}

void UserTableRows::forgetDecoded()
{
    cancelSearchFill();
    ++m_generation;
    m_preparedRows = {};
    m_cache.clear();
    dropAhead();
    m_searchTexts = {};
    m_unsplittable = {};
    m_sortKeys = {};
    m_keptCoordinator = nullptr;
    m_keptChanges.reset();
    m_keptStore.clear();
}

UserTableRows::StoreChanges UserTableRows::storeChanges() const
{
    platform::coredata::ManagedObjectContext* context = KivoLib::currentContext();
    const auto& coordinator = context ? context->persistentStoreCoordinator() : nullptr;
    return coordinator ? StoreChanges(coordinator->changeCount()) : std::nullopt;
}

const platform::coredata::PersistentStoreCoordinator* UserTableRows::currentCoordinator()
{
    platform::coredata::ManagedObjectContext* context = KivoLib::currentContext();
    return context ? context->persistentStoreCoordinator().get() : nullptr;
}

bool UserTableRows::keptIsCurrent() const
{
    const StoreChanges changes = storeChanges();
    return currentCoordinator() == m_keptCoordinator && changes && changes == m_keptChanges;
}

void UserTableRows::dropKeptWhenStale()
{
    if (keptIsCurrent())
        return;
    forgetDecoded();
    m_keptCoordinator = currentCoordinator();
    m_keptChanges = storeChanges();
}

void UserTableRows::wrote(const Rows* row, const StoreChanges& before)
{
    // A making under way may have read the row before it changed.
    cancelSearchFill();
    dropAhead(row);
    forgetRow(row);
    if (before && before == m_keptChanges)
        m_keptChanges = storeChanges();
}

void UserTableRows::forgetRow(const Rows* row)
{
    ++m_generation;
    if (const auto key = keyOf(row)) {
        m_searchTexts.remove(*key);
        m_unsplittable.remove(*key);
        for (auto& keys : m_sortKeys)
            keys.remove(*key);
    }
}

std::optional<qint64> UserTableRows::keyOf(const Rows* row) const
{
    if (!row || row->hasChanges() || !m_keptChanges)
        return std::nullopt;
    const platform::coredata::ObjectID id = row->objectID();
    if (id.isTemporary() || (!m_keptStore.isEmpty() && id.storeIdentifier != m_keptStore))
        return std::nullopt;
    return id.key;
}

template<class Known>
QList<qint64> UserTableRows::unknownKeys(const QList<Rows*>& rows, Known known) const
{
    QList<qint64> keys;
    for (const Rows* row : rows) {
        const auto key = keyOf(row);
        if (key && !known(*key))
            keys.append(*key);
    }
    return keys;
}

// A background making of search texts, done on pool threads from the store file itself:
// one cuts the keys of the table's stored rows into ranges (those not yet known, when some
// are), and each range is read and decoded by whoever takes it first, on a connection of
// its own, so the ranges are read side by side. The main thread only collects what is
// done, and reads and decodes what is still waiting when a search cannot wait.
struct UserTableRows::SearchFill {
    enum State { Waiting, Taken, Done };
    struct Range {
        // The keys to read, in order; none: every row of a key from first to last.
        std::vector<qint64> keys;
        qint64 first = 0;
        qint64 last = -1;
        std::atomic<int> state { Waiting };
    };

    std::shared_ptr<const DetachedColumns> columns;
    // Made of the searchable columns; shared by the pool's threads.
    std::shared_ptr<const RowDecoder> decoder;
    // The table's stored rows; none when the store file cannot be read beside the store.
    std::shared_ptr<const platform::coredata::StoredTextScan> scan;
    // What was known when the making began: copies, read by the planning thread alone.
    QHash<qint64, QString> known;
    QSet<qint64> knownUnsplittable;
    // The least and the greatest key of the table's stored rows, when the rows made of are
    // all of them, read at once; none otherwise.
    std::optional<std::pair<qint64, qint64>> span;
    const platform::coredata::ManagedObjectContext* context = nullptr;
    QVariantList rows;
    quint64 generation = 0;
    std::atomic<int> planState { Waiting };
    // Pool threads started taking the ranges.
    std::atomic<int> takers { 0 };
    std::atomic<bool> cancelled { false };
    // A range could not be read whole: the rows left are made when a search needs them.
    std::atomic<bool> incomplete { false };
    std::mutex mutex;
    std::condition_variable finished;
    // Guarded by the mutex.
    bool planned = false;
    std::vector<std::shared_ptr<Range>> ranges;
    size_t done = 0;
    // The texts of the ranges done, gathered on the pool's threads so the main thread
    // takes them over whole: search text by key, and the keys of texts holding the
    // separator.
    QHash<qint64, QString> texts;
    QSet<qint64> unsplittable;

    bool isOver() const { return planned && done == ranges.size(); }

    // Cuts the table's rows into ranges, each handed to the pool.
    static void plan(const std::shared_ptr<SearchFill>& fill, platform::dispatch::Priority priority)
    {
        int waiting = Waiting;
        if (!fill->planState.compare_exchange_strong(waiting, Taken))
            return;
        std::vector<std::shared_ptr<Range>> made;
        if (!fill->cancelled)
            made = fill->cut();
        // Let go of the copies: the main thread then adds to its own without copying them.
        fill->known = {};
        fill->knownUnsplittable = {};
        {
            std::lock_guard lock(fill->mutex);
            fill->texts.reserve(
                fill->span ? fill->rows.size() : qsizetype(made.size()) * FillReadRange);
            fill->ranges = made;
            fill->planned = true;
            fill->planState = Done;
        }
        fill->finished.notify_all();
        // A few pool threads take the ranges in turn: the rest of the machine stays free
        // for the screen being drawn meanwhile. A search waiting for the texts has the
        // whole machine.
        const int ideal = QThread::idealThreadCount();
        addTakers(
            fill, priority == platform::dispatch::Priority::High ? ideal - 1 : ideal / 2, priority);
    }

    // Pool threads taking the ranges in turn, so that `count` take them in all.
    static void addTakers(
        const std::shared_ptr<SearchFill>& fill, int count, platform::dispatch::Priority priority)
    {
        std::vector<std::shared_ptr<Range>> ranges;
        {
            std::lock_guard lock(fill->mutex);
            ranges = fill->ranges;
        }
        const int wanted = std::clamp(count, 1, std::max(1, int(ranges.size())));
        int started = fill->takers.load();
        while (started < wanted && !fill->takers.compare_exchange_weak(started, wanted)) { }
        for (int taker = started; taker < wanted; ++taker) {
            platform::dispatch::asyncGlobal(
                [fill, ranges] {
                    for (const auto& range : ranges)
                        take(fill, *range);
                },
                priority);
        }
    }

    // The table's stored rows not yet known, a range's worth at a time: cut by key when
    // none is known and the table's rows lie together (no key need be read for that), else
    // from the keys read.
    std::vector<std::shared_ptr<Range>> cut()
    {
        std::vector<std::shared_ptr<Range>> made;
        if (!scan) {
            incomplete = true;
            return made;
        }
        if (span && known.isEmpty() && knownUnsplittable.isEmpty()) {
            const auto [first, last] = *span;
            for (qint64 from = first; from <= last; from += FillReadRange) {
                auto range = std::make_shared<Range>();
                range->first = from;
                range->last = last - from < FillReadRange ? last : from + FillReadRange - 1;
                made.push_back(std::move(range));
            }
            return made;
        }
        const auto stored = scan->keys();
        if (!stored) {
            incomplete = true;
            return made;
        }
        auto range = std::make_shared<Range>();
        for (const qint64 key : *stored) {
            if (known.contains(key) || knownUnsplittable.contains(key))
                continue;
            range->keys.push_back(key);
            if (qsizetype(range->keys.size()) == FillReadRange) {
                made.push_back(std::move(range));
                range = std::make_shared<Range>();
            }
        }
        if (!range->keys.empty())
            made.push_back(std::move(range));
        return made;
    }

    // Reads and decodes the range when no one else has taken it.
    static void take(const std::shared_ptr<SearchFill>& fill, Range& range)
    {
        int waiting = Waiting;
        if (!range.state.compare_exchange_strong(waiting, Taken))
            return;
        // The rows read: key and search text, none for a text that holds the separator.
        std::vector<std::pair<qint64, std::optional<QString>>> joined;
        if (!fill->cancelled) {
            const auto own = fill->columns->copy();
            const SearchColumns searched(own->columns());
            QVarLengthArray<QVariant, 16> values(fill->decoder->size());
            const auto made = [&](qint64 key, QByteArrayView text) {
                if (fill->cancelled)
                    return false;
                fill->decoder->decodeInto(storedText(text), values.data());
                joined.emplace_back(key, joinedText(values.data(), searched));
                return true;
            };
            const bool read = range.keys.empty() ? fill->scan->read(range.first, range.last, made)
                                                 : fill->scan->read(range.keys, made);
            if (!read)
                fill->incomplete = true;
        }
        {
            std::lock_guard lock(fill->mutex);
            for (auto& [key, text] : joined) {
                if (text)
                    fill->texts.insert(key, std::move(*text));
                else
                    fill->unsplittable.insert(key);
            }
            range.state = Done;
            ++fill->done;
        }
        fill->finished.notify_all();
    }

    // A stored text as the store's own reads hold it: the bytes when they are UTF-8.
    static QVariant storedText(QByteArrayView text)
    {
        if (text.isNull())
            return {};
        if (text.isValidUtf8())
            return QByteArray::fromRawData(text.data(), text.size());
        return QString::fromUtf8(text);
    }
};

void UserTableRows::startSearchTexts(const QVariantList& rows, bool held)
{
    cancelSearchFill();
    dropKeptWhenStale();
    noteStore(rows);
    if (rows.isEmpty() || !m_keptChanges || m_keptStore.isEmpty())
        return;
    auto fill = std::make_shared<SearchFill>();
    fill->rows = rows;
    fill->generation = m_generation;
    fill->context = KivoLib::currentContext();
    fill->columns = std::make_shared<const DetachedColumns>(m_searchable);
    fill->decoder = std::make_shared<const RowDecoder>(m_searchable, m_password);
    const StoredSource source = currentSource(m_keptStore);
    if (const auto reader = source.coordinator.lock(); reader && source.entity) {
        fill->scan = reader->storedTextScan(*source.entity, m_keptStore,
            platform::coredata::Predicate::equal(
                QStringLiteral("usertemplate_id"), m_userTemplateId),
            QStringLiteral("json"));
    }
    fill->known = m_searchTexts;
    fill->knownUnsplittable = m_unsplittable;
    // The whole table as fetched, in key order: its ends bound every stored row, and when
    // the rows lie together (another table's rows seldom come between) they are read by
    // key range without reading their keys first.
    if (!m_fetched.isEmpty() && rows.constData() == m_fetched.constData()
        && rows.size() == m_fetched.size()) {
        const auto storedKey = [](const QVariant& row) -> std::optional<qint64> {
            const auto* object = qobject_cast<Rows*>(RowObject::object(row));
            if (!object || object->objectID().isTemporary())
                return std::nullopt;
            return object->objectID().key;
        };
        std::optional<qint64> first;
        std::optional<qint64> last;
        for (auto row = rows.cbegin(); !first && row != rows.cend(); ++row)
            first = storedKey(*row);
        for (auto row = rows.crbegin(); !last && row != rows.crend(); ++row)
            last = storedKey(*row);
        if (first && last && *first <= *last && *last - *first < 2 * qint64(rows.size()))
            fill->span = std::pair(*first, *last);
    }
    m_fetched = {};
    m_fill = fill;
    m_fillHeld = true;
    if (!held)
        releaseSearchTexts();
}

void UserTableRows::releaseSearchTexts()
{
    if (!m_fill || !m_fillHeld)
        return;
    m_fillHeld = false;
    platform::dispatch::asyncGlobal(
        [fill = m_fill] { SearchFill::plan(fill, platform::dispatch::Priority::Low); },
        platform::dispatch::Priority::Low);
    scheduleFillStep(FillPollMs);
}

void UserTableRows::stopSearchTexts()
{
    if (!m_fill)
        return;
    if (m_fill->context == KivoLib::currentContext() && keptIsCurrent())
        collectFill(*m_fill);
    cancelSearchFill();
}

void UserTableRows::scheduleFillStep(int delayMs)
{
    // A step belongs to its making: one left over from a making cancelled since does
    // nothing.
    platform::dispatch::afterMain(delayMs,
        [alive = std::weak_ptr<bool>(m_alive), fill = std::weak_ptr<SearchFill>(m_fill), this] {
            if (alive.lock() && fill.lock() && fill.lock() == m_fill)
                fillStep();
        });
}

void UserTableRows::cancelSearchFill()
{
    if (m_fill)
        m_fill->cancelled = true;
    m_fill.reset();
    m_fillHeld = false;
}

bool UserTableRows::collectFill(SearchFill& fill)
{
    std::lock_guard lock(fill.mutex);
    // Nothing kept yet (a table just opened): what the pool made is taken over whole.
    if (m_searchTexts.isEmpty()) {
        m_searchTexts = std::exchange(fill.texts, {});
    } else {
        for (auto text = fill.texts.begin(); text != fill.texts.end(); ++text)
            m_searchTexts.insert(text.key(), std::move(text.value()));
        fill.texts.clear();
    }
    m_unsplittable.unite(fill.unsplittable);
    fill.unsplittable.clear();
    return fill.isOver();
}

void UserTableRows::fillStep()
{
    const auto fill = m_fill;
    if (!fill)
        return;
    // The rows belong to the context they were read in; a write this table was not told
    // of makes everything kept doubtful.
    if (fill->context != KivoLib::currentContext() || !keptIsCurrent()) {
        forgetDecoded();
        return;
    }
    // Taken in once all is made: the main thread then only takes over what the pool made.
    bool over = false;
    {
        std::lock_guard lock(fill->mutex);
        over = fill->isOver();
    }
    if (over && collectFill(*fill)) {
        if (!fill->incomplete)
            notePrepared(fill->rows, fill->generation);
        m_fill.reset();
        return;
    }
    scheduleFillStep(FillPollMs);
}

void UserTableRows::finishSearchFill()
{
    const auto fill = m_fill;
    if (!fill)
        return;
    if (fill->context != KivoLib::currentContext()) {
        cancelSearchFill();
        return;
    }
    // The rows are cut here when no pool thread has begun it; every range that no pool
    // thread has begun is read and decoded here while the pool goes on with its own.
    SearchFill::plan(fill, platform::dispatch::Priority::High);
    std::vector<std::shared_ptr<SearchFill::Range>> ranges;
    {
        std::unique_lock lock(fill->mutex);
        fill->finished.wait(lock, [&] { return fill->planned; });
        ranges = fill->ranges;
    }
    // A making begun in the background took a few threads; the search waits for it now.
    SearchFill::addTakers(
        fill, QThread::idealThreadCount() - 1, platform::dispatch::Priority::High);
    for (const auto& range : ranges)
        SearchFill::take(fill, *range);
    {
        std::unique_lock lock(fill->mutex);
        fill->finished.wait(lock, [&] { return fill->isOver(); });
    }
    collectFill(*fill);
    if (!fill->incomplete)
        notePrepared(fill->rows, fill->generation);
    m_fill.reset();
    m_fillHeld = false;
}

void UserTableRows::notePrepared(const QVariantList& rows, quint64 generation)
{
    if (generation != m_generation)
        return;
    m_preparedRows = rows;
    m_preparedGeneration = generation;
}

bool UserTableRows::isPrepared(const QVariantList& rows) const
{
    return !m_fill && m_preparedGeneration == m_generation && !rows.isEmpty()
        && rows.constData() == m_preparedRows.constData() && rows.size() == m_preparedRows.size()
        && keptIsCurrent();
}

void UserTableRows::noteStore(const QVariantList& rows)
{
    for (const QVariant& row : rows) {
        if (!m_keptStore.isEmpty())
            return;
        auto* object = qobject_cast<Rows*>(RowObject::object(row));
        if (object && !object->objectID().isTemporary())
            m_keptStore = object->objectID().storeIdentifier;
    }
}

void UserTableRows::prepareSearchTexts(const QVariantList& rows)
{
    // The same rows as last time, and nothing forgotten since.
    if (isPrepared(rows))
        return;
    dropKeptWhenStale();
    finishSearchFill();
    // A making of these rows' texts just finished: each stored row has its text.
    if (isPrepared(rows))
        return;
    const quint64 generation = m_generation;
    const auto prepared = qScopeGuard([&] { notePrepared(rows, generation); });
    noteStore(rows);
    QList<Rows*> objects;
    objects.reserve(rows.size());
    for (const QVariant& row : rows) {
        if (auto* object = qobject_cast<Rows*>(RowObject::object(row)))
            objects.append(object);
    }
    const QList<qint64> keys = unknownKeys(objects,
        [this](qint64 key) { return m_searchTexts.contains(key) || m_unsplittable.contains(key); });
    if (keys.isEmpty())
        return;
    const DetachedColumns columns(m_searchable);
    const Rows::Password password = m_password;
    const StoredSource source = currentSource(m_keptStore);
    const qsizetype rangeCount = (keys.size() + DecodeRange - 1) / DecodeRange;
    std::vector<std::vector<std::pair<qint64, std::optional<QString>>>> joined(
        static_cast<size_t>(rangeCount));
    platform::dispatch::concurrentApply(rangeCount, 1, [&](qsizetype begin, qsizetype end) {
        const auto own = columns.copy();
        const Rows::StoredLayout layout = Rows::storedLayout(own->columns());
        const SearchColumns searched(own->columns());
        for (qsizetype range = begin; range < end; ++range) {
            const auto texts = source.read(keys.mid(range * DecodeRange, DecodeRange));
            auto& made = joined[size_t(range)];
            made.reserve(texts.size());
            for (const auto& [key, text] : texts) {
                const auto values = Rows::decodeStoredData(text, layout, password, true);
                made.emplace_back(key, joinedText(values.value_or(QVariantMap()), searched));
            }
        }
    });
    m_searchTexts.reserve(m_searchTexts.size() + keys.size());
    for (auto& range : joined) {
        for (auto& [key, text] : range) {
            if (text)
                m_searchTexts.insert(key, std::move(*text));
            else
                m_unsplittable.insert(key);
        }
    }
}

bool UserTableRows::searchMatches(Rows* row, const QString& foldedText, const QList<int>& positions)
{
    if (!row || foldedText.isEmpty() || positions.isEmpty())
        return false;
    const auto key = keyOf(row);
    const bool whole = positions.size() == m_searchable.size();
    // A needle holding the separator could match across two columns' texts.
    if (key && !foldedText.contains(Separator)) {
        auto found = m_searchTexts.constFind(*key);
        if (found == m_searchTexts.constEnd() && !m_unsplittable.contains(*key)) {
            if (const auto text = joinedText(decode(row), SearchColumns(m_searchable)))
                found = m_searchTexts.insert(*key, *text);
            else
                m_unsplittable.insert(*key);
        }
        if (found != m_searchTexts.constEnd())
            return whole ? found->contains(foldedText)
                         : segmentsMatch(*found, foldedText, positions);
    }
    const QVariantMap values = decode(row);
    for (const int position : positions) {
        const TemplateColumn* column = m_searchable.value(position);
        if (column
            && RowValueCompare::fold(column->getStringValue(values.value(column->id().toString())))
                   .contains(foldedText))
            return true;
    }
    return false;
}

QVariantList UserTableRows::matchingRows(
    const QVariantList& rows, const QString& foldedText, const QList<int>& positions)
{
    QVariantList matches;
    if (foldedText.isEmpty() || positions.isEmpty())
        return matches;
    // The keys here, as the row objects are this thread's; a row without a kept text is
    // looked at as searchMatches looks at it.
    constexpr qint64 NoText = -1;
    std::vector<qint64> keys(size_t(rows.size()), NoText);
    std::vector<Rows*> objects(size_t(rows.size()), nullptr);
    const bool splittable = !foldedText.contains(Separator);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        objects[size_t(i)] = qobject_cast<Rows*>(RowObject::object(rows[i]));
        const auto key = splittable ? keyOf(objects[size_t(i)]) : std::nullopt;
        if (key)
            keys[size_t(i)] = *key;
    }
    // 1: matches, 0: does not, -1: not known here.
    std::vector<signed char> found(size_t(rows.size()), -1);
    const bool whole = positions.size() == m_searchable.size();
    const QHash<qint64, QString>& texts = m_searchTexts;
    platform::dispatch::concurrentApply(
        rows.size(), MatchRange, [&](qsizetype begin, qsizetype end) {
            for (qsizetype i = begin; i < end; ++i) {
                if (!objects[size_t(i)]) {
                    found[size_t(i)] = 0;
                    continue;
                }
                if (keys[size_t(i)] == NoText)
                    continue;
                const auto text = texts.constFind(keys[size_t(i)]);
                if (text == texts.constEnd())
                    continue;
                found[size_t(i)] = whole ? text->contains(foldedText)
                                         : segmentsMatch(*text, foldedText, positions);
            }
        });
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const signed char known = found[size_t(i)];
        if (known == 1 || (known < 0 && searchMatches(objects[size_t(i)], foldedText, positions)))
            matches.append(rows[i]);
    }
    return matches;
}

RowValueCompare::Key UserTableRows::sortKeyOf(Rows* row, TemplateColumn* column) const
{
    if (!row)
        return {};
    const auto values = Rows::decodeStoredData(row->storedJson(), { column }, m_password, true);
    return RowValueCompare::keyOf(values.value_or(QVariantMap()).value(column->id().toString()));
}

QList<Rows*> UserTableRows::sorted(const QList<Rows*>& rows, const Rows::Sorts& sorts)
{
    // As Rows::applySort: the sorts up to the first whose column is gone.
    struct SortColumn {
        TemplateColumn* column;
        bool ascending;
    };
    QList<SortColumn> keys;
    for (const auto& sort : sorts) {
        TemplateColumn* column
            = sort ? TemplateColumn::getColumnForId(sort->Column(), m_columns) : nullptr;
        if (!column)
            break;
        keys.append({ column, sort->Ascending() });
    }
    if (keys.isEmpty())
        return rows;
    dropKeptWhenStale();
    for (const Rows* row : rows) {
        if (!m_keptStore.isEmpty())
            break;
        if (row && !row->objectID().isTemporary())
            m_keptStore = row->objectID().storeIdentifier;
    }
    // Every column's entry first: adding one may move the others.
    for (const SortColumn& key : std::as_const(keys))
        (void)m_sortKeys[key.column->id().toString()];
    QList<QHash<qint64, RowValueCompare::Key>*> kept;
    for (const SortColumn& key : std::as_const(keys))
        kept.append(&m_sortKeys[key.column->id().toString()]);
    // The stored rows lacking a key of any sort column: each is decoded (and decrypted)
    // once, for every sort column at once, on the pool's threads as well.
    QList<Rows*> unknown;
    QList<qint64> unknownRowKeys;
    for (Rows* row : rows) {
        const auto key = keyOf(row);
        if (key && std::any_of(kept.cbegin(), kept.cend(), [&](const auto* columnKeys) {
                return !columnKeys->contains(*key);
            })) {
            unknown.append(row);
            unknownRowKeys.append(*key);
        }
    }
    if (!unknown.isEmpty()) {
        QStringList ids;
        for (const SortColumn& key : std::as_const(keys)) {
            if (!ids.contains(key.column->id().toString()))
                ids << key.column->id().toString();
        }
        const RowDecoder decoder(m_columns, ids, m_password);
        std::vector<RowValueCompare::Key> made(size_t(unknown.size()) * size_t(ids.size()));
        Rows::decodeEach(unknown, decoder, [&](qsizetype row, const QVariant* values, bool) {
            for (qsizetype id = 0; id < ids.size(); ++id)
                made[size_t(row * ids.size() + id)] = RowValueCompare::keyOf(values[id]);
        });
        for (qsizetype id = 0; id < ids.size(); ++id) {
            auto& columnKeys = m_sortKeys[ids[id]];
            columnKeys.reserve(columnKeys.size() + unknown.size());
            for (qsizetype row = 0; row < unknown.size(); ++row)
                columnKeys.insert(
                    unknownRowKeys[row], std::move(made[size_t(row * ids.size() + id)]));
        }
    }
    struct Entry {
        Rows* row;
        QVarLengthArray<RowValueCompare::Key, 2> values;
    };
    std::vector<Entry> entries;
    entries.reserve(size_t(rows.size()));
    for (Rows* row : rows) {
        Entry entry { row, {} };
        const auto key = keyOf(row);
        for (qsizetype i = 0; i < keys.size(); ++i) {
            const auto found = key ? kept[i]->constFind(*key) : kept[i]->constEnd();
            entry.values.append(
                found != kept[i]->constEnd() ? *found : sortKeyOf(row, keys[i].column));
        }
        entries.push_back(std::move(entry));
    }
    // The entries stay where they are: only places move. A slot holds what decides most
    // comparisons of the first key (its kind, then its number or the first eight code
    // units of its text), so only ties look at the entries.
    struct Slot {
        quint32 index;
        int kind;
        double number;
        std::array<quint64, 2> prefix; // eight code units, four in each
        QStringView text; // the entry's own
    };
    constexpr int Undecided = 2;
    const auto firstOrder = [](const Slot& a, const Slot& b) {
        if (a.kind != b.kind)
            return a.kind < b.kind ? -1 : 1;
        switch (RowValueCompare::Kind(a.kind)) {
        case RowValueCompare::Kind::Missing:
            return 0;
        case RowValueCompare::Kind::Number:
        case RowValueCompare::Kind::Date:
            if (std::isnan(a.number) || std::isnan(b.number))
                return Undecided;
            return a.number < b.number ? -1 : (b.number < a.number ? 1 : 0);
        case RowValueCompare::Kind::Text:
        case RowValueCompare::Kind::Other:
            if (a.prefix != b.prefix)
                return a.prefix < b.prefix ? -1 : 1;
            // As RowValueCompare orders texts: by code unit.
            return std::clamp(QtPrivate::compareStrings(a.text, b.text, Qt::CaseSensitive), -1, 1);
        }
        return Undecided;
    };
    std::vector<Slot> places;
    places.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const RowValueCompare::Key& key = entries[i].values[0];
        Slot slot { quint32(i), int(key.kind), 0, { 0, 0 }, QStringView(key.text) };
        if (key.kind == RowValueCompare::Kind::Number)
            slot.number = key.number;
        else if (key.kind == RowValueCompare::Kind::Date)
            slot.number = key.moment;
        // Code units in order, a missing one as zero: the prefixes order as the texts do
        // wherever they differ.
        for (qsizetype unit = 0; unit < 8; ++unit) {
            quint64& word = slot.prefix[size_t(unit / 4)];
            word = word << 16 | (unit < key.text.size() ? key.text[unit].unicode() : 0);
        }
        places.push_back(slot);
    }
    const auto before = [&](const Slot& x, const Slot& y) {
        const Entry& a = entries[x.index];
        const Entry& b = entries[y.index];
        for (qsizetype i = 0; i < keys.size(); ++i) {
            int order = i == 0 ? firstOrder(x, y) : Undecided;
            if (order == Undecided)
                order = RowValueCompare::compare(a.values[i], b.values[i]);
            if (order != 0)
                return (keys[i].ascending ? order : -order) < 0;
        }
        return false;
    };
    // Parts sorted at once on pool threads, then merged in pairs; both keep equal rows in
    // their order, so the whole is the stable sort.
    const size_t parts = places.size() < size_t(4 * SortPart) ? 1 : 8;
    const auto bound
        = [&](size_t part) { return places.begin() + qsizetype(places.size() * part / parts); };
    platform::dispatch::concurrentApply(qsizetype(parts), 1, [&](qsizetype begin, qsizetype end) {
        for (qsizetype part = begin; part < end; ++part)
            std::stable_sort(bound(size_t(part)), bound(size_t(part) + 1), before);
    });
    for (size_t width = 1; width < parts; width *= 2) {
        platform::dispatch::concurrentApply(
            qsizetype(parts / (2 * width)), 1, [&](qsizetype begin, qsizetype end) {
                for (qsizetype pair = begin; pair < end; ++pair) {
                    const size_t first = size_t(pair) * 2 * width;
                    std::inplace_merge(bound(first), bound(first + width),
                        bound(std::min(parts, first + 2 * width)), before);
                }
            });
    }
    QList<Rows*> result;
    result.reserve(rows.size());
    for (const Slot& slot : places)
        result.append(entries[slot.index].row);
    return result;
}
