#include "grid/UserTableRows.h"

#include "grid/RowObject.h"
#include "model/DetachedColumns.h"
#include "model/Sort.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "platform/Dispatch.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "utilities/store/KivoLibContext.h"

#include <QPointer>
#include <QScopeGuard>

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
constexpr QChar Separator = QChar(0);

bool isSearchable(const TemplateColumn* column)
{
    return column && !TypeConstants::isProtected(column->typeName());
}

// The search text of a row's values: each column's folded display text, joined.
std::optional<QString> joinedText(const QVariantMap& values, const Rows::Columns& columns)
{
    QString joined;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const TemplateColumn* column = columns[i];
        const QString folded
            = RowValueCompare::fold(column->getStringValue(values.value(column->id().toString())));
        if (folded.contains(Separator))
            return std::nullopt;
        if (i > 0)
            joined += Separator;
        joined += folded;
    }
    return joined;
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

    QPointer<Rows> row; // main thread only
    QVariant text;
    QVariantMap values;
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
        values = Rows::decodeStoredData(text, columns, password, false).value_or(QVariantMap());
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
    return rows;
}

QVariantMap UserTableRows::values(Rows* row)
{
    if (!row)
        return {};
    if (const QVariantMap* kept = m_cache.object(row))
        return *kept;
    if (std::optional<QVariantMap> ahead = takeAhead(row)) {
        m_cache.insert(row, new QVariantMap(*ahead));
        return std::move(*ahead);
    }
    const QVariantMap decoded = decode(row);
    m_cache.insert(row, new QVariantMap(decoded));
    // The decoded values are kept here; the store object need not hold its text as well.
    if (platform::coredata::ManagedObjectContext* context = row->managedObjectContext())
        context->refreshObject(row, true);
    return decoded;
}

void UserTableRows::prefetch(const QList<Rows*>& rows)
{
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
        entry->row = row;
        entry->text = row->json();
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
    platform::dispatch::asyncGlobal(
        [columns = m_aheadColumns, password = m_password, work = std::move(work)] {
            const auto own = columns->copy();
            for (const auto& entry : work) {
                if (entry->take())
                    entry->decode(own->columns(), password);
            }
        },
        platform::dispatch::Priority::High);
}

std::optional<QVariantMap> UserTableRows::takeAhead(Rows* row)
{
    const auto found = m_ahead.find(row);
    if (found == m_ahead.end())
        return std::nullopt;
    const std::shared_ptr<AheadRow> entry = found.value();
    m_ahead.erase(found);
    // Made from what the store held then: a write since, or a change not saved, leaves it.
    if (entry->row != row || row->hasChanges() || storeChanges() != m_aheadChanges
        || currentCoordinator() != m_aheadCoordinator) {
        entry->take();
        return std::nullopt;
    }
    // Not begun by the pool: decoded here, without waiting; begun: nearly done.
    if (entry->take())
        entry->decode(m_columns, m_password);
    else
        entry->waitUntilDone();
    return std::move(entry->values);
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
QList<std::pair<qint64, QVariant>> UserTableRows::unknownTexts(
    const QList<Rows*>& rows, Known known) const
{
    QList<std::pair<qint64, QVariant>> texts;
    for (Rows* row : rows) {
        const auto key = keyOf(row);
        if (!key || known(*key))
            continue;
        const bool wasFault = row->isFault();
        texts.append({ *key, row->json() });
        // The text goes to the workers; the row need not hold it as well.
        if (wasFault && row->managedObjectContext())
            row->managedObjectContext()->refreshObject(row, true);
    }
    return texts;
}

// A background making of search texts: the main thread reads the rows' stored texts a
// range at a time between other events, and pool threads decode each range. Whoever
// takes a range first decodes it; the main thread takes those still waiting when a search
// cannot wait.
struct UserTableRows::SearchFill {
    enum State { Waiting, Taken, Done };
    struct Range {
        QList<std::pair<qint64, QVariant>> texts;
        std::vector<std::optional<QString>> joined;
        std::atomic<int> state { Waiting };
    };

    std::shared_ptr<const DetachedColumns> columns;
    Rows::Password password;
    const platform::coredata::ManagedObjectContext* context = nullptr;
    QVariantList rows;
    quint64 generation = 0;
    qsizetype nextRead = 0;
    std::vector<std::shared_ptr<Range>> ranges;
    std::atomic<bool> cancelled { false };
    std::mutex mutex;
    std::condition_variable finished;

    // Decodes the range when no one else has taken it.
    static void take(const std::shared_ptr<SearchFill>& fill, Range& range)
    {
        int waiting = Waiting;
        if (fill->cancelled || !range.state.compare_exchange_strong(waiting, Taken))
            return;
        const auto own = fill->columns->copy();
        range.joined.resize(size_t(range.texts.size()));
        for (qsizetype i = 0; i < range.texts.size(); ++i) {
            const auto values = Rows::decodeStoredData(
                range.texts[i].second, own->columns(), fill->password, true);
            range.joined[size_t(i)] = joinedText(values.value_or(QVariantMap()), own->columns());
        }
        {
            std::lock_guard lock(fill->mutex);
            range.state = Done;
        }
        fill->finished.notify_all();
    }
};

void UserTableRows::startSearchTexts(const QVariantList& rows)
{
    cancelSearchFill();
    dropKeptWhenStale();
    noteStore(rows);
    if (rows.isEmpty() || !m_keptChanges)
        return;
    auto fill = std::make_shared<SearchFill>();
    fill->rows = rows;
    fill->generation = m_generation;
    fill->context = KivoLib::currentContext();
    fill->columns = std::make_shared<const DetachedColumns>(m_searchable);
    fill->password = m_password;
    m_fill = fill;
    // The first tiles are drawn first.
    scheduleFillStep(FillStartDelayMs);
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
}

bool UserTableRows::readFillRange(SearchFill& fill, qsizetype count)
{
    if (fill.nextRead >= fill.rows.size())
        return false;
    auto range = std::make_shared<SearchFill::Range>();
    QList<Rows*> objects;
    const qsizetype end = std::min(fill.rows.size(), fill.nextRead + count);
    for (; fill.nextRead < end; ++fill.nextRead) {
        if (auto* row = qobject_cast<Rows*>(RowObject::object(fill.rows[fill.nextRead])))
            objects.append(row);
    }
    range->texts = unknownTexts(objects,
        [this](qint64 key) { return m_searchTexts.contains(key) || m_unsplittable.contains(key); });
    fill.ranges.push_back(range);
    return true;
}

void UserTableRows::collectFill(SearchFill& fill)
{
    for (auto it = fill.ranges.begin(); it != fill.ranges.end();) {
        SearchFill::Range& range = **it;
        if (range.state != SearchFill::Done) {
            ++it;
            continue;
        }
        for (qsizetype i = 0; i < range.texts.size(); ++i) {
            if (range.joined[size_t(i)])
                m_searchTexts.insert(range.texts[i].first, std::move(*range.joined[size_t(i)]));
            else
                m_unsplittable.insert(range.texts[i].first);
        }
        it = fill.ranges.erase(it);
    }
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
    collectFill(*fill);
    if (readFillRange(*fill, FillReadRange)) {
        const auto range = fill->ranges.back();
        platform::dispatch::asyncGlobal(
            [fill, range] { SearchFill::take(fill, *range); }, platform::dispatch::Priority::Low);
        scheduleFillStep();
        return;
    }
    if (fill->ranges.empty()) {
        notePrepared(fill->rows, fill->generation);
        m_fill.reset();
        return;
    }
    // Everything read: the last ranges are still being decoded.
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
    // What is left is read at once, and every range no pool thread has begun is decoded
    // here while the pool goes on with its own.
    while (readFillRange(*fill, FillReadRange)) {
        const auto range = fill->ranges.back();
        platform::dispatch::asyncGlobal(
            [fill, range] { SearchFill::take(fill, *range); }, platform::dispatch::Priority::High);
    }
    for (const auto& range : fill->ranges)
        SearchFill::take(fill, *range);
    {
        std::unique_lock lock(fill->mutex);
        fill->finished.wait(lock, [&] {
            return std::all_of(fill->ranges.cbegin(), fill->ranges.cend(),
                [](const auto& range) { return range->state == SearchFill::Done; });
        });
    }
    collectFill(*fill);
    notePrepared(fill->rows, fill->generation);
    m_fill.reset();
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
    const quint64 generation = m_generation;
    const auto prepared = qScopeGuard([&] { notePrepared(rows, generation); });
    noteStore(rows);
    QList<Rows*> objects;
    objects.reserve(rows.size());
    for (const QVariant& row : rows) {
        if (auto* object = qobject_cast<Rows*>(RowObject::object(row)))
            objects.append(object);
    }
    const auto texts = unknownTexts(objects,
        [this](qint64 key) { return m_searchTexts.contains(key) || m_unsplittable.contains(key); });
    if (texts.isEmpty())
        return;
    const DetachedColumns columns(m_searchable);
    const Rows::Password password = m_password;
    std::vector<std::optional<QString>> joined(size_t(texts.size()));
    platform::dispatch::concurrentApply(
        texts.size(), DecodeRange, [&](qsizetype begin, qsizetype end) {
            const auto own = columns.copy();
            for (qsizetype i = begin; i < end; ++i) {
                const auto values
                    = Rows::decodeStoredData(texts[i].second, own->columns(), password, true);
                joined[size_t(i)] = joinedText(values.value_or(QVariantMap()), own->columns());
            }
        });
    m_searchTexts.reserve(m_searchTexts.size() + texts.size());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (joined[size_t(i)])
            m_searchTexts.insert(texts[i].first, std::move(*joined[size_t(i)]));
        else
            m_unsplittable.insert(texts[i].first);
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
            if (const auto text = joinedText(decode(row), m_searchable))
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

RowValueCompare::Key UserTableRows::sortKeyOf(Rows* row, TemplateColumn* column) const
{
    if (!row)
        return {};
    const auto values = Rows::decodeStoredData(row->json(), { column }, m_password, true);
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
    for (const SortColumn& key : std::as_const(keys)) {
        auto& columnKeys = m_sortKeys[key.column->id().toString()];
        kept.append(&columnKeys);
        const auto texts
            = unknownTexts(rows, [&columnKeys](qint64 row) { return columnKeys.contains(row); });
        if (texts.isEmpty())
            continue;
        const DetachedColumns column({ key.column });
        const QString columnId = key.column->id().toString();
        const Rows::Password password = m_password;
        std::vector<RowValueCompare::Key> made(size_t(texts.size()));
        platform::dispatch::concurrentApply(
            texts.size(), DecodeRange, [&](qsizetype begin, qsizetype end) {
                const auto own = column.copy();
                for (qsizetype i = begin; i < end; ++i) {
                    const auto values
                        = Rows::decodeStoredData(texts[i].second, own->columns(), password, true);
                    made[size_t(i)]
                        = RowValueCompare::keyOf(values.value_or(QVariantMap()).value(columnId));
                }
            });
        columnKeys.reserve(columnKeys.size() + texts.size());
        for (qsizetype i = 0; i < texts.size(); ++i)
            columnKeys.insert(texts[i].first, std::move(made[size_t(i)]));
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
    std::stable_sort(places.begin(), places.end(), [&](const Slot& x, const Slot& y) {
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
    });
    QList<Rows*> result;
    result.reserve(rows.size());
    for (const Slot& slot : places)
        result.append(entries[slot.index].row);
    return result;
}
