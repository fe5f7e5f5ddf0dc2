#pragma once

#include "grid/BaseDataController.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <memory>

class BridgeResponse;
class GridData;
class OrderedDictionary;
class Parent;
class ScreenData;

namespace platform::ui {
class AlertView;
class Control;
class ViewController;
} // namespace platform::ui

// The data controller every application screen's controller derives from: add, edit and
// remove with a confirmation, the detail and ordering forms, the search over rows or menu
// items, the title and tiles of a screen fed by the desktop server, menu items, the
// child screen a row opens, switching between tiles and columns and the forwarding of
// toolbar actions to a method the screen record names. It talks to its main grid screen
// (mainGridViewController); without one, actions that need it do nothing.
class TableDataController : public BaseDataController {
    Q_OBJECT
public:
    TableDataController();
    ~TableDataController() override;

    // Row operations.
    // Whether a row is selected; otherwise says "Please select a Row.". A selection
    // beyond the rows counts as none.
    bool isRowSelected();
    void addTouched(platform::ui::Control* sender) override;
    void editTouched(platform::ui::Control* sender) override;
    void editRow() override;
    void removeTouched(platform::ui::Control* sender) override;
    // Asks "Delete Record?" (or deleteMessage) before deleteRow, in an alert tagged
    // DeleteConfirmationTag whose delegate is this controller.
    void confirmDelete();
    // Only the delete confirmation's Ok deletes: any other alert this controller is the
    // delegate of (a save-success alert's Open, say) deletes nothing.
    void alertViewDidDismissWithButtonIndex(
        platform::ui::AlertView* alert, int buttonIndex) override;
    void detailTouched(platform::ui::Control* sender) override;
    void orderTouched(platform::ui::Control* sender) override;
    // Reloads the grid; records no action code.
    void refresh(platform::ui::Control* sender) override;
    // Opens the query studio; records no action code.
    void query(platform::ui::Control* sender) override;
    void refreshGrid();
    void refreshView();

    // Search. searchData searches desktop-server rows.
    void searchData(const QString& text) override;
    // The rows the block accepts become the search's rows, the search is active and the
    // grid redraws. A later setRows searches the new rows with the same block.
    void filterRows(const QString& text, SearchBlock block);
    // Accepts a ResponseRow whose cells hold the text (ContainsPredicate); the cells
    // after the first match are not tested, and a row without cells never matches.
    static SearchBlock getTableSearchBlock(const QString& text);
    // Accepts a GridData whose Menu holds the text.
    static SearchBlock getMenuSearchBlock(const QString& text);
    // Accepts a row whose object's name holds the text (databases, tables, definitions).
    static SearchBlock getNameSearchBlock(const QString& text);

    // Title and grid items.
    QString getTitle() override;
    bool respondsToGetTitle() const override { return true; }
    std::shared_ptr<GridData> getGridData(qint64 index) override;
    QString getImage() override;
    // One menu item per screen id: the record the application builds for it with the
    // link, shown with its title and image.
    static QVariantList buildContentMenu(
        const QStringList& screenIds, const std::shared_ptr<Parent>& parent);
    // One menu item per text, all with the image.
    static QVariantList buildContentMenu(const QStringList& texts, const QString& image);
    // Item i with text i and image i; the images must be at least as many as the texts.
    static QVariantList buildContentMenuWithImage(
        const QStringList& texts, const QStringList& images);

    // Navigation and toolbar hooks.
    // Opens the child screen of the selected row (the index is not used).
    void tapOnDisclosure(qint64 index) override;
    void homeTouched(platform::ui::Control* sender) override;
    static void gotoHome(platform::ui::ViewController* controller);
    void addeditdeleteTouched(platform::ui::Control* sender) override;
    void searchTouched(platform::ui::Control* sender) override;
    void startTouched(platform::ui::Control* sender) override;
    void stopTouched(platform::ui::Control* sender) override;
    void pauseTouched(platform::ui::Control* sender) override;
    void restartTouched(platform::ui::Control* sender) override;
    void suspendTouched(platform::ui::Control* sender) override;
    // Calls the record's toolbarMethod with the sender.
    void toolbarAction(platform::ui::Control* sender);
    // Switches between the record's row view and its alternate.
    void expandcollapseTouched(platform::ui::Control* sender) override;
    // On a tile grid, a menu of one to four tiles per row at the columns button.
    void columnsTouched(platform::ui::Control* sender) override;
    // Tiles per row chosen in the columns menu.
    void columnsHandler(unsigned columns);
    void shareTouched(platform::ui::Control* sender) override;

    // Paged desktop-server tables. A screen that is not a menu loads its first page; a
    // menu screen lists its child screens.
    void loadData(const std::shared_ptr<Parent>& parent) override;
    // "First", "Previous", "Next" or "Laset" (the last page); false when nothing was
    // asked for (the same page, with no query change and no refresh asked).
    bool navigatePage(const QString& command) override;
    void navigateToPageNumber(qint64 page);
    // The request's properties for the page: "Tables" (only once a table is shown),
    // "PageSize" and "Id" (continuing the server's result set, unless the grid refreshes
    // or the query changed).
    QVariantMap pageRequestProperties(qint64 page);
    // The method parameters: the record's hook's answer, else its bridgeParameters.
    QVariantList getBridgeParameters();
    // Column -> screen id: that column's value in the row chosen on that screen of the
    // breadcrumb; "PLACEHOLDER_PARAM" stands for itself, a missing value is skipped.
    QVariantList buildParameters(const OrderedDictionary& parameters);
    // Sends the matrix call; nothing without a bridgeMethod.
    void loadPageData(const QVariantMap& properties);
    // A reply that succeeded: shown, and the grid told.
    void takeResponse(const BridgeResponse& response);
    // "T1", "T2", ... when the reply holds two tables or more.
    void initTablePickerData();
    // Shows table i of the reply; an index the reply lacks changes nothing.
    void selectTable(int index) override;
    // The page picker: one item per page of the shown table, "3/12" for the third of 12.
    int numberOfItemsInPickerView(HorizontalPickerView* pickerView) override;
    bool respondsToTitleForItem() const override { return true; }
    QString pickerViewTitleForItem(HorizontalPickerView* pickerView, int item) override;
    void pickerViewDidSelectItem(HorizontalPickerView* pickerView, int item) override;
    // Mails every table of the reply as "data.csv".
    void mailTouched(platform::ui::Control* sender) override;

    static const QString PlaceholderParameter; // "PLACEHOLDER_PARAM"
    static const QString MailRecipient;
    static const QString MailSubject; // "Result"

    static constexpr int DeleteConfirmationTag = 3;
    static const QString QueryStudioSegue; // "QUERY_STUDIO"
    static const QString OrderingDetailViewController; // "OrderingDetailViewController"

protected:
    // Whether the row view draws tiles: a GenericRowViewController or a class derived
    // from it.
    virtual bool isTileRowView(const QObject* rowView) const;

private:
    void openChild(const std::shared_ptr<ScreenData>& record, const QString& childId,
        const std::shared_ptr<Parent>& link);
};
