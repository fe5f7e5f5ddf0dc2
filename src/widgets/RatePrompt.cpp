#include "widgets/RatePrompt.h"

#include <limits>

#include "platform/Date.h"
#include "platform/Dispatch.h"
#include "platform/NotificationCenter.h"
#include "platform/Product.h"
#include "platform/StringFormat.h"
#include "platform/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/shell/RatePromptServices.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/RatePromptDelegate.h"

#include <QCoreApplication>
#include <QNetworkInformation>
#include <QTcpSocket>

#include <mutex>

const QString RatePrompt::CurrentVersionKey = QStringLiteral("kRatePromptCurrentVersion");
const QString RatePrompt::FirstUseDateKey = QStringLiteral("kRatePromptFirstUseDate");
const QString RatePrompt::UseCountKey = QStringLiteral("kRatePromptUseCount");
const QString RatePrompt::SignificantEventCountKey
    = QStringLiteral("kRatePromptSignificantEventCount");
const QString RatePrompt::RatedCurrentVersionKey = QStringLiteral("kRatePromptRatedCurrentVersion");
const QString RatePrompt::DeclinedToRateKey = QStringLiteral("kRatePromptDeclinedToRate");
const QString RatePrompt::ReminderRequestDateKey = QStringLiteral("kRatePromptReminderRequestDate");
const QString RatePrompt::StringsTable = QStringLiteral("RatePromptLocalizable");

namespace {

const QString kReviewTemplate
    = QStringLiteral("https://apps.apple.com/app/id%1?action=write-review");
const QString kDefaultTitle = QStringLiteral("Rate %@");
const QString kDefaultMessage
    = QStringLiteral("If you enjoy using %@, would you mind taking a moment to rate it? It won't "
                     "take more than a minute. Thanks for your support!");
const QString kDefaultCancel = QStringLiteral("No, Thanks");
const QString kDefaultRate = QStringLiteral("Rate %@");
const QString kDefaultRateLater = QStringLiteral("Remind me later");
const QString kRateFailed
    = QStringLiteral("The review page could not be opened; you will be asked again later.");
constexpr double kSecondsPerDay = 86400.0;
constexpr int kSiteCheckTimeout = 5000;

struct Configuration {
    QString appId;
    double daysUntilPrompt = 30;
    int usesUntilPrompt = 20;
    int significantEvents = -1;
    double timeBeforeReminding = 1;
    bool debug = false;
    bool usesAnimation = true;
    bool alwaysUseMainBundle = false;
    bool openInAppStore = true;
    RatePromptDelegate* delegate = nullptr;
    QString title, message, cancel, rate, rateLater;
    std::function<double()> clock;
    std::function<bool()> reachable;
    QString version;
};

// The configuration, and one lock for each read-modify-write of the stored state.
std::mutex g_configMutex;
std::mutex g_stateMutex;

Configuration& config()
{
    static Configuration instance;
    return instance;
}

template<class T> T configured(T Configuration::*member)
{
    std::lock_guard lock(g_configMutex);
    return config().*member;
}

template<class T> void configure(T Configuration::*member, T value)
{
    std::lock_guard lock(g_configMutex);
    config().*member = std::move(value);
}

double now()
{
    const auto clock = configured(&Configuration::clock);
    return clock ? clock() : QDateTime::currentMSecsSinceEpoch() / 1000.0;
}

void log(const QString& text)
{
    if (RatePrompt::debug())
        qInfo().noquote() << text;
}

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standard();
}

// The application's name in the prompt's texts.
QString withName(const QString& text)
{
    return platform::formatObjects(text, { QString::fromLatin1(Product::name) });
}

QString text(QString Configuration::*custom, const QString& english)
{
    const QString set = configured(custom);
    if (!set.isNull())
        return set;
    return withName(LocalizedStrings::getLocalizedString(english, RatePrompt::StringsTable));
}

QPointer<platform::ui::AlertView>& shownAlert()
{
    static QPointer<platform::ui::AlertView> alert;
    return alert;
}

// Counts one of the two counters for the application's version; a new version starts
// everything afresh. The caller holds the state lock.
void count(const QString& counterKey, bool useCount)
{
    auto& store = defaults();
    const QString version = RatePrompt::currentVersion();
    QString tracked = store.stringForKey(RatePrompt::CurrentVersionKey);
    if (tracked.isEmpty()) {
        tracked = version;
        store.setObject(RatePrompt::CurrentVersionKey, version);
    }
    log(QStringLiteral("RATEPROMPT Tracking version: %1").arg(tracked));
    if (tracked == version) {
        if (useCount && store.doubleForKey(RatePrompt::FirstUseDateKey) == 0)
            store.setObject(RatePrompt::FirstUseDateKey, now());
        // A count at the top of its range (a damaged or hand-edited setting) stays there.
        const qint64 stored = store.integerForKey(counterKey);
        const qint64 value = stored < std::numeric_limits<qint64>::max() ? stored + 1 : stored;
        store.setObject(counterKey, value);
        log((useCount ? QStringLiteral("RATEPROMPT Use count: %1")
                      : QStringLiteral("RATEPROMPT Significant event count: %1"))
                .arg(value));
        return;
    }
    store.setObject(RatePrompt::CurrentVersionKey, version);
    store.setObject(RatePrompt::FirstUseDateKey, useCount ? now() : 0.0);
    store.setObject(RatePrompt::UseCountKey, useCount ? 1 : 0);
    store.setObject(RatePrompt::SignificantEventCountKey, useCount ? 0 : 1);
    store.setBool(RatePrompt::RatedCurrentVersionKey, false);
    store.setBool(RatePrompt::DeclinedToRateKey, false);
    store.setObject(RatePrompt::ReminderRequestDateKey, 0.0);
}

void remindLater()
{
    std::lock_guard lock(g_stateMutex);
    defaults().setObject(RatePrompt::ReminderRequestDateKey, now());
}

template<class Call> void tellDelegate(Call call)
{
    if (RatePromptDelegate* delegate = RatePrompt::delegate())
        call(delegate);
}

// The prompt as the application's start-up reaches it.
class PromptServices : public RatePromptServices {
public:
    void setAppId(const QString& appId) override { RatePrompt::setAppId(appId); }
    void setDaysUntilPrompt(double days) override { RatePrompt::setDaysUntilPrompt(days); }
    void setUsesUntilPrompt(int uses) override { RatePrompt::setUsesUntilPrompt(uses); }
    void setSignificantEventsUntilPrompt(int events) override
    {
        RatePrompt::setSignificantEventsUntilPrompt(events);
    }
    void setTimeBeforeReminding(double days) override { RatePrompt::setTimeBeforeReminding(days); }
    void appLaunched(bool canPromptForRating) override
    {
        RatePrompt::appLaunched(canPromptForRating);
    }
};

} // namespace

void RatePrompt::setAppId(const QString& appId)
{
    configure(&Configuration::appId, appId);
}

void RatePrompt::setDaysUntilPrompt(double days)
{
    configure(&Configuration::daysUntilPrompt, days);
}

void RatePrompt::setUsesUntilPrompt(int uses)
{
    configure(&Configuration::usesUntilPrompt, uses);
}

void RatePrompt::setSignificantEventsUntilPrompt(int events)
{
    configure(&Configuration::significantEvents, events);
}

void RatePrompt::setTimeBeforeReminding(double days)
{
    configure(&Configuration::timeBeforeReminding, days);
}

void RatePrompt::setDebug(bool debug)
{
    configure(&Configuration::debug, debug);
}

void RatePrompt::setUsesAnimation(bool animation)
{
    configure(&Configuration::usesAnimation, animation);
}

void RatePrompt::setAlwaysUseMainBundle(bool useMainBundle)
{
    configure(&Configuration::alwaysUseMainBundle, useMainBundle);
}

void RatePrompt::setDelegate(RatePromptDelegate* delegate)
{
    configure(&Configuration::delegate, delegate);
}

void RatePrompt::setCustomAlertTitle(const QString& title)
{
    configure(&Configuration::title, title);
}

void RatePrompt::setCustomAlertMessage(const QString& message)
{
    configure(&Configuration::message, message);
}

void RatePrompt::setCustomAlertCancelButtonTitle(const QString& title)
{
    configure(&Configuration::cancel, title);
}

void RatePrompt::setCustomAlertRateButtonTitle(const QString& title)
{
    configure(&Configuration::rate, title);
}

void RatePrompt::setCustomAlertRateLaterButtonTitle(const QString& title)
{
    configure(&Configuration::rateLater, title);
}

void RatePrompt::setOpenInAppStore(bool open)
{
    configure(&Configuration::openInAppStore, open);
}

QString RatePrompt::appId()
{
    return configured(&Configuration::appId);
}

double RatePrompt::daysUntilPrompt()
{
    return configured(&Configuration::daysUntilPrompt);
}

int RatePrompt::usesUntilPrompt()
{
    return configured(&Configuration::usesUntilPrompt);
}

int RatePrompt::significantEventsUntilPrompt()
{
    return configured(&Configuration::significantEvents);
}

double RatePrompt::timeBeforeReminding()
{
    return configured(&Configuration::timeBeforeReminding);
}

bool RatePrompt::debug()
{
    return configured(&Configuration::debug);
}

RatePromptDelegate* RatePrompt::delegate()
{
    return configured(&Configuration::delegate);
}

QString RatePrompt::reviewURL()
{
    return kReviewTemplate.arg(appId());
}

QString RatePrompt::alertTitle()
{
    return text(&Configuration::title, kDefaultTitle);
}

QString RatePrompt::alertMessage()
{
    return text(&Configuration::message, kDefaultMessage);
}

QString RatePrompt::alertCancelTitle()
{
    return text(&Configuration::cancel, kDefaultCancel);
}

QString RatePrompt::alertRateTitle()
{
    return text(&Configuration::rate, kDefaultRate);
}

QString RatePrompt::alertRateLaterTitle()
{
    return text(&Configuration::rateLater, kDefaultRateLater);
}

void RatePrompt::setClock(std::function<double()> clock)
{
    configure(&Configuration::clock, std::move(clock));
}

void RatePrompt::setReachability(std::function<bool()> reachable)
{
    configure(&Configuration::reachable, std::move(reachable));
}

void RatePrompt::setVersion(const QString& version)
{
    configure(&Configuration::version, version);
}

QString RatePrompt::currentVersion()
{
    const QString set = configured(&Configuration::version);
    return set.isEmpty() ? QCoreApplication::applicationVersion() : set;
}

int RatePrompt::useCount()
{
    return int(defaults().integerForKey(UseCountKey));
}

QDateTime RatePrompt::firstUseDate()
{
    const double seconds = defaults().doubleForKey(FirstUseDateKey);
    // A damaged or hand-written setting may hold a time no date holds: that is no first use.
    return seconds > 0 && seconds <= platform::Date::MaximumSeconds
        ? QDateTime::fromMSecsSinceEpoch(qint64(seconds * 1000))
        : QDateTime();
}

bool RatePrompt::ratingConditionsHaveBeenMet()
{
    if (debug())
        return true;
    std::lock_guard lock(g_stateMutex);
    auto& store = defaults();
    const double time = now();
    // All six, in this order; the events threshold -1 always passes.
    if (time - store.doubleForKey(FirstUseDateKey) < daysUntilPrompt() * kSecondsPerDay)
        return false;
    if (store.integerForKey(UseCountKey) < usesUntilPrompt())
        return false;
    if (store.integerForKey(SignificantEventCountKey) < significantEventsUntilPrompt())
        return false;
    if (store.boolForKey(DeclinedToRateKey))
        return false;
    if (store.boolForKey(RatedCurrentVersionKey))
        return false;
    return time - store.doubleForKey(ReminderRequestDateKey)
        >= timeBeforeReminding() * kSecondsPerDay;
}

void RatePrompt::incrementUseCount()
{
    std::lock_guard lock(g_stateMutex);
    count(UseCountKey, true);
}

void RatePrompt::incrementSignificantEventCount()
{
    std::lock_guard lock(g_stateMutex);
    count(SignificantEventCountKey, false);
}

void RatePrompt::incrementAndRate(bool canPromptForRating)
{
    incrementUseCount();
    if (canPromptForRating && ratingConditionsHaveBeenMet() && connectedToNetwork())
        platform::dispatch::asyncMain([] { showRatingAlert(true); });
}

void RatePrompt::incrementSignificantEventAndRate(bool canPromptForRating)
{
    incrementSignificantEventCount();
    if (canPromptForRating && ratingConditionsHaveBeenMet() && connectedToNetwork())
        platform::dispatch::asyncMain([] { showRatingAlert(true); });
}

void RatePrompt::appLaunched(bool canPromptForRating)
{
    platform::dispatch::asyncGlobal([canPromptForRating] { incrementAndRate(canPromptForRating); },
        platform::dispatch::Priority::Background);
}

void RatePrompt::appEnteredForeground(bool canPromptForRating)
{
    appLaunched(canPromptForRating);
}

void RatePrompt::userDidSignificantEvent(bool canPromptForRating)
{
    platform::dispatch::asyncGlobal(
        [canPromptForRating] { incrementSignificantEventAndRate(canPromptForRating); },
        platform::dispatch::Priority::Background);
}

bool RatePrompt::userHasDeclinedToRate()
{
    return defaults().boolForKey(DeclinedToRateKey);
}

bool RatePrompt::userHasRatedCurrentVersion()
{
    return defaults().boolForKey(RatedCurrentVersionKey);
}

bool RatePrompt::connectedToNetwork()
{
    if (const auto reachable = configured(&Configuration::reachable))
        return reachable();
    if (QNetworkInformation* information = QNetworkInformation::instance()) {
        switch (information->reachability()) {
        case QNetworkInformation::Reachability::Online:
            return true;
        case QNetworkInformation::Reachability::Disconnected:
        case QNetworkInformation::Reachability::Local:
        case QNetworkInformation::Reachability::Site:
            return false;
        case QNetworkInformation::Reachability::Unknown:
            break;
        }
    }
    // Nothing says: the product's own site answering counts as online.
    QTcpSocket socket;
    socket.connectToHost(QString::fromLatin1(Product::webSiteHost), 443);
    const bool online = socket.waitForConnected(kSiteCheckTimeout);
    if (!online)
        log(QStringLiteral("RATEPROMPT %1 did not answer").arg(Product::webSiteHost));
    socket.abort();
    return online;
}

platform::ui::AlertView* RatePrompt::ratingAlert()
{
    return shownAlert();
}

void RatePrompt::showRatingAlert(bool displayRateLaterButton)
{
    if (shownAlert())
        return; // one prompt at a time
    QStringList others { alertRateTitle() };
    if (displayRateLaterButton)
        others.append(alertRateLaterTitle());
    auto* alert = new platform::ui::AlertView(
        alertTitle(), alertMessage(), nullptr, alertCancelTitle(), others);
    alert->setCallback(
        [](platform::ui::AlertView*, int index) { alertViewDidDismissWithButtonIndex(index); });
    shownAlert() = alert;
    alert->show();
    tellDelegate([](RatePromptDelegate* delegate) { delegate->ratePromptDidDisplayAlert(); });
}

void RatePrompt::hideRatingAlert()
{
    platform::ui::AlertView* alert = shownAlert();
    if (!alert || !alert->isVisible())
        return;
    log(QStringLiteral("RATEPROMPT Hiding Alert"));
    shownAlert() = nullptr;
    alert->dismissWithClickedButtonIndex(-1, false);
}

void RatePrompt::appWillResignActive()
{
    log(QStringLiteral("RATEPROMPT appWillResignActive"));
    hideRatingAlert();
}

void RatePrompt::tryToShowPrompt()
{
    showPromptWithChecks(true, true);
}

void RatePrompt::forceShowPrompt(bool displayRateLaterButton)
{
    showPromptWithChecks(false, displayRateLaterButton);
}

void RatePrompt::showPromptWithChecks(bool withChecks, bool displayRateLaterButton)
{
    if (!withChecks) {
        showRatingAlert(displayRateLaterButton);
        return;
    }
    // The network check may wait on the site: it runs off the main thread.
    platform::dispatch::asyncGlobal(
        [displayRateLaterButton] {
            if (!connectedToNetwork() || userHasDeclinedToRate() || userHasRatedCurrentVersion())
                return;
            platform::dispatch::asyncMain(
                [displayRateLaterButton] { showRatingAlert(displayRateLaterButton); });
        },
        platform::dispatch::Priority::Background);
}

void RatePrompt::alertViewDidDismissWithButtonIndex(int buttonIndex)
{
    shownAlert() = nullptr;
    switch (buttonIndex) {
    case 0: {
        std::lock_guard lock(g_stateMutex);
        defaults().setBool(DeclinedToRateKey, true);
    }
        tellDelegate([](RatePromptDelegate* delegate) { delegate->ratePromptDidDeclineToRate(); });
        break;
    case 1:
        if (rateApp())
            tellDelegate([](RatePromptDelegate* delegate) { delegate->ratePromptDidOptToRate(); });
        else
            tellDelegate(
                [](RatePromptDelegate* delegate) { delegate->ratePromptDidOptToRemindLater(); });
        break;
    case 2:
        remindLater();
        tellDelegate(
            [](RatePromptDelegate* delegate) { delegate->ratePromptDidOptToRemindLater(); });
        break;
    default:
        break; // hidden: no answer
    }
}

bool RatePrompt::rateApp()
{
    if (!platform::ui::Application::shared().openURL(QUrl(reviewURL()))) {
        remindLater();
        MessageHelper::ShowMessage(kRateFailed, true);
        return false;
    }
    std::lock_guard lock(g_stateMutex);
    defaults().setBool(RatedCurrentVersionKey, true);
    return true;
}

void RatePrompt::install()
{
    RatePromptServices::install(std::make_unique<PromptServices>());
    // Reachability is read off the main thread later; the backend is loaded here, once.
    if (!QNetworkInformation::instance())
        QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
    static platform::NotificationCenter::Token token = 0;
    if (!token)
        token = platform::NotificationCenter::defaultCenter().addObserver(
            platform::ui::Application::WillResignActiveNotification, nullptr,
            [](const platform::Notification&) { appWillResignActive(); }, true);
}
