#pragma once

#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>

class FileBrowserProtocol;
class QObject;

namespace platform::ui {
class ViewController;
}

// What an export menu asks of the grid screen that opened it: its busy overlay, the list
// of the menu's choices, the file browsers, a reload after an import, and the screen
// itself (mail and previews go up over it). The grid's base screen implements it. Main
// thread.
class ExportMenuHost {
public:
    virtual ~ExportMenuHost();

    virtual platform::ui::ViewController* hostViewController() = 0;
    // The screen's data controller, as it is now.
    virtual QObject* hostDataController() = 0;

    // One busy period of the overlay of the screen on top of the grid's navigation stack
    // (when that screen has one); each showHud is ended by one hideHud.
    virtual void showHud() = 0;
    virtual void hideHud() = 0;

    // The menu: a list screen titled `title` whose rows are the texts with the images of
    // the same position. On a tablet it shows in a popup of `popupSize` from the screen's
    // origin, with a border; on a phone it is pushed. `select` gets the chosen position.
    virtual void showListMenu(const QString& title, const QStringList& texts,
        const QStringList& images, const QSizeF& popupSize, std::function<void(qint64)> select)
        = 0;
    // Closes the menu: the popup on a tablet; on a phone the stack goes back, animated, to
    // the screen the list was pushed over (a file browser opened from the list goes too).
    virtual void dismissListMenu() = 0;

    // The local (Documents) or cloud documents file browser, to open (`save` false) or to
    // save a file; `delegate` hears the chosen entry. Without a start folder it opens at
    // its top.
    virtual void showLocalFileBrowser(bool save, const QString& defaultFileName,
        const QString& type, const QString& startupDir, const QString& title,
        FileBrowserProtocol* delegate)
        = 0;
    virtual void showCloudFileBrowser(bool save, const QString& defaultFileName,
        const QString& type, const QString& startupDir, const QString& title,
        FileBrowserProtocol* delegate)
        = 0;

    // Reloads the rows and redraws.
    virtual void refreshView() = 0;
};
