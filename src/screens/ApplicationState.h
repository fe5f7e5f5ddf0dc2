#pragma once

#include <QString>

#include <memory>

class CloudStoreManager;
class Database;
class KivotabPrefernces;
class ReminderScheduler;

// What the screens keep of the application beside its delegate: the database they have
// open, the product's settings, the store manager and the reminders. Main thread.
class ApplicationState {
public:
    ApplicationState() = delete;

    // The open database; null when none is open or it went with its store.
    static Database* database();
    static void setDatabase(Database* database);

    // The delegate's settings when they are the product's, else the product's settings
    // over the same user defaults. Never null.
    static KivotabPrefernces* preferences();

    // The store manager (held weakly); null while there is none.
    static std::shared_ptr<CloudStoreManager> cloudStoreManager();
    static void setCloudStoreManager(const std::shared_ptr<CloudStoreManager>& manager);

    // The reminders; null while none is installed.
    static ReminderScheduler* reminders();
    static void setReminders(std::shared_ptr<ReminderScheduler> reminders);

    // Forgets all of it (tests).
    static void reset();

    // The system database, which holds the colour table.
    static const QString SystemDatabaseId; // "0A839837-0816-4DEE-9490-3F22311F4F9E"
};
