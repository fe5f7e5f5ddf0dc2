#include "screens/ApplicationState.h"

#include "model/AppDelegate.h"
#include "model/CloudStoreManager.h"
#include "model/Database.h"
#include "model/KivotabPrefernces.h"
#include "screens/ReminderScheduler.h"
#include "utilities/shell/KivoAppDelegate.h"

#include <QPointer>

const QString ApplicationState::SystemDatabaseId
    = QStringLiteral("0A839837-0816-4DEE-9490-3F22311F4F9E");

namespace {

struct State {
    QPointer<Database> database;
    std::unique_ptr<KivotabPrefernces> preferences;
    std::weak_ptr<CloudStoreManager> cloudStoreManager;
    std::shared_ptr<ReminderScheduler> reminders;
};

State& state()
{
    static State shared;
    return shared;
}

} // namespace

Database* ApplicationState::database()
{
    // The application's delegate keeps it when there is one.
    AppDelegate* delegate = AppDelegate::ApplicationDelegate();
    Database* database = delegate ? delegate->database() : state().database.data();
    // An object the store let go of (a reload, a rollback of its insertion) is no longer
    // the database of anything on screen.
    if (database && !database->managedObjectContext())
        return nullptr;
    return database;
}

void ApplicationState::setDatabase(Database* database)
{
    if (AppDelegate* delegate = AppDelegate::ApplicationDelegate())
        delegate->setDatabase(database);
    state().database = database;
}

KivotabPrefernces* ApplicationState::preferences()
{
    if (auto* own = qobject_cast<KivotabPrefernces*>(
            KivoAppDelegate::ApplicationDelegate()->currentPreferences()))
        return own;
    auto& fallback = state().preferences;
    if (!fallback)
        fallback = std::make_unique<KivotabPrefernces>();
    return fallback.get();
}

std::shared_ptr<CloudStoreManager> ApplicationState::cloudStoreManager()
{
    if (const auto manager = state().cloudStoreManager.lock())
        return manager;
    AppDelegate* delegate = AppDelegate::ApplicationDelegate();
    return delegate ? delegate->cloudStoreManager() : nullptr;
}

void ApplicationState::setCloudStoreManager(const std::shared_ptr<CloudStoreManager>& manager)
{
    state().cloudStoreManager = manager;
}

ReminderScheduler* ApplicationState::reminders()
{
    return state().reminders.get();
}

void ApplicationState::setReminders(std::shared_ptr<ReminderScheduler> reminders)
{
    state().reminders = std::move(reminders);
}

void ApplicationState::reset()
{
    state().database = nullptr;
    state().preferences.reset();
    state().cloudStoreManager.reset();
    state().reminders.reset();
}
