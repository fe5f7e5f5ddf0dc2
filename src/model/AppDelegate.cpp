#include "model/AppDelegate.h"

#include "model/CloudStoreManager.h"
#include "model/Database.h"
#include "model/DefaultContent.h"
#include "model/KivotabPrefernces.h"
#include "platform/Dispatch.h"
#include "platform/Folders.h"
#include "platform/LocalNotifications.h"
#include "platform/Product.h"
#include "platform/UserDefaults.h"
#include "platform/coredata/ManagedObject.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Application.h"
#include "platform/ui/Device.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"
#include "style/Theme.h"
#include "style/UIColor_Expanded.h"
#include "utilities/shell/BaseViewControllerProtocol.h"
#include "utilities/shell/CloudStoreProtocol.h"
#include "utilities/shell/DebugHelper.h"
#include "utilities/shell/HudProtocol.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/shell/RatePromptServices.h"
#include "utilities/shell/UncaughtExceptionHandler.h"
#include "utilities/store/JSONRecordWriter.h"
#include "utilities/store/StoreStack.h"
#include "utilities/text/LocalizedStrings.h"
#include "utilities/text/StringsLanguage.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QSaveFile>
#include <QTimer>

#include <atomic>

namespace cd = platform::coredata;
using platform::ui::AlertView;

const QString AppDelegate::StoreName = QStringLiteral("Kivotab");
const QString AppDelegate::LocalStoreTitle = QStringLiteral("Local Store Problem");
const QString AppDelegate::LocalStoreMessage
    = QStringLiteral("Your datastore got corrupted and needs to be recreated.");
const QString AppDelegate::RecreateButton = QStringLiteral("Recreate");
const QString AppDelegate::CorruptionTitle = QStringLiteral("iCloud Store Corruption");
// The line feeds make room for the spinner.
const QString AppDelegate::HealingMessage
    = QStringLiteral("\n\n\n\nRebuilding cloud store to resolve corruption.");
const QString AppDelegate::CorruptedMessage
    = QStringLiteral("\n\n\n\nWaiting for another device to auto-correct the problem...");
const QString AppDelegate::DisableCloudButton = QStringLiteral("Disable iCloud");
const QString AppDelegate::FixNowButton = QStringLiteral("Fix Now");
const QString AppDelegate::WarningTitle = QStringLiteral("Fix iCloud Now");
const QString AppDelegate::WarningMessage = QStringLiteral(
    "This problem can usually be auto\u2011corrected by opening the app on another device where "
    "you recently made changes.\nIf you wish to correct the problem from this device anyway, it "
    "is possible that recent changes on another device will be lost.");
const QString AppDelegate::BackButton = QStringLiteral("Back");
const QString AppDelegate::FixAnywayButton = QStringLiteral("Fix Anyway");
const QString AppDelegate::UnsavedChangesFile = QStringLiteral("Unsaved changes %1.json");
const QString AppDelegate::UnsavedChangesKept
    = QStringLiteral("The changes could not be saved before the store changed. They were kept "
                     "in \u201c%1\u201d in the Documents folder.");
const QString AppDelegate::UnsavedChangesLost
    = QStringLiteral("The changes could not be saved before the store changed, and could not "
                     "be kept in the Documents folder either.");

namespace {

// Where the spinner of the corruption alerts sits on the alert's card.
constexpr double kSpinnerCenterY = 90.0;

QVariant colorFromDictionary(const QVariant& dictionary)
{
    const QString text = dictionary.toMap().value(DefaultContent::ColorValueColumnId).toString();
    if (text.isEmpty())
        return {};
    const auto color = UIColor_Expanded::colorWithString(text);
    return color ? QVariant::fromValue(*color) : QVariant();
}

bool isShowing(const QPointer<AlertView>& alert)
{
    return alert && alert->isVisible();
}

} // namespace

AppDelegate::AppDelegate(QObject* parent)
    : KivoAppDelegate(parent)
{
}

AppDelegate::~AppDelegate()
{
    shutdown();
}

AppDelegate* AppDelegate::ApplicationDelegate()
{
    return qobject_cast<AppDelegate*>(KivoAppDelegate::ApplicationDelegate());
}

// ---------------------------------------------------------------------------------------
// Launch

bool AppDelegate::didFinishLaunching()
{
    // The crash handler comes first, so a failure in any later step is caught by it.
    installCrashHandler();
    configureRatePrompt();
    makeSettings();
    // The strings table of this run; a language chosen in the settings shows next start.
    StringsLanguage::load();
    makeStyle();
    tellRatePromptLaunched();
    applyStatusBarStyle();
    writeVersion();
    redirectDebugLog();
    m_cloudChosenAtLaunch
        = platform::UserDefaults::standard().boolForKey(CloudStoreManager::CloudEnabledKey);
    makeStoreManager();
    observeStore();
    waitForStore();
    return true;
}

void AppDelegate::installCrashHandler()
{
    installUncaughtExceptionHandler();
}

void AppDelegate::configureRatePrompt()
{
    RatePromptServices* prompt = RatePromptServices::instance();
    if (!prompt)
        return;
    prompt->setAppId(getAppid());
    prompt->setDaysUntilPrompt(DaysUntilPrompt);
    prompt->setUsesUntilPrompt(UsesUntilPrompt);
    prompt->setSignificantEventsUntilPrompt(SignificantEventsUntilPrompt);
    prompt->setTimeBeforeReminding(TimeBeforeReminding);
}

void AppDelegate::makeSettings()
{
    setCurrentPreferences(std::make_shared<KivotabPrefernces>());
    KivotabPrefernces::registerDefaults();
}

void AppDelegate::makeStyle()
{
    setCurrentStyle(Theme::getDefaultTheme());
}

void AppDelegate::tellRatePromptLaunched()
{
    if (RatePromptServices* prompt = RatePromptServices::instance())
        prompt->appLaunched(true);
}

void AppDelegate::applyStatusBarStyle()
{
    if (auto* style = dynamic_cast<Theme*>(currentStyle()))
        style->applyStyleToStatusBar();
}

void AppDelegate::writeVersion()
{
    setVestionInSettings();
}

void AppDelegate::redirectDebugLog()
{
    Preferences* settings = currentPreferences();
    if (settings && settings->debug())
        DebugHelper::singleton().logToFile();
}

void AppDelegate::makeStoreManager()
{
    platform::Error error;
    std::unique_ptr<StoreStack> made = StoreStack::make(&error);
    if (!made) {
        // Without the model there is no store: the screens find nothing.
        MessageHelper::ShowError(error);
        return;
    }
    m_model = made->model();
    m_stack = made.get();
    StoreStack::install(std::move(made));
    m_cloudStoreManager
        = CloudStoreManager::initStoreNamed(StoreName, m_model, {}, {}, {}, {}, this);
}

void AppDelegate::observeStore()
{
    if (!m_cloudStoreManager)
        return;
    auto& center = platform::NotificationCenter::defaultCenter();
    const void* sender = m_cloudStoreManager.get();
    m_observers << center.addObserver(CloudStoreManager::StoreWillChangeNotification, sender,
        [this](const platform::Notification& note) { resetFetchedResults(note); });
    m_observers << center.addObserver(CloudStoreManager::StoreDidChangeNotification, sender,
        [this](const platform::Notification& note) { reloadFetchedResults(note); });
    m_observers << center.addObserver(CloudStoreManager::StoreDidImportChangesNotification, sender,
        [this](const platform::Notification& note) { reloadFetchedResults(note); });
}

void AppDelegate::waitForStore()
{
    const bool cloud = m_cloudStoreManager && m_cloudChosenAtLaunch;
    const int wait = cloud ? CloudLaunchWaitMs : LocalLaunchWaitMs;
    QPointer<AppDelegate> self(this);
    auto finished = std::make_shared<bool>(false);
    auto done = [self, finished] {
        if (*finished || !self)
            return;
        *finished = true;
        self->finishLaunching();
    };
    if (m_launchWait) {
        m_launchWait(wait, [done] { platform::dispatch::asyncMain(done); });
        return;
    }
    // The event loop runs while the store loads: the window never stops answering.
    if (m_storeReady || !m_cloudStoreManager) {
        platform::dispatch::asyncMain(done);
        return;
    }
    QTimer::singleShot(wait, this, done);
    connect(this, &AppDelegate::storeReady, this, done, Qt::SingleShotConnection);
}

void AppDelegate::finishLaunching()
{
    if (m_shutDown)
        return;
    m_launched = true;
    // Reminders that came due while the application was not running arrive now.
    QPointer<AppDelegate> self(this);
    platform::LocalNotifications::shared().start(
        [self](const platform::LocalNotification& notification) {
            if (self)
                self->didReceiveLocalNotification(notification);
        });
    emit launchFinished();
}

void AppDelegate::shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    platform::LocalNotifications::shared().stop();
    auto& center = platform::NotificationCenter::defaultCenter();
    for (auto token : std::as_const(m_observers))
        center.removeObserver(token);
    m_observers.clear();
    if (m_cloudStoreManager) {
        m_cloudStoreManager->setDelegate(nullptr);
        // A job that took the delegate before it was cleared may still be waiting for the
        // main queue: let the queue come past this point with the main queue running.
        auto passed = std::make_shared<std::atomic<bool>>(false);
        m_cloudStoreManager->enqueue([passed] { *passed = true; }, false, false);
        while (!*passed)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    unloadContext();
    // The stores close with the manager.
    m_cloudStoreManager.reset();
    if (m_stack && StoreStack::instance() == m_stack)
        StoreStack::install(nullptr);
    m_stack = nullptr;
    for (const auto& alert :
        { m_corruptedAlert, m_healingAlert, m_warningAlert, m_localStoreAlert })
        if (alert)
            alert->setDelegate(nullptr);
}

// ---------------------------------------------------------------------------------------
// Application

bool AppDelegate::openURL(const QUrl& url)
{
    if (url.isEmpty())
        return true;
    const QString name = QFileInfo(url.path()).fileName();
    MessageHelper::ShowMessage(
        QStringLiteral("%1 %2").arg(name, LocalizedStrings::SaveSuccess()), platform::Error());
    return true;
}

void AppDelegate::didReceiveLocalNotification(const platform::LocalNotification& notification)
{
    MessageHelper::ShowMessage(notification.alertBody, platform::Error());
    platform::ui::Application::shared().setApplicationIconBadgeNumber(
        notification.applicationIconBadgeNumber - 1);
}

// ---------------------------------------------------------------------------------------
// Store stack and settings

StoreStack* AppDelegate::stack() const
{
    return m_stack && StoreStack::instance() == m_stack ? m_stack : nullptr;
}

std::shared_ptr<const cd::ManagedObjectModel> AppDelegate::managedObjectModel() const
{
    if (!m_model) {
        if (auto made = StoreStack::make())
            m_model = made->model();
    }
    return m_model;
}

std::shared_ptr<cd::PersistentStoreCoordinator> AppDelegate::persistentStoreCoordinator() const
{
    return nullptr;
}

bool AppDelegate::saveContext()
{
    cd::ManagedObjectContext* context = managedObjectContext();
    if (!context)
        return false;
    if (!context->hasChanges())
        return true;
    platform::Error error;
    bool saved = false;
    context->performBlockAndWait([&] { saved = context->save(&error); });
    if (saved)
        return true;
    if (error.isNull())
        error = platform::Error::withDescription(QStringLiteral("NSCocoaErrorDomain"), 134030,
            QStringLiteral("The changes could not be saved."));
    MessageHelper::ShowError(error);
    return false;
}

KivotabPrefernces* AppDelegate::kivotabPreferences() const
{
    return qobject_cast<KivotabPrefernces*>(currentPreferences());
}

QString AppDelegate::getAppid()
{
    return QString::fromLatin1(Product::identifier);
}

QString AppDelegate::getKivotabUrl(const QString& path, bool isSecure)
{
    return QStringLiteral("%1://%2/kivotab/%3")
        .arg(isSecure ? QStringLiteral("https") : QStringLiteral("http"), WebSiteHost, path);
}

// ---------------------------------------------------------------------------------------
// Colours and screens

QVariant AppDelegate::barColor() const
{
    KivotabPrefernces* settings = kivotabPreferences();
    return settings ? colorFromDictionary(settings->barthemeColor()) : QVariant();
}

QVariant AppDelegate::imageColor() const
{
    KivotabPrefernces* settings = kivotabPreferences();
    return settings ? colorFromDictionary(settings->imagethemeColor()) : QVariant();
}

QVariant AppDelegate::tilesColor() const
{
    KivotabPrefernces* settings = kivotabPreferences();
    return settings ? colorFromDictionary(settings->tilesthemeColor()) : QVariant();
}

bool AppDelegate::cloudAvailable() const
{
    return m_cloudStoreManager && m_cloudStoreManager->cloudAvailable()
        && m_cloudStoreManager->cloudEnabled();
}

bool AppDelegate::cloudEnabled() const
{
    return m_cloudStoreManager && m_cloudStoreManager->cloudEnabled();
}

void AppDelegate::hideHud()
{
    if (auto* hud = dynamic_cast<HudProtocol*>(currentViewController()))
        hud->hideHud();
}

void AppDelegate::setCloudStoreManager(std::shared_ptr<CloudStoreManager> manager)
{
    m_cloudStoreManager = std::move(manager);
}

Database* AppDelegate::database() const
{
    return m_database;
}

void AppDelegate::setDatabase(Database* database)
{
    m_database = database;
}

platform::ui::Window* AppDelegate::window() const
{
    return platform::ui::Application::shared().keyWindow();
}

// ---------------------------------------------------------------------------------------
// Store callbacks

void AppDelegate::cloudStoreManagerWillLoadStoreIsCloud(CloudStoreManager&, bool)
{
    // The store's queue waits while the main thread saves, so nothing of the old store is
    // lost to the change.
    QPointer<AppDelegate> self(this);
    platform::dispatch::syncMain([self] {
        if (self)
            self->unloadContext();
    });
}

void AppDelegate::unloadContext()
{
    StoreStack* current = stack();
    cd::ManagedObjectContext* context = current ? current->context() : nullptr;
    if (!context)
        return;
    if (context->hasChanges()) {
        platform::Error error;
        if (!context->save(&error))
            keepUnsavedChanges(*context, error);
    }
    // From here until the next load there is no context: fetches find nothing.
    m_database = nullptr;
    current->dropContext();
}

void AppDelegate::keepUnsavedChanges(
    cd::ManagedObjectContext& context, const platform::Error& error)
{
    DebugHelper::singleton().logError(error, false);
    QList<cd::ManagedObject*> objects = context.insertedObjects();
    objects += context.updatedObjects();
    const QByteArray records = JSONRecordWriter::write(objects);
    const QString name = UnsavedChangesFile.arg(
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH.mm.ss.zzz")));
    QSaveFile file(platform::Folders::documents() + '/' + name);
    const bool kept = !records.isNull() && file.open(QIODevice::WriteOnly)
        && file.write(records) == records.size() && file.commit();
    MessageHelper::ShowMessage(kept ? UnsavedChangesKept.arg(name) : UnsavedChangesLost, error);
}

void AppDelegate::cloudStoreManagerDidLoadStoreForCoordinator(
    CloudStoreManager&, const std::shared_ptr<cd::PersistentStoreCoordinator>& coordinator, bool)
{
    QPointer<AppDelegate> self(this);
    // The context is there before the manager says the store changed.
    platform::dispatch::syncMain([self, coordinator] {
        if (self)
            self->makeContext(coordinator);
    });
    platform::dispatch::asyncMain([self] {
        if (self)
            self->storeDidLoad();
    });
}

void AppDelegate::makeContext(const std::shared_ptr<cd::PersistentStoreCoordinator>& coordinator)
{
    if (StoreStack* current = stack())
        current->makeContext(coordinator);
}

void AppDelegate::storeDidLoad()
{
    if (m_shutDown)
        return;
    for (AlertView* alert : { m_corruptedAlert.data(), m_warningAlert.data() }) {
        if (alert && alert->isVisible())
            alert->dismissWithClickedButtonIndex(alert->cancelButtonIndex(), true);
    }
    KivotabPrefernces* settings = kivotabPreferences();
    if (settings && !settings->defaultTemplatesLoaded() && managedObjectContext()) {
        // Marked loaded only when it was: a load that failed is tried again at the next.
        if (Database::loadDefaultTemplates())
            settings->setDefaultTemplatesLoaded(true);
        else
            DebugHelper::singleton().logMessage(
                QStringLiteral("The default table definitions could not all be loaded."));
        if (auto* screen = dynamic_cast<BaseViewControllerProtocol*>(currentViewController()))
            screen->refreshView();
    }
    markStoreReady();
}

void AppDelegate::markStoreReady()
{
    if (m_storeReady)
        return;
    m_storeReady = true;
    emit storeReady();
}

cd::ManagedObjectContext* AppDelegate::cloudStoreManagerManagedObjectContextForUbiquityChanges(
    CloudStoreManager& manager, const platform::Notification&)
{
    // Asked on the main queue, where the context lives; none once shutting down began.
    if (m_shutDown || !platform::dispatch::isMainThread())
        return nullptr;
    return managedObjectContextForUbiquityChangesInManager(manager);
}

cd::ManagedObjectContext* AppDelegate::managedObjectContextForUbiquityChangesInManager(
    CloudStoreManager&)
{
    return managedObjectContext();
}

void AppDelegate::cloudStoreManagerFailedLoadingStoreWithCause(
    CloudStoreManager&, qint32, const QVariant&, bool wasCloud)
{
    QPointer<AppDelegate> self(this);
    platform::dispatch::asyncMain([self, wasCloud] {
        if (!self)
            return;
        self->hideHud();
        self->markStoreReady();
        // The manager answers a cloud failure itself.
        if (wasCloud || isShowing(self->m_localStoreAlert))
            return;
        self->m_localStoreAlert
            = self->showAlert(LocalStoreTitle, LocalStoreMessage, {}, { RecreateButton }, false);
    });
}

bool AppDelegate::cloudStoreManagerHandleCloudContentCorruptionWithHealthyStore(
    CloudStoreManager&, bool healthy)
{
    QPointer<AppDelegate> self(this);
    platform::dispatch::asyncMain([self, healthy] {
        if (!self)
            return;
        if (healthy) {
            if (isShowing(self->m_healingAlert))
                return;
            self->hideHud();
            self->m_healingAlert = self->showAlert(
                CorruptionTitle, HealingMessage, {}, { DisableCloudButton }, true);
            return;
        }
        if (isShowing(self->m_healingAlert) || isShowing(self->m_warningAlert))
            return;
        self->hideHud();
        self->showCorruptedAlert();
    });
    return healthy;
}

void AppDelegate::cloudStoreManagerLog(CloudStoreManager&, const QString& message)
{
    DebugHelper::singleton().logMessage(message);
}

// ---------------------------------------------------------------------------------------
// Store notifications

void AppDelegate::resetFetchedResults(const platform::Notification&)
{
    tellScreens(false);
}

void AppDelegate::reloadFetchedResults(const platform::Notification&)
{
    tellScreens(true);
}

void AppDelegate::tellScreens(bool loaded)
{
    // The navigation stack belongs to the main thread: it is read there.
    QPointer<AppDelegate> self(this);
    platform::dispatch::asyncMain([self, loaded] {
        if (!self || self->m_shutDown)
            return;
        platform::ui::ViewController* current = self->currentViewController();
        if (!current)
            return;
        auto* navigation = current->navigationController();
        if (!navigation)
            navigation = qobject_cast<platform::ui::NavigationController*>(current);
        const QList<platform::ui::ViewController*> stack = navigation
            ? navigation->viewControllers()
            : QList<platform::ui::ViewController*> { current };
        for (platform::ui::ViewController* controller : stack) {
            if (!dynamic_cast<CloudStoreProtocol*>(controller))
                continue;
            QPointer<platform::ui::ViewController> screen(controller);
            platform::dispatch::asyncMain([screen, loaded] {
                auto* store = dynamic_cast<CloudStoreProtocol*>(screen.data());
                if (!store)
                    return;
                if (loaded)
                    store->cloudStoreLoaded();
                else
                    store->cloudStoreUnloaded();
            });
        }
    });
}

// ---------------------------------------------------------------------------------------
// Alerts

AlertView* AppDelegate::showAlert(const QString& title, const QString& message,
    const QString& cancel, const QStringList& others, bool spinner)
{
    auto* alert = new AlertView(title, message, this, cancel, others);
    if (spinner) {
        auto* indicator = new platform::ui::ActivityIndicatorView(
            platform::ui::ActivityIndicatorView::Style::WhiteLarge);
        // White does not show on the light card of our alerts.
        indicator->setColor(QColor(110, 110, 110));
        indicator->startAnimating();
        alert->setAccessoryView(indicator, kSpinnerCenterY);
    }
    alert->show();
    platform::ui::Device::current().endIgnoringInteractionEvents();
    return alert;
}

AlertView* AppDelegate::showCorruptedAlert()
{
    m_corruptedAlert = showAlert(
        CorruptionTitle, CorruptedMessage, {}, { DisableCloudButton, FixNowButton }, true);
    return m_corruptedAlert;
}

void AppDelegate::alertViewClickedButtonAtIndex(AlertView* alert, int buttonIndex)
{
    if (!alert)
        return;
    const int first = alert->firstOtherButtonIndex();
    if (alert == m_healingAlert) {
        if (buttonIndex == first && m_cloudStoreManager)
            m_cloudStoreManager->setCloudEnabled(false);
        return;
    }
    if (alert == m_corruptedAlert) {
        if (buttonIndex == first && m_cloudStoreManager)
            m_cloudStoreManager->setCloudEnabled(false);
        else if (buttonIndex == first + 1)
            m_warningAlert
                = showAlert(WarningTitle, WarningMessage, BackButton, { FixAnywayButton }, false);
        return;
    }
    if (alert == m_warningAlert) {
        if (buttonIndex == alert->cancelButtonIndex())
            showCorruptedAlert();
        else if (buttonIndex == first && m_cloudStoreManager)
            m_cloudStoreManager->rebuildCloudContentFromCloudStoreOrLocalStore(true);
        return;
    }
    if (alert == m_localStoreAlert && buttonIndex == first) {
        if (m_cloudStoreManager)
            m_cloudStoreManager->deleteLocalStore();
        // The new, empty store gets the default content again.
        if (KivotabPrefernces* settings = kivotabPreferences())
            settings->setDefaultTemplatesLoaded(false);
    }
}
