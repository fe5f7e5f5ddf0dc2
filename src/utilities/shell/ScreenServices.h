#pragma once

#include "utilities/shell/ScreenRecord.h"

#include <QString>

#include <memory>

// What the foundation needs of the application screens above it: the record of a screen
// id. The screens layer installs the one implementation, its screen factory, when the
// application starts; until then no id has a record.
class ScreenServices {
public:
    virtual ~ScreenServices();

    // The record of the screen id, built for the link of the screen that asks (null at
    // the root); never null for an installed factory.
    virtual std::shared_ptr<ScreenRecord> GetScreen(
        const QString& screenId, const std::shared_ptr<ScreenLink>& parent)
        = 0;

    // The installed services, or null.
    static ScreenServices* instance();
    static void install(std::unique_ptr<ScreenServices> services);
};
