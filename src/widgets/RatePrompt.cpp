#include "widgets/RatePrompt.h"

#include "platform/Dispatch.h"
#include "platform/UserDefaults.h"
#include "utilities/shell/RatePromptServices.h"

#include <mutex>

namespace {

const QString kUseCountKey = QStringLiteral("kRatePromptUseCount");
const QString kFirstUseKey = QStringLiteral("kRatePromptFirstUseDate");
const QString kEventCountKey = QStringLiteral("kRatePromptSignificantEventCount");
const QString kDeclinedKey = QStringLiteral("kRatePromptDeclinedToRate");
const QString kRatedKey = QStringLiteral("kRatePromptRatedCurrentVersion");
const QString kReminderKey = QStringLiteral("kRatePromptReminderRequestDate");
const QString kReviewTemplate
    = QStringLiteral("https://apps.apple.com/app/id%1?action=write-review");
constexpr double kSecondsPerDay = 86400.0;

struct Configuration {
    QString appId;
    double daysUntilPrompt = 30;
    int usesUntilPrompt = 20;
    int significantEvents = -1;
    double timeBeforeReminding = 1;
    std::function<void()> handler;
};

std::mutex g_mutex;

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
Configuration& config()
{
    static Configuration instance;
    return instance;
}

} // namespace

void RatePrompt::setAppId(const QString& appId)
{
    std::lock_guard lock(g_mutex);
    config().appId = appId;
}

void RatePrompt::setDaysUntilPrompt(double days)
{
    std::lock_guard lock(g_mutex);
    config().daysUntilPrompt = days;
}

void RatePrompt::setUsesUntilPrompt(int uses)
{
    std::lock_guard lock(g_mutex);
    config().usesUntilPrompt = uses;
}

void RatePrompt::setSignificantEventsUntilPrompt(int events)
{
    std::lock_guard lock(g_mutex);
    config().significantEvents = events;
}

void RatePrompt::setTimeBeforeReminding(double days)
{
    std::lock_guard lock(g_mutex);
    config().timeBeforeReminding = days;
}

QString RatePrompt::appId()
{
    std::lock_guard lock(g_mutex);
    return config().appId;
}

double RatePrompt::daysUntilPrompt()
{
    std::lock_guard lock(g_mutex);
    return config().daysUntilPrompt;
}

int RatePrompt::usesUntilPrompt()
{
    std::lock_guard lock(g_mutex);
    return config().usesUntilPrompt;
}

int RatePrompt::significantEventsUntilPrompt()
{
    std::lock_guard lock(g_mutex);
    return config().significantEvents;
}

double RatePrompt::timeBeforeReminding()
{
    std::lock_guard lock(g_mutex);
    return config().timeBeforeReminding;
}

QString RatePrompt::reviewURL()
{
    return kReviewTemplate.arg(appId());
}

int RatePrompt::useCount()
{
    return int(platform::UserDefaults::standard().integerForKey(kUseCountKey));
}

QDateTime RatePrompt::firstUseDate()
{
    const double seconds = platform::UserDefaults::standard().doubleForKey(kFirstUseKey);
    return seconds > 0 ? QDateTime::fromMSecsSinceEpoch(qint64(seconds * 1000)) : QDateTime();
}

bool RatePrompt::ratingConditionsHaveBeenMet()
{
    auto& defaults = platform::UserDefaults::standard();
    if (defaults.boolForKey(kDeclinedKey) || defaults.boolForKey(kRatedKey))
        return false;
    const QDateTime first = firstUseDate();
    if (!first.isValid())
        return false;
    const double now = QDateTime::currentMSecsSinceEpoch() / 1000.0;
    if (now - first.toMSecsSinceEpoch() / 1000.0 < daysUntilPrompt() * kSecondsPerDay)
        return false;
    const double reminder = defaults.doubleForKey(kReminderKey);
    if (reminder > 0 && now - reminder < timeBeforeReminding() * kSecondsPerDay)
        return false;
    const bool usesMet = useCount() >= usesUntilPrompt();
    const int events = significantEventsUntilPrompt();
    const bool eventsMet = events >= 0 && defaults.integerForKey(kEventCountKey) >= events;
    return usesMet || eventsMet;
}

void RatePrompt::setPromptHandler(std::function<void()> handler)
{
    std::lock_guard lock(g_mutex);
    config().handler = std::move(handler);
}

void RatePrompt::appLaunched(bool canPromptForRating)
{
    platform::dispatch::asyncGlobal(
        [canPromptForRating] {
            auto& defaults = platform::UserDefaults::standard();
            if (defaults.doubleForKey(kFirstUseKey) <= 0)
                defaults.setObject(kFirstUseKey, QDateTime::currentMSecsSinceEpoch() / 1000.0);
            defaults.setObject(kUseCountKey, defaults.integerForKey(kUseCountKey) + 1);
            if (!canPromptForRating || !ratingConditionsHaveBeenMet())
                return;
            std::function<void()> handler;
            {
                std::lock_guard lock(g_mutex);
                handler = config().handler;
            }
            if (handler)
                platform::dispatch::asyncMain(handler);
        },
        platform::dispatch::Priority::Low);
}

void RatePrompt::install()
{
    RatePromptServices::install(std::make_unique<PromptServices>());
}
