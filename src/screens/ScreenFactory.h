#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class BridgeScreenData;
class Parent;

// The one place where a screen id becomes a screen record: a fixed table of the
// application's screens, tested in its order. Ids it does not know go to the bridge
// screen factory (the file browsers, else a bare record). On a tablet the grid screens
// of records, and the bridge factory's, also get the columns button (37).
//
// How the screens hang together: the first screen is "SCREEN_BRIDGE" (the databases); a
// database's row opens "Home" (its user tables) through "Menu", and a table's row opens
// "Template Rows" (that table's rows). "Databases" is the databases screen again, opened
// from Home's settings menu.
class ScreenFactory {
public:
    ScreenFactory() = delete;

    // Never null.
    static std::shared_ptr<BridgeScreenData> GetScreen(
        const QString& screenId, const std::shared_ptr<Parent>& parent);

    // The ids of the table, in the order they are tested.
    static QStringList screenIds();

    // Makes this factory the one the application's delegate asks (GetScreen), the cloud
    // documents store the one the screens save into, the screens' classes known by name,
    // the storyboard's grid screens the application's own, and the reminders kept through
    // local notifications; done once at start-up.
    static void install();
    // Makes the data controllers and row views of this layer known to the class registry.
    static void registerClasses();

    // Screen ids.
    static const QString Home; // "Home"
    static const QString ColorTable; // the system colour table definition's id
    static const QString ColorSelector; // "Color Selector"
    static const QString TemplateRows; // "Template Rows"
    static const QString Templates; // "Templates"
    static const QString TemplateColumns; // "Template Columns"
    static const QString InQueryGeneral; // "SCREEN_INQUERY_GENERAL"
    static const QString SortGeneral; // "SCREEN_SORT_GENERA"
    static const QString Bridge; // "SCREEN_BRIDGE"
    static const QString Databases; // "Databases"
    static const QString DownloadTemplates; // "Download Templates"
    static const QString ListImageSelector; // "List Image Selector"
    static const QString Reminders; // "Reminders"

    // Segues.
    static const QString MenuSegue; // "Menu"
    static const QString Menus1Segue; // "Menus1"
};
