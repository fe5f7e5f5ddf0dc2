#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

// The rate-the-app prompt's configuration and its use counting. appLaunched counts one
// use on a low-priority background queue and, when the thresholds are met and the flag
// allows it, offers the prompt on the main queue.
class RatePrompt {
public:
    RatePrompt() = delete;

    static void setAppId(const QString& appId);
    static void setDaysUntilPrompt(double days);
    static void setUsesUntilPrompt(int uses);
    // -1 turns the significant-events trigger off.
    static void setSignificantEventsUntilPrompt(int events);
    static void setTimeBeforeReminding(double days);
    static void appLaunched(bool canPromptForRating);

    static QString appId();
    static double daysUntilPrompt();
    static int usesUntilPrompt();
    static int significantEventsUntilPrompt();
    static double timeBeforeReminding();
    // The store page the prompt opens.
    static QString reviewURL();

    // Recorded uses and the first use of this version (user defaults).
    static int useCount();
    static QDateTime firstUseDate();
    // True when the days and uses (or events) thresholds are met.
    static bool ratingConditionsHaveBeenMet();
    // Offers the prompt; the widgets' prompt screen installs what is shown.
    static void setPromptHandler(std::function<void()> handler);

    // Makes this prompt the one the application's start-up configures and tells of the
    // launch (RatePromptServices); done once at start-up.
    static void install();
};
