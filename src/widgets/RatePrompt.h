#pragma once

#include <QDateTime>
#include <QPointer>
#include <QString>

#include <functional>

class RatePromptDelegate;

namespace platform::ui {
class AlertView;
}

// The rate-the-app prompt. It counts the uses (launches) and significant events of the
// application's version and, once per version, when enough days, uses and events have
// passed and the machine is online, asks the user to rate the application: rate, no
// thanks, or remind me later. A new version starts the counts and answers afresh. The
// whole state is kept in the user defaults; each count is one locked read-modify-write,
// so counts from several threads are all kept. Counting and the network check run on a
// background queue; the alert on the main queue.
class RatePrompt {
public:
    RatePrompt() = delete;

    // Configuration (process-wide).
    static void setAppId(const QString& appId);
    static void setDaysUntilPrompt(double days);
    static void setUsesUntilPrompt(int uses);
    // -1 turns the significant-events condition off.
    static void setSignificantEventsUntilPrompt(int events);
    static void setTimeBeforeReminding(double days);
    static void setDebug(bool debug);
    static void setUsesAnimation(bool animation);
    static void setAlwaysUseMainBundle(bool useMainBundle);
    static void setDelegate(RatePromptDelegate* delegate);
    static void setCustomAlertTitle(const QString& title);
    static void setCustomAlertMessage(const QString& message);
    static void setCustomAlertCancelButtonTitle(const QString& title);
    static void setCustomAlertRateButtonTitle(const QString& title);
    static void setCustomAlertRateLaterButtonTitle(const QString& title);
    static void setOpenInAppStore(bool open);

    static QString appId();
    static double daysUntilPrompt();
    static int usesUntilPrompt();
    static int significantEventsUntilPrompt();
    static double timeBeforeReminding();
    static bool debug();
    static RatePromptDelegate* delegate();
    // The review page rating opens.
    static QString reviewURL();

    // The alert's texts: the custom ones, else the "RatePromptLocalizable" table's with
    // the application's name for "%@".
    static QString alertTitle();
    static QString alertMessage();
    static QString alertCancelTitle();
    static QString alertRateTitle();
    static QString alertRateLaterTitle();

    // Events: each counts one and then may prompt, off the main thread.
    static void appLaunched(bool canPromptForRating = true);
    static void appEnteredForeground(bool canPromptForRating);
    static void userDidSignificantEvent(bool canPromptForRating);
    // Prompts (with the remind-later button) unless offline, declined or rated.
    static void tryToShowPrompt();
    static void showPrompt() { tryToShowPrompt(); }
    // Prompts without any check.
    static void forceShowPrompt(bool displayRateLaterButton);
    // Hands the review page to the desktop; only then is this version marked rated.
    // When it cannot, the answer counts as remind me later and the user is told.
    static bool rateApp();
    // There is no store sheet: nothing is ever open to close.
    static void closeModal() { }
    static void appWillResignActive();

    // The parts of the work, callable on their own.
    static bool ratingConditionsHaveBeenMet();
    static void incrementUseCount();
    static void incrementSignificantEventCount();
    static void incrementAndRate(bool canPromptForRating);
    static void incrementSignificantEventAndRate(bool canPromptForRating);
    static bool userHasDeclinedToRate();
    static bool userHasRatedCurrentVersion();
    // From QNetworkInformation; when it cannot tell, whether the product's web site
    // answers. Never run on the main thread by the prompt itself.
    static bool connectedToNetwork();
    static void showRatingAlert(bool displayRateLaterButton = true);
    static void hideRatingAlert();
    static void showPromptWithChecks(bool withChecks, bool displayRateLaterButton);
    // The user's answer: 0 no thanks, 1 rate, 2 remind me later; anything else nothing.
    static void alertViewDidDismissWithButtonIndex(int buttonIndex);
    // The alert shown now, or null.
    static platform::ui::AlertView* ratingAlert();

    // Recorded uses and the first use of this version (user defaults).
    static int useCount();
    static QDateTime firstUseDate();

    // Tests: the clock (Unix seconds), the network answer and the version counted.
    static void setClock(std::function<double()> clock);
    static void setReachability(std::function<bool()> reachable);
    static void setVersion(const QString& version);
    static QString currentVersion();

    // Makes this prompt the one the application's start-up configures and tells of the
    // launch (RatePromptServices), and has it follow the application's activity; done once
    // at start-up on the main thread.
    static void install();

    static const QString CurrentVersionKey; // "kRatePromptCurrentVersion"
    static const QString FirstUseDateKey; // "kRatePromptFirstUseDate"
    static const QString UseCountKey; // "kRatePromptUseCount"
    static const QString SignificantEventCountKey; // "kRatePromptSignificantEventCount"
    static const QString RatedCurrentVersionKey; // "kRatePromptRatedCurrentVersion"
    static const QString DeclinedToRateKey; // "kRatePromptDeclinedToRate"
    static const QString ReminderRequestDateKey; // "kRatePromptReminderRequestDate"
    static const QString StringsTable; // "RatePromptLocalizable"
};
