#include "model/NotificationsController.h"

#include "model/Database.h"
#include "model/DetachedColumns.h"
#include "model/Rows.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "model/UserTemplate.h"
#include "platform/Date.h"
#include "platform/Dispatch.h"
#include "platform/LocalNotifications.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/ManagedObjectModel.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "platform/coredata/Predicate.h"
#include "utilities/shell/DebugHelper.h"
#include "utilities/store/KivoLibContext.h"

#include <QHash>
#include <QPointer>
#include <QSet>
#include <QTimeZone>

#include <functional>

#include <algorithm>
#include <exception>
#include <memory>

using platform::LocalNotification;

const QString NotificationsController::RepeatNone = QStringLiteral("None");
const QString NotificationsController::RepeatOnce = QStringLiteral("Once");
const QString NotificationsController::RepeatDaily = QStringLiteral("Daily");
const QString NotificationsController::RepeatWeekly = QStringLiteral("Weekly");
const QString NotificationsController::RepeatMonthly = QStringLiteral("Monthly");
const QString NotificationsController::RepeatYearly = QStringLiteral("Yearly");
const QString NotificationsController::TemplateKey = QStringLiteral("Template");
const QString NotificationsController::RowKey = QStringLiteral("Row");
const QString NotificationsController::ColumnKey = QStringLiteral("Column");
const QString NotificationsController::RepeatKey = QStringLiteral("Repeat");
const QString NotificationsController::DateKey = QStringLiteral("Date");

namespace {

bool isSet(const QVariant& flag)
{
    return flag.isValid() && !flag.isNull() && flag.toBool();
}

bool isReminderColumn(const TemplateColumn* column)
{
    return column && TypeConstants::isDate(column->typeName()) && isSet(column->reminder());
}

platform::Date dateOf(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<platform::Date>())
        return value.value<platform::Date>();
    if (value.metaType() == QMetaType::fromType<QDateTime>())
        return platform::Date(value.toDateTime());
    // A number read straight from a row's text.
    bool number = false;
    const double seconds = value.toDouble(&number);
    return number && value.metaType() != QMetaType::fromType<QString>()
        ? platform::Date::fromUnixTime(seconds)
        : platform::Date();
}

QString idOf(const QObject* object)
{
    return object ? object->property("id").toString() : QString();
}

} // namespace

const QStringList& NotificationsController::repeatWords()
{
    static const QStringList words { RepeatNone, RepeatOnce, RepeatDaily, RepeatWeekly,
        RepeatMonthly, RepeatYearly };
    return words;
}

LocalNotification::CalendarUnit NotificationsController::repeatIntervalForWord(const QString& word)
{
    if (word == RepeatDaily)
        return LocalNotification::DayCalendarUnit;
    if (word == RepeatWeekly)
        return LocalNotification::WeekCalendarUnit;
    if (word == RepeatMonthly)
        return LocalNotification::MonthCalendarUnit;
    if (word == RepeatYearly)
        return LocalNotification::YearCalendarUnit;
    return LocalNotification::NoRepeat;
}

void NotificationsController::scheduleNotification(
    Rows* row, const Columns& columns, const Password& secret, UserTemplate* usertemplate)
{
    if (!row)
        return;
    scheduleForValues(idOf(row), row->getData(columns, secret), columns, usertemplate);
}

void NotificationsController::scheduleForValues(const QString& rowId, const QVariantMap& values,
    const Columns& columns, UserTemplate* usertemplate, const std::optional<Columns>& allColumns)
{
    Columns tiles;
    for (TemplateColumn* column : allColumns.value_or(columns)) {
        // A protected value would be kept, listed and exported in the clear.
        if (column && isSet(column->intiles()) && !TypeConstants::isProtected(column->typeName()))
            tiles.append(column);
    }
    auto& center = platform::LocalNotifications::shared();
    for (TemplateColumn* column : columns) {
        if (!isReminderColumn(column))
            continue;
        const QString columnId = idOf(column);
        const QString word = values.value(Rows::reminderKey(columnId)).toString();
        if (word.isEmpty() || word == RepeatNone)
            continue;
        // A reminder without a date has nothing to fire at.
        const platform::Date date = dateOf(values.value(columnId));
        if (!date.isValid())
            continue;
        const QDateTime fireDate = date.toDateTime();
        if (word == RepeatOnce && center.now() > fireDate)
            continue;

        QString body;
        for (TemplateColumn* tile : std::as_const(tiles)) {
            if (!TypeConstants::isDate(tile->typeName()))
                body += QStringLiteral("%1 ").arg(tile->getStringValue(values.value(idOf(tile))));
        }
        body += QStringLiteral("(%1)").arg(
            usertemplate ? usertemplate->name().toString() : QString());

        LocalNotification notification;
        notification.fireDate = fireDate;
        notification.timeZone = QTimeZone::systemTimeZoneId();
        notification.soundName = LocalNotification::DefaultSoundName;
        notification.alertBody = body;
        notification.applicationIconBadgeNumber = 1;
        notification.repeatInterval = repeatIntervalForWord(word);
        notification.userInfo = {
            { RowKey, rowId },
            { ColumnKey, columnId },
            { TemplateKey, idOf(usertemplate) },
            { RepeatKey, word },
            { DateKey, QVariant::fromValue(date) },
        };
        center.scheduleLocalNotification(notification);
    }
}

void NotificationsController::rebuildNotifications(const Columns& columns,
    UserTemplate* userTemplate, const QList<Rows*>& rows, const Password& secret)
{
    QStringList rowIds;
    QList<Rows*> present;
    for (Rows* row : rows) {
        if (!row)
            continue;
        rowIds.append(idOf(row));
        present.append(row);
    }
    QHash<qsizetype, QVariantMap> decoded;
    rebuildForRows(columns, userTemplate, rowIds, [&](qsizetype index) -> const QVariantMap& {
        auto found = decoded.find(index);
        if (found == decoded.end())
            found = decoded.insert(index, present[index]->getData(columns, secret));
        return *found;
    });
}

void NotificationsController::rebuildForRows(const Columns& columns, UserTemplate* userTemplate,
    const QStringList& rowIds, const std::function<const QVariantMap&(qsizetype)>& valuesOf)
{
    auto& center = platform::LocalNotifications::shared();
    const QString templateId = idOf(userTemplate);
    const QList<LocalNotification> scheduled = center.scheduledLocalNotifications();
    QList<LocalNotification> mine;
    for (const LocalNotification& notification : scheduled) {
        if (notification.userInfo.value(TemplateKey).toString() == templateId)
            mine.append(notification);
    }

    QSet<QString> reminderColumns;
    for (TemplateColumn* column : columns) {
        if (isReminderColumn(column))
            reminderColumns.insert(idOf(column));
    }
    if (reminderColumns.isEmpty()) {
        for (const LocalNotification& notification : std::as_const(mine))
            center.cancelLocalNotification(notification);
        return;
    }

    QHash<QString, qsizetype> rowsById;
    for (qsizetype i = 0; i < rowIds.size(); ++i)
        rowsById.insert(rowIds[i], i);

    QList<LocalNotification> cancel;
    QList<qsizetype> marked;
    QSet<qsizetype> markedSet;
    auto mark = [&](qsizetype row) {
        if (!markedSet.contains(row)) {
            markedSet.insert(row);
            marked.append(row);
        }
    };
    // Rows and columns that still have a notification of this table.
    QSet<QPair<QString, QString>> covered;
    for (const LocalNotification& notification : std::as_const(mine)) {
        const QString rowId = notification.userInfo.value(RowKey).toString();
        const QString columnId = notification.userInfo.value(ColumnKey).toString();
        const auto row = rowsById.constFind(rowId);
        if (row == rowsById.constEnd()) {
            cancel.append(notification);
            continue;
        }
        // A column whose reminder was turned off keeps no notification.
        if (!reminderColumns.contains(columnId)) {
            cancel.append(notification);
            continue;
        }
        // A second copy of a row and column's notification goes, whatever it holds.
        if (covered.contains({ rowId, columnId })) {
            cancel.append(notification);
            continue;
        }
        const QVariantMap& values = valuesOf(*row);
        const bool same = values.value(Rows::reminderKey(columnId)).toString()
                == notification.userInfo.value(RepeatKey).toString()
            && dateOf(values.value(columnId)) == dateOf(notification.userInfo.value(DateKey));
        if (same) {
            covered.insert({ rowId, columnId });
        } else {
            cancel.append(notification);
            mark(*row);
        }
    }
    // Every row with a reminder column left without its notification is scheduled again,
    // for those columns only: the ones kept must not be doubled.
    for (qsizetype row = 0; row < rowIds.size(); ++row) {
        if (markedSet.contains(row))
            continue;
        for (const QString& columnId : std::as_const(reminderColumns)) {
            if (!covered.contains({ rowIds[row], columnId })) {
                mark(row);
                break;
            }
        }
    }
    for (const LocalNotification& notification : std::as_const(cancel))
        center.cancelLocalNotification(notification);
    for (const qsizetype row : std::as_const(marked)) {
        Columns missing;
        for (TemplateColumn* column : columns) {
            if (!covered.contains({ rowIds[row], idOf(column) }))
                missing.append(column);
        }
        scheduleForValues(rowIds[row], valuesOf(row), missing, userTemplate, columns);
    }
}

namespace {

// A table's rows as the pool threads read them for a rebuild: ids and decoded values, in
// key order.
struct ReadRows {
    QStringList ids;
    QList<QVariantMap> values;
};

// Rows read by one store query while a rebuild reads a table: the store serves the main
// thread between two of them.
constexpr qsizetype RebuildReadRange = 2048;
// Reads started again after writes came in between before the rebuild gives the main
// thread the work.
constexpr int RebuildAttempts = 4;

struct BackgroundRebuild {
    QPointer<UserTemplate> table;
    QList<QPointer<TemplateColumn>> columns;
    std::shared_ptr<const DetachedColumns> detached;
    NotificationsController::Password secret;
    std::function<void()> done;
    int attempt = 0;

    const platform::coredata::ManagedObjectContext* context = nullptr;
    std::weak_ptr<platform::coredata::PersistentStoreCoordinator> coordinator;
    platform::coredata::PersistentStoreCoordinator::ChangeCount changes;

    NotificationsController::Columns liveColumns() const
    {
        NotificationsController::Columns live;
        for (const auto& column : columns) {
            if (!column)
                return {};
            live.append(column.data());
        }
        return live;
    }

    // Whether the table is still one of the context's, not deleted.
    bool isLive(const platform::coredata::ManagedObjectContext* context) const
    {
        return table && context && table->managedObjectContext() == context && !table->isDeleted();
    }

    void finish() const
    {
        if (done)
            done();
    }
};

// What the store holds of the table's rows, read and decoded on a pool thread.
ReadRows readRows(const platform::coredata::PersistentStoreCoordinator& coordinator,
    const platform::coredata::EntityDescription& entity, const QString& store,
    const QString& tableId, const DetachedColumns& columns,
    const NotificationsController::Password& secret)
{
    ReadRows read;
    const auto keys = coordinator.storedKeys(entity, store,
        platform::coredata::Predicate::equal(QStringLiteral("usertemplate_id"), tableId));
    if (!keys)
        return read;
    const auto own = columns.copy();
    const Rows::StoredLayout layout = Rows::storedLayout(own->columns());
    for (size_t from = 0; from < keys->size(); from += size_t(RebuildReadRange)) {
        const size_t to = std::min(keys->size(), from + size_t(RebuildReadRange));
        const QList<qint64> range(keys->begin() + qsizetype(from), keys->begin() + qsizetype(to));
        const auto rows = coordinator.storedValues(
            entity, store, range, { QStringLiteral("id"), QStringLiteral("json") });
        for (const auto& [key, values] :
            rows.value_or(std::vector<std::pair<qint64, QList<QVariant>>>())) {
            // As Rows::getData: a row that does not decode shows no values.
            read.ids.append(values.value(0).toString());
            read.values.append(
                Rows::decodeStoredData(values.value(1), layout, secret).value_or(QVariantMap()));
        }
    }
    return read;
}

void startRebuild(const std::shared_ptr<BackgroundRebuild>& job);

// On the main thread: what was read stands for the table's rows unless something was
// written since; rows changed here and not yet saved count as they are now.
void applyRebuild(const std::shared_ptr<BackgroundRebuild>& job, const ReadRows& read)
{
    platform::coredata::ManagedObjectContext* context = KivoLib::currentContext();
    const auto coordinator = job->coordinator.lock();
    const NotificationsController::Columns columns = job->liveColumns();
    if (!job->isLive(context) || columns.isEmpty() || context != job->context || !coordinator
        || context->persistentStoreCoordinator() != coordinator) {
        job->finish();
        return;
    }
    if (!(coordinator->changeCount() == job->changes)) {
        // A row may have changed after it was read: read again, or at last here.
        if (++job->attempt < RebuildAttempts) {
            startRebuild(job);
            return;
        }
        const QList<Rows*> rows = Rows::getRowFaults(idOf(job->table));
        NotificationsController::rebuildNotifications(columns, job->table, rows, job->secret);
        job->finish();
        return;
    }
    QStringList ids = read.ids;
    QList<QVariantMap> values = read.values;
    QHash<QString, qsizetype> placeOf;
    for (qsizetype i = 0; i < ids.size(); ++i)
        placeOf.insert(ids[i], i);
    const QString tableId = idOf(job->table);
    const auto pending = [&](const QList<platform::coredata::ManagedObject*>& objects) {
        for (platform::coredata::ManagedObject* object : objects) {
            auto* row = qobject_cast<Rows*>(object);
            if (!row || row->usertemplate_id().toString() != tableId)
                continue;
            const QString id = idOf(row);
            const auto place = placeOf.constFind(id);
            const QVariantMap now = row->getData(columns, job->secret);
            if (place != placeOf.constEnd()) {
                values[*place] = now;
            } else {
                placeOf.insert(id, ids.size());
                ids.append(id);
                values.append(now);
            }
        }
    };
    pending(context->insertedObjects());
    pending(context->updatedObjects());
    // A row deleted and not yet saved keeps no reminder.
    QSet<QString> gone;
    for (platform::coredata::ManagedObject* object : context->deletedObjects()) {
        if (auto* row = qobject_cast<Rows*>(object);
            row && row->usertemplate_id().toString() == tableId)
            gone.insert(idOf(row));
    }
    if (!gone.isEmpty()) {
        QStringList keptIds;
        QList<QVariantMap> keptValues;
        for (qsizetype i = 0; i < ids.size(); ++i) {
            if (gone.contains(ids[i]))
                continue;
            keptIds.append(ids[i]);
            keptValues.append(values[i]);
        }
        ids = keptIds;
        values = keptValues;
    }
    NotificationsController::rebuildForRows(columns, job->table, ids,
        [&values](qsizetype i) -> const QVariantMap& { return values[i]; });
    job->finish();
}

void startRebuild(const std::shared_ptr<BackgroundRebuild>& job)
{
    platform::coredata::ManagedObjectContext* context = KivoLib::currentContext();
    const auto& coordinator = context ? context->persistentStoreCoordinator() : nullptr;
    const platform::coredata::EntityDescription* entity
        = coordinator ? coordinator->managedObjectModel()->entity(Rows::entityName()) : nullptr;
    if (!job->isLive(context) || !coordinator || !entity || job->table->objectID().isTemporary()) {
        job->finish();
        return;
    }
    job->context = context;
    job->coordinator = coordinator;
    job->changes = coordinator->changeCount();
    const QString store = job->table->objectID().storeIdentifier;
    const QString tableId = idOf(job->table);
    // Without a reminder column no row's values are looked at: the rebuild only cancels.
    const NotificationsController::Columns columns = job->liveColumns();
    const bool readsRows = std::any_of(columns.cbegin(), columns.cend(), isReminderColumn);
    platform::dispatch::asyncGlobal(
        [job, reader = std::weak_ptr(coordinator), entity, store, tableId, readsRows] {
            ReadRows read;
            if (const auto coordinator = reader.lock(); coordinator && readsRows)
                read = readRows(*coordinator, *entity, store, tableId, *job->detached, job->secret);
            platform::dispatch::asyncMain([job, read = std::move(read)] {
                try {
                    applyRebuild(job, read);
                } catch (const std::exception& exception) {
                    DebugHelper::singleton().logException(exception, false);
                    job->finish();
                }
            });
        },
        platform::dispatch::Priority::Low);
}

// Calls `rebuild` with the columns of every table that is not protected (their values
// can't be read without the password) and answers the ids of all tables, protected
// ones included, whose reminders are to be kept.
QStringList forEachUnprotectedTable(
    const std::function<void(const NotificationsController::Columns&, UserTemplate*)>& rebuild)
{
    QStringList valid;
    for (Database* database : Database::getDatabases()) {
        for (UserTemplate* table : UserTemplate::getUserTemplates(idOf(database))) {
            valid.append(idOf(table));
            if (isSet(table->isprotected()))
                continue;
            rebuild(TemplateColumn::getColumns(table->template_id().toString()), table);
        }
    }
    return valid;
}

} // namespace

void NotificationsController::rebuildNotificationsInBackground(const Columns& columns,
    UserTemplate* userTemplate, const Password& secret, std::function<void()> done)
{
    auto job = std::make_shared<BackgroundRebuild>();
    job->table = userTemplate;
    for (TemplateColumn* column : columns)
        job->columns.append(column);
    job->detached = std::make_shared<const DetachedColumns>(columns);
    job->secret = secret;
    job->done = std::move(done);
    startRebuild(job);
}

void NotificationsController::rebuildAllNotifications()
{
    platform::dispatch::asyncMain([] {
        try {
            rebuildAllNotificationsInMainThread();
        } catch (const std::exception& exception) {
            DebugHelper::singleton().logException(exception, false);
        }
    });
}

void NotificationsController::rebuildAllNotificationsInMainThread()
{
    // With no store loaded every table would look deleted and lose its reminders.
    if (!KivoLib::currentContext())
        return;
    removeInvalidNotifications(
        forEachUnprotectedTable([](const Columns& columns, UserTemplate* table) {
            const QList<Rows*> rows = Rows::getRows(idOf(table), columns, {}, {}, std::nullopt);
            rebuildNotifications(columns, table, rows, std::nullopt);
        }));
}

void NotificationsController::rebuildAllNotificationsInBackground()
{
    if (!KivoLib::currentContext())
        return;
    removeInvalidNotifications(
        forEachUnprotectedTable([](const Columns& columns, UserTemplate* table) {
            rebuildNotificationsInBackground(columns, table, std::nullopt);
        }));
}

void NotificationsController::removeInvalidNotifications(const QStringList& validUserTemplateIds)
{
    const QSet<QString> valid(validUserTemplateIds.begin(), validUserTemplateIds.end());
    auto& center = platform::LocalNotifications::shared();
    for (const LocalNotification& notification : center.scheduledLocalNotifications()) {
        if (!valid.contains(notification.userInfo.value(TemplateKey).toString()))
            center.cancelLocalNotification(notification);
    }
}

void NotificationsController::rescheduleNotification(
    Rows* row, const Columns& columns, const Password& secret, UserTemplate* usertemplate)
{
    if (!row)
        return;
    cancelNotifications(idOf(row));
    scheduleNotification(row, columns, secret, usertemplate);
}

void NotificationsController::cancelNotifications(const QString& rowId)
{
    auto& center = platform::LocalNotifications::shared();
    for (const LocalNotification& notification : center.scheduledLocalNotifications()) {
        if (notification.userInfo.value(RowKey).toString() == rowId)
            center.cancelLocalNotification(notification);
    }
}
