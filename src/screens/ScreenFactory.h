#pragma once

#include <QString>

#include <memory>

class BridgeScreenData;
class Parent;

// The one place where a screen id becomes a screen record. Ids it does not know go to
// the bridge screen factory (the file browsers, else a bare record).
class ScreenFactory {
public:
    ScreenFactory() = delete;

    // Never null.
    static std::shared_ptr<BridgeScreenData> GetScreen(
        const QString& screenId, const std::shared_ptr<Parent>& parent);

    // Makes this factory the one the application's delegate asks (GetScreen), and the
    // cloud documents store the one the screens save into; done once at start-up.
    static void install();
};
