#include "widgets/RatePrompt.h"
#include "common/TestSupport.h"
#include "platform/Dispatch.h"
#include "platform/NotificationCenter.h"
#include "platform/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "widgets/RatePromptDelegate.h"

#include <gtest/gtest.h>
#include <limits>

#include <thread>

namespace {

constexpr double kDay = 86400;
constexpr double kStart = 1.8e9;

class RecordingDelegate : public RatePromptDelegate {
public:
    void ratePromptDidDisplayAlert() override { events << "displayed"; }
    void ratePromptDidDeclineToRate() override { events << "declined"; }
    void ratePromptDidOptToRate() override { events << "rate"; }
    void ratePromptDidOptToRemindLater() override { events << "later"; }
    QStringList events;
};

struct RatePromptTest : ::testing::Test {
    double now = kStart;
    bool online = true;
    bool storeOpens = true;
    QStringList opened;
    RecordingDelegate delegate;

    void SetUp() override
    {
        RatePrompt::setAppId("123456789");
        RatePrompt::setDaysUntilPrompt(15);
        RatePrompt::setUsesUntilPrompt(10);
        RatePrompt::setSignificantEventsUntilPrompt(-1);
        RatePrompt::setTimeBeforeReminding(2);
        RatePrompt::setDebug(false);
        RatePrompt::setVersion("1.0");
        RatePrompt::setClock([this] { return now; });
        RatePrompt::setReachability([this] { return online; });
        RatePrompt::setDelegate(&delegate);
        platform::ui::Application::shared().setOpenURLHandler([this](const QUrl& url) {
            opened << url.toString();
            return storeOpens;
        });
    }
    void TearDown() override
    {
        for (platform::ui::AlertView* alert : platform::ui::AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(-1, false);
        testsupport::processEvents(10);
        RatePrompt::setClock({});
        RatePrompt::setReachability({});
        RatePrompt::setVersion({});
        RatePrompt::setDelegate(nullptr);
        platform::ui::Application::shared().setOpenURLHandler({});
        platform::ui::Application::shared().reset();
    }

    // One launch as the application makes it, waited for.
    bool launch()
    {
        RatePrompt::appLaunched(true);
        platform::dispatch::waitForGlobal();
        testsupport::processEvents(20);
        return RatePrompt::ratingAlert() != nullptr;
    }
    void answer(int index)
    {
        ASSERT_NE(RatePrompt::ratingAlert(), nullptr);
        RatePrompt::ratingAlert()->clickButtonAtIndex(index);
        testsupport::processEvents(20);
    }
    static platform::UserDefaults& defaults() { return platform::UserDefaults::standard(); }
};

} // namespace

TEST_F(RatePromptTest, FirstAskedAtTheTenthUseOnceFifteenDaysHavePassedAndOnline)
{
    for (int use = 1; use <= 9; ++use) {
        now = kStart + use * 2 * kDay; // the ninth use on day 18
        EXPECT_FALSE(launch()) << use;
    }
    online = false;
    EXPECT_FALSE(launch()); // the tenth use, offline
    EXPECT_EQ(RatePrompt::useCount(), 10);
    online = true;
    EXPECT_TRUE(launch());
    EXPECT_EQ(delegate.events, QStringList({ "displayed" }));

    platform::ui::AlertView* alert = RatePrompt::ratingAlert();
    EXPECT_EQ(alert->title(), "Rate Kivotab");
    EXPECT_TRUE(alert->message().startsWith("If you enjoy using Kivotab, would you mind"));
    QStringList buttons;
    for (int i = 0; i < alert->numberOfButtons(); ++i)
        buttons << alert->buttonTitleAtIndex(i);
    EXPECT_EQ(buttons, QStringList({ "No, Thanks", "Rate Kivotab", "Remind me later" }));
}

TEST_F(RatePromptTest, EachConditionAloneHoldsThePromptBack)
{
    RatePrompt::setSignificantEventsUntilPrompt(3);
    auto satisfy = [this] {
        defaults().setObject(RatePrompt::FirstUseDateKey, now - 15 * kDay);
        defaults().setObject(RatePrompt::UseCountKey, 10);
        defaults().setObject(RatePrompt::SignificantEventCountKey, 3);
        defaults().setBool(RatePrompt::DeclinedToRateKey, false);
        defaults().setBool(RatePrompt::RatedCurrentVersionKey, false);
        defaults().setObject(RatePrompt::ReminderRequestDateKey, now - 2 * kDay);
    };
    satisfy();
    EXPECT_TRUE(RatePrompt::ratingConditionsHaveBeenMet());
    const QList<std::pair<QString, QVariant>> spoilers { { RatePrompt::FirstUseDateKey,
                                                             now - 14.9 * kDay },
        { RatePrompt::UseCountKey, 9 }, { RatePrompt::SignificantEventCountKey, 2 },
        { RatePrompt::DeclinedToRateKey, true }, { RatePrompt::RatedCurrentVersionKey, true },
        { RatePrompt::ReminderRequestDateKey, now - 1.9 * kDay } };
    for (const auto& [key, value] : spoilers) {
        satisfy();
        defaults().setObject(key, value);
        EXPECT_FALSE(RatePrompt::ratingConditionsHaveBeenMet()) << key.toStdString();
    }
    // Uses alone no longer suffice when events are asked for, and -1 asks for none.
    satisfy();
    defaults().setObject(RatePrompt::SignificantEventCountKey, 0);
    EXPECT_FALSE(RatePrompt::ratingConditionsHaveBeenMet());
    RatePrompt::setSignificantEventsUntilPrompt(-1);
    EXPECT_TRUE(RatePrompt::ratingConditionsHaveBeenMet());
    defaults().setObject(RatePrompt::ReminderRequestDateKey, 0.0);
    EXPECT_TRUE(RatePrompt::ratingConditionsHaveBeenMet());
}

TEST_F(RatePromptTest, FirstUseDateOfADamagedSettingIsNoDate)
{
    defaults().setObject(RatePrompt::FirstUseDateKey, kStart + 0.0019);
    EXPECT_EQ(
        RatePrompt::firstUseDate(), QDateTime::fromMSecsSinceEpoch(qint64(kStart) * 1000 + 1));
    // Written by hand or damaged: a time no date holds is no first use.
    for (const QVariant& stored : { QVariant(1e300), QVariant(-1e300), QVariant(9.3e15),
             QVariant(qInf()), QVariant("1e300"), QVariant(0.0) }) {
        defaults().setObject(RatePrompt::FirstUseDateKey, stored);
        EXPECT_FALSE(RatePrompt::firstUseDate().isValid()) << stored.toString().toStdString();
    }
}

TEST_F(RatePromptTest, ACountAtTheTopOfItsRangeStaysThere)
{
    defaults().setObject(RatePrompt::CurrentVersionKey, "1.0");
    defaults().setObject(RatePrompt::FirstUseDateKey, now);
    defaults().setObject(RatePrompt::UseCountKey, std::numeric_limits<qint64>::max());
    launch();
    EXPECT_EQ(
        defaults().integerForKey(RatePrompt::UseCountKey), std::numeric_limits<qint64>::max());
}

TEST_F(RatePromptTest, RemindLaterWaitsTwoDaysWhileUsesKeepCounting)
{
    defaults().setObject(RatePrompt::CurrentVersionKey, "1.0");
    defaults().setObject(RatePrompt::FirstUseDateKey, now - 20 * kDay);
    defaults().setObject(RatePrompt::UseCountKey, 20);
    ASSERT_TRUE(launch());
    answer(2);
    EXPECT_EQ(defaults().doubleForKey(RatePrompt::ReminderRequestDateKey), now);
    EXPECT_EQ(delegate.events.last(), "later");
    now += 1.5 * kDay;
    EXPECT_FALSE(launch());
    now += 0.5 * kDay;
    EXPECT_TRUE(launch());
    EXPECT_EQ(RatePrompt::useCount(), 23);
}

TEST_F(RatePromptTest, NoThanksHoldsUntilTheVersionChanges)
{
    RatePrompt::setDebug(true); // every launch while online, whatever the counts
    ASSERT_TRUE(launch());
    answer(0);
    EXPECT_TRUE(RatePrompt::userHasDeclinedToRate());
    EXPECT_EQ(delegate.events.last(), "declined");
    RatePrompt::setDebug(false);
    defaults().setObject(RatePrompt::FirstUseDateKey, now - 30 * kDay);
    defaults().setObject(RatePrompt::UseCountKey, 30);
    EXPECT_FALSE(launch());

    RatePrompt::setVersion("1.1");
    now += kDay;
    RatePrompt::incrementUseCount();
    EXPECT_EQ(defaults().stringForKey(RatePrompt::CurrentVersionKey), "1.1");
    EXPECT_EQ(RatePrompt::useCount(), 1);
    EXPECT_EQ(defaults().doubleForKey(RatePrompt::FirstUseDateKey), now);
    EXPECT_FALSE(RatePrompt::userHasDeclinedToRate());

    // A significant event of a newer version starts with no first use.
    RatePrompt::setVersion("1.2");
    RatePrompt::incrementSignificantEventCount();
    EXPECT_EQ(defaults().doubleForKey(RatePrompt::FirstUseDateKey), 0);
    EXPECT_EQ(RatePrompt::useCount(), 0);
    EXPECT_EQ(defaults().integerForKey(RatePrompt::SignificantEventCountKey), 1);
}

TEST_F(RatePromptTest, RatedOnlyOnceTheReviewPageWasHandedOver)
{
    RatePrompt::forceShowPrompt(false);
    ASSERT_NE(RatePrompt::ratingAlert(), nullptr);
    EXPECT_EQ(RatePrompt::ratingAlert()->numberOfButtons(), 2);
    storeOpens = false;
    answer(1);
    EXPECT_FALSE(RatePrompt::userHasRatedCurrentVersion());
    EXPECT_EQ(defaults().doubleForKey(RatePrompt::ReminderRequestDateKey), now);
    EXPECT_EQ(delegate.events.last(), "later");
    testsupport::processEvents(20);
    ASSERT_FALSE(platform::ui::AlertView::visibleAlerts().isEmpty());
    EXPECT_TRUE(platform::ui::AlertView::visibleAlerts().last()->message().contains("review page"));
    platform::ui::AlertView::visibleAlerts().last()->dismissWithClickedButtonIndex(0, false);

    storeOpens = true;
    RatePrompt::forceShowPrompt(true);
    answer(1);
    EXPECT_TRUE(RatePrompt::userHasRatedCurrentVersion());
    EXPECT_EQ(opened.last(), RatePrompt::reviewURL());
    EXPECT_TRUE(opened.last().contains("123456789"));
    EXPECT_EQ(delegate.events.last(), "rate");
}

TEST_F(RatePromptTest, ResigningActiveHidesThePromptWithoutAnAnswer)
{
    RatePrompt::install();
    RatePrompt::forceShowPrompt(true);
    ASSERT_NE(RatePrompt::ratingAlert(), nullptr);
    platform::NotificationCenter::defaultCenter().post(
        platform::ui::Application::WillResignActiveNotification);
    testsupport::processEvents(30);
    EXPECT_EQ(RatePrompt::ratingAlert(), nullptr);
    EXPECT_TRUE(platform::ui::AlertView::visibleAlerts().isEmpty());
    EXPECT_FALSE(RatePrompt::userHasDeclinedToRate());
    EXPECT_FALSE(RatePrompt::userHasRatedCurrentVersion());
    EXPECT_EQ(defaults().doubleForKey(RatePrompt::ReminderRequestDateKey), 0);
    EXPECT_EQ(delegate.events, QStringList({ "displayed" }));
}

TEST_F(RatePromptTest, CountsFromTwoThreadsAreAllKept)
{
    auto count = [] {
        for (int i = 0; i < 1000; ++i)
            RatePrompt::incrementUseCount();
    };
    std::thread first(count);
    std::thread second(count);
    first.join();
    second.join();
    EXPECT_EQ(RatePrompt::useCount(), 2000);
}
