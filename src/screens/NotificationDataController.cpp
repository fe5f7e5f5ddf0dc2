#include "screens/NotificationDataController.h"

#include "grid/ContainsPredicate.h"
#include "grid/ExportMenuHost.h"
#include "grid/GridData.h"
#include "model/NotificationsController.h"
#include "model/TemplateColumn.h"
#include "platform/Dispatch.h"
#include "platform/LocalNotifications.h"
#include "platform/ui/ViewController.h"
#include "reports/NotificationReportDataSource.h"
#include "reports/ReportController.h"
#include "screens/ScreenHost.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/KivoDateUtils.h"
#include "utilities/text/LocalizedStrings.h"

#include <QPointer>
#include <QScopeGuard>

#include <algorithm>

const QString NotificationDataController::ReminderKey = QStringLiteral("Reminder");
const QString NotificationDataController::DateKey = QStringLiteral("Date");

namespace {

const QString kImage = QStringLiteral("reminder");

QString dateText(const QVariant& date)
{
    return KivoDateUtils::getDateTimeString(date.toDateTime());
}

} // namespace

NotificationDataController::NotificationDataController() = default;

NotificationDataController::~NotificationDataController() = default;

void NotificationDataController::loadData(const std::shared_ptr<Parent>&)
{
    setRows(loadDataFromNotifications());
}

QDateTime NotificationDataController::getNextFireDate(
    const platform::LocalNotification& notification, const QDateTime& now)
{
    QDateTime next = notification.occurrence(0);
    if (!next.isValid())
        return {};
    if (now > next && notification.repeatInterval != platform::LocalNotification::NoRepeat) {
        // Counted from the fire date each time, so a monthly one on the 31st comes back on
        // the 31st; a first guess skips the years of steps an old daily one would take.
        qint64 step = 0;
        if (notification.repeatInterval == platform::LocalNotification::DayCalendarUnit)
            step = std::max<qint64>(0, next.daysTo(now) - 1);
        else if (notification.repeatInterval == platform::LocalNotification::WeekCalendarUnit)
            step = std::max<qint64>(0, next.daysTo(now) / 7 - 1);
        for (QDateTime at = notification.occurrence(step); at.isValid();
             at = notification.occurrence(++step)) {
            next = at;
            if (!(now > next))
                break;
        }
    }
    return now > next ? QDateTime() : next;
}

QVariantList NotificationDataController::loadDataFromNotifications()
{
    auto& center = platform::LocalNotifications::shared();
    const QDateTime now = center.now();
    QVariantList found;
    qsizetype longest = 0;
    for (const platform::LocalNotification& notification : center.scheduledLocalNotifications()) {
        const QDateTime next = getNextFireDate(notification, now);
        if (!next.isValid())
            continue;
        found.append(QVariantMap { { ReminderKey, notification.alertBody }, { DateKey, next } });
        longest = std::max(longest, notification.alertBody.size());
    }
    const unsigned reminderWidth = longest == 0
        ? EmptyReminderWidth
        : unsigned(std::min<qsizetype>(longest, MaximumReminderWidth));
    m_columnWidths = { TemplateColumn::widthForLenght(reminderWidth),
        TemplateColumn::widthForLenght(DateWidth) };
    std::stable_sort(found.begin(), found.end(), [](const QVariant& a, const QVariant& b) {
        return a.toMap().value(DateKey).toDateTime() < b.toMap().value(DateKey).toDateTime();
    });
    return found;
}

std::shared_ptr<GridData> NotificationDataController::getGridData(qint64 index)
{
    const QVariant row = getRowData(index);
    auto data = std::make_shared<GridData>(row.toMap().value(ReminderKey).toString(), kImage);
    data->Data = row;
    return data;
}

void NotificationDataController::searchData(const QString& text)
{
    const auto predicate = std::make_shared<ContainsPredicate>(text);
    filterRows(text, [predicate](const QVariant& row) {
        const QVariantMap values = row.toMap();
        return predicate->evaluate(QStringLiteral("%1 %2").arg(
            values.value(ReminderKey).toString(), dateText(values.value(DateKey))));
    });
}

QStringList NotificationDataController::columnHeaders() const
{
    return { LocalizedStrings::Reminder(), LocalizedStrings::Date() };
}

QList<double> NotificationDataController::columnWidths() const
{
    return m_columnWidths;
}

QStringList NotificationDataController::columnValues(qint64 index)
{
    const QVariantMap row = getRowData(index).toMap();
    if (row.isEmpty())
        return {};
    return { row.value(ReminderKey).toString(), dateText(row.value(DateKey)) };
}

QStringList NotificationDataController::getTilesRows(qint64 index)
{
    return columnValues(index);
}

void NotificationDataController::shareTouched(platform::ui::Control*)
{
    auto* host = dynamic_cast<ExportMenuHost*>(viewController());
    if (!host)
        return;
    m_reportDataSource = std::make_shared<NotificationReportDataSource>(this);
    m_reportController = ReportController::create(host, m_reportDataSource);
    m_reportController->showMenu();
}

void NotificationDataController::refresh(platform::ui::Control*)
{
    ScreenHost* host = dynamic_cast<ScreenHost*>(viewController());
    try {
        if (host)
            host->showHud();
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
        return;
    }
    // In a later turn, so the overlay is on screen while the rebuild runs.
    QPointer<platform::ui::ViewController> screen(viewController());
    platform::dispatch::asyncMain([self = QPointer(this), screen] {
        const auto hide = qScopeGuard([&] {
            if (auto* shown = dynamic_cast<ScreenHost*>(screen.data()))
                shown->hideHud();
            if (self)
                self->refreshView();
        });
        try {
            NotificationsController::rebuildAllNotificationsInMainThread();
        } catch (const std::exception& exception) {
            MessageHelper::ShowException(exception);
        }
    });
}
