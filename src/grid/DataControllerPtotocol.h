#pragma once

#include "platform/ui/Image.h"
#include "utilities/data/OrderedDictionary.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

class GridData;
class Parent;

namespace platform::ui {
class Control;
}

// What a screen's data controller may answer beyond the base's row access. Every method
// is optional: the default does what happens when a controller does not implement it,
// and where the caller must know, it asks responds...() first.
//
// The toolbar hooks (xxxTouched) run after the matching toolbar action has recorded its
// button code (see BaseDataController); each takes the tapped control, which may be null.
class DataControllerPtotocol {
public:
    virtual ~DataControllerPtotocol();

    // Toolbar hooks. homeTouched's default returns the owning screen to the root screen
    // (BaseDataController); the others do nothing.
    virtual void addTouched(platform::ui::Control* sender);
    virtual void editTouched(platform::ui::Control* sender);
    virtual void removeTouched(platform::ui::Control* sender);
    virtual void searchTouched(platform::ui::Control* sender);
    virtual void scriptTouched(platform::ui::Control* sender);
    virtual void dependentTouched(platform::ui::Control* sender);
    virtual void referenceTouched(platform::ui::Control* sender);
    virtual void homeTouched(platform::ui::Control* sender);
    virtual void sizeTouched(platform::ui::Control* sender);
    virtual void startTouched(platform::ui::Control* sender);
    virtual void stopTouched(platform::ui::Control* sender);
    virtual void noteTouched(platform::ui::Control* sender);
    virtual void historyTouched(platform::ui::Control* sender);
    virtual void unlockTouched(platform::ui::Control* sender);
    virtual void undoTouched(platform::ui::Control* sender);
    virtual void checkoutTouched(platform::ui::Control* sender);
    virtual void pauseTouched(platform::ui::Control* sender);
    virtual void restartTouched(platform::ui::Control* sender);
    virtual void suspendTouched(platform::ui::Control* sender);
    virtual void helpTouched(platform::ui::Control* sender);
    virtual void calendarTouched(platform::ui::Control* sender);
    virtual void detailTouched(platform::ui::Control* sender);
    virtual void settingsTouched(platform::ui::Control* sender);
    virtual void addeditdeleteTouched(platform::ui::Control* sender);
    virtual void saveTouched(platform::ui::Control* sender);
    virtual void openTouched(platform::ui::Control* sender);
    virtual void videoTouched(platform::ui::Control* sender);
    virtual void quickstartTouched(platform::ui::Control* sender);
    virtual void expandcollapseTouched(platform::ui::Control* sender);
    virtual void sortTouched(platform::ui::Control* sender);
    virtual void columnsTouched(platform::ui::Control* sender);
    virtual void orderTouched(platform::ui::Control* sender);
    virtual void chartTouched(platform::ui::Control* sender);
    virtual void mailTouched(platform::ui::Control* sender);
    virtual void shareTouched(platform::ui::Control* sender);
    virtual void filterTouched(platform::ui::Control* sender);
    virtual void applyTouched(platform::ui::Control* sender);
    virtual void sendicloudTouched(platform::ui::Control* sender);
    virtual void databaseTouched(platform::ui::Control* sender);

    // Sets the rows from the screen's breadcrumb link (null at the root).
    virtual void loadData(const std::shared_ptr<Parent>& parent);
    // A controller that loads in the background tells the grid itself when its rows
    // have come; the grid then does not wait for loadData.
    virtual bool isAsyncLoad();
    // What a grid item shows for the row at the index; null for nothing.
    virtual std::shared_ptr<GridData> getGridData(qint64 index);
    // The rows at [first, first + count) are about to be shown (the grid scrolls towards
    // them): a controller whose rows are costly to read may begin on them now. Called
    // between frames; nothing by default.
    virtual void prefetchRows(qint64 first, qint64 count);
    virtual void tapOnItem(qint64 index);
    virtual void tapOnDisclosure(qint64 index);
    // The screen's title.
    virtual QString getTitle();
    virtual bool respondsToGetTitle() const { return false; }
    // Tile buttons edit mode shows: any non-zero value the delete button, bit 2 also edit.
    virtual qint8 tilesButtons();
    // A row's icon: a ready image, else an image name; empty for the item's own image.
    virtual platform::ui::Image getDynamicUIImage(qint64 index);
    virtual bool respondsToGetDynamicUIImage() const { return false; }
    virtual QString getDynamicImage(qint64 index);
    // Image name of every row's tile (desktop-server tables).
    virtual QString getImage();
    // The rows were dragged into a new order: store it.
    virtual void itemsReorderd();
    virtual bool respondsToItemsReorderd() const { return false; }
    // Searches the rows for the text (the search bar's text while it is not empty).
    virtual void searchData(const QString& text);
    virtual void searchBarBookmarkClicked();
    // Two image names for the search bar's bookmark (normal, selected); empty: the default.
    virtual QStringList searchbarBookmarkImage();
    // Removal: whether the selected row may go (false stops it; the controller explains
    // itself), the confirmation's text, and the removal itself (true when it happened).
    virtual bool canDelete();
    virtual QString deleteMessage();
    virtual bool deleteRow();
    // Add and edit: a new record in its form; the selected row in its form, with a look
    // at the row first.
    virtual void addRow();
    virtual void editRow();
    virtual void beforeEdit(const QVariant& row);
    // A detail form's Save: stores the record (or values) and answers true when the form
    // may close; shows its own messages when it may not.
    virtual bool saveRow(const QVariant& row);
    // Paged desktop-server tables: loads the page in that direction ("First", "Previous",
    // "Next", "Laset"; false when nothing was asked for), and shows the reply's table at
    // that index of pickerData.
    virtual bool navigatePage(const QString& direction);
    virtual void selectTable(int index);
    // The ordering form: the items to put in order (item id -> caption, in their present
    // order), and the ids in the order the user left them; true when the new order is
    // kept. Without onOrderingComplete the form does not close.
    virtual OrderedDictionary getOrderingData() const;
    virtual bool onOrderingComplete(const QStringList& ids);
    virtual bool respondsToOnOrderingComplete() const { return false; }
};
