#pragma once

#include <QString>

#include <memory>

// What the application's start-up needs of the rate-the-app prompt above it: its
// configuration and the launch count. The widgets layer installs the one implementation
// when the application starts; until then start-up configures no prompt.
class RatePromptServices {
public:
    virtual ~RatePromptServices();

    virtual void setAppId(const QString& appId) = 0;
    virtual void setDaysUntilPrompt(double days) = 0;
    virtual void setUsesUntilPrompt(int uses) = 0;
    // -1 turns the significant-events trigger off.
    virtual void setSignificantEventsUntilPrompt(int events) = 0;
    virtual void setTimeBeforeReminding(double days) = 0;
    // Counts one use and, when the flag allows it, may offer the prompt; returns at once.
    virtual void appLaunched(bool canPromptForRating) = 0;

    // The installed services, or null.
    static RatePromptServices* instance();
    static void install(std::unique_ptr<RatePromptServices> services);
};
