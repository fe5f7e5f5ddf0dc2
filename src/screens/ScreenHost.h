#pragma once

#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <functional>
#include <memory>

class FileBrowserProtocol;
class Parent;
class ScreenData;

// What the application's data controllers ask of their grid screen beyond
// GridScreenProtocol: the busy overlay, opening other screens, the options list, popups
// and the file browser. The application's grid screen implements it; a data controller
// finds it on its view controller and does without what it cannot reach.
class ScreenHost {
public:
    // A list of choices shown as a screen's options menu.
    struct OptionsList {
        // The list's own record ("List Image Selector", retitled).
        std::shared_ptr<ScreenData> screen;
        QStringList rows;
        // One image name per row.
        QStringList images;
        // Called with the chosen row's index.
        std::function<void(qint64 index)> handler;
        // On a tablet the list shows in a popup of this size at the origin, with a border;
        // an empty size pushes it on the screen's navigation stack.
        QSizeF popupSize;
    };

    virtual ~ScreenHost();

    // The screen's progress overlay: begin and end one busy period (counted); the forced
    // end hides it whatever the count.
    virtual void showHud() = 0;
    virtual void hideHud() = 0;
    virtual void forceHideHud() = 0;

    // Opens the screen of the id through the segue as this screen's child. The child's
    // link carries `data` as the chosen row when it is valid, else this screen's
    // selected row.
    virtual void showScreen(const QString& screenId, const QString& segue, const QVariant& data)
        = 0;
    virtual void showOptionsList(const OptionsList& list) = 0;
    // Closes whichever popup or popover the screen has open.
    virtual void dismissPopup() = 0;
    // A phone's popup screen named by the segue (the filter "InQuery", the "Sort").
    virtual void showPopup(const QString& popup, const QString& segue) = 0;
    // A tablet's: a grid screen of the id, linked to this one, in a bordered simple popup
    // of the size at the origin.
    virtual void showScreenInPopup(const QString& screenId, const QSizeF& size) = 0;
    // The local file browser, to open (save false) or to save a file; the delegate hears
    // of the choice.
    virtual void showLocalFileBrowser(bool save, const QString& defaultFileName,
        const QString& type, const QString& startupdir, const QString& title,
        FileBrowserProtocol* delegate)
        = 0;
    // The read-only form of one user-table row's values, pushed.
    virtual void showRowDetail(const QVariantMap& values) = 0;
    // Replaces the link of the screen that opened this one (after a store reload).
    virtual void setParentLink(std::shared_ptr<Parent> link) = 0;
};
