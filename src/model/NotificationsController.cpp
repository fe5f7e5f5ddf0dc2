#include "model/NotificationsController.h"

#include "model/Database.h"
#include "model/Rows.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "model/UserTemplate.h"
#include "platform/Date.h"
#include "platform/Dispatch.h"
#include "platform/LocalNotifications.h"
#include "utilities/shell/DebugHelper.h"
#include "utilities/store/KivoLibContext.h"

#include <QHash>
#include <QSet>
#include <QTimeZone>

#include <exception>

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
    Columns tiles;
    for (TemplateColumn* column : columns) {
        if (column && isSet(column->intiles()))
            tiles.append(column);
    }
    const QVariantMap values = row->getData(columns, secret);
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
            { RowKey, idOf(row) },
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

    QHash<QString, Rows*> rowsById;
    for (Rows* row : rows) {
        if (row)
            rowsById.insert(idOf(row), row);
    }
    QHash<Rows*, QVariantMap> decoded;
    auto valuesOf = [&](Rows* row) -> const QVariantMap& {
        auto found = decoded.find(row);
        if (found == decoded.end())
            found = decoded.insert(row, row->getData(columns, secret));
        return *found;
    };

    QList<LocalNotification> cancel;
    QList<Rows*> marked;
    QSet<Rows*> markedSet;
    auto mark = [&](Rows* row) {
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
        Rows* row = rowsById.value(rowId);
        if (!row) {
            cancel.append(notification);
            continue;
        }
        // A column whose reminder was turned off keeps no notification.
        if (!reminderColumns.contains(columnId)) {
            cancel.append(notification);
            continue;
        }
        const QVariantMap& values = valuesOf(row);
        const bool same = values.value(Rows::reminderKey(columnId)).toString()
                == notification.userInfo.value(RepeatKey).toString()
            && dateOf(values.value(columnId)) == dateOf(notification.userInfo.value(DateKey));
        if (same) {
            covered.insert({ rowId, columnId });
        } else {
            cancel.append(notification);
            mark(row);
        }
    }
    for (Rows* row : rows) {
        if (!row || markedSet.contains(row))
            continue;
        const QString rowId = idOf(row);
        bool hasOne = false;
        for (const QString& columnId : std::as_const(reminderColumns))
            hasOne = hasOne || covered.contains({ rowId, columnId });
        if (!hasOne)
            mark(row);
    }
    for (const LocalNotification& notification : std::as_const(cancel))
        center.cancelLocalNotification(notification);
    for (Rows* row : std::as_const(marked))
        scheduleNotification(row, columns, secret, userTemplate);
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
    QStringList valid;
    for (Database* database : Database::getDatabases()) {
        for (UserTemplate* table : UserTemplate::getUserTemplates(idOf(database))) {
            valid.append(idOf(table));
            if (isSet(table->isprotected()))
                continue;
            const Columns columns = TemplateColumn::getColumns(table->template_id().toString());
            const QList<Rows*> rows = Rows::getRows(idOf(table), columns, {}, {}, std::nullopt);
            rebuildNotifications(columns, table, rows, std::nullopt);
        }
    }
    removeInvalidNotifications(valid);
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
