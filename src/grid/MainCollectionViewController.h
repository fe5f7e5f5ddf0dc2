#pragma once

#include "grid/CollectionViewController.h"
#include "grid/GridScreenProtocol.h"
#include "utilities/shell/MainCollectionViewControllerProtocol.h"
#include "widgets/HorizontalPickerView.h"
#include "widgets/HorizontalPickerViewDataSource.h"
#include "widgets/HorizontalPickerViewDelegate.h"

#include <QPointer>
#include <QString>

class VerticalMenuViewController;

namespace platform::ui {
class NavigationController;
class Storyboard;
} // namespace platform::ui

// The screen the whole application runs on: the first screen of the window, and every
// child opened from it by segue, each showing its own screen record. It loads its rows
// through the data controller under the progress overlay, opens child screens with the
// breadcrumb of parents and opens detail forms; its data controller sees it as a
// GridScreenProtocol. It offers the pager and add-edit-delete menus, shows the filter and
// sort screens in popups on a tablet, and switches between the tables of a multi-table
// answer with a picker in the navigation bar.
class MainCollectionViewController : public CollectionViewController,
                                     public GridScreenProtocol,
                                     public MainCollectionViewControllerProtocol,
                                     public HorizontalPickerViewDataSource,
                                     public HorizontalPickerViewDelegate {
    Q_OBJECT
public:
    explicit MainCollectionViewController(QObject* parent = nullptr);
    ~MainCollectionViewController() override;

    static const QString StoryboardIdentifier; // "MainCollectionViewController"
    static const QString RootScreenId; // "SCREEN_BRIDGE"
    static const QString MenuSegue; // "Menu"
    static const QString Menus1Segue; // "Menus1"
    static const QString QuerySegue; // "Query"
    static const QString QueryStudioSegue; // "QUERY_STUDIO"
    static const QString QueryDatabaseScreenId; // "SCREEN_QUERY_DATABASE"
    static const QString QueryStudioScreenId; // "SCREEN_QUERY_STUDIO"
    static const QString FilterPopup; // "InQuery"
    static const QString SortPopup; // "Sort"
    static const QString FilterScreenId; // "SCREEN_INQUERY_GENERAL"
    static const QString SortScreenId; // "SCREEN_SORT_GENERA"
    static const QString FirstPage; // "First"
    static const QString PreviousPage; // "Previous"
    static const QString NextPage; // "Next"
    static const QString LastPage; // "Laset"
    // The filter and sort popups on a tablet.
    static constexpr double QueryPopupSide = 500;
    // Toolbar buttons the menus open from.
    static constexpr int SearchButton = 7;
    static constexpr int AddEditDeleteButton = 30;

    // The grid screen and its four segues, each leading to a grid screen.
    static void registerStoryboard(platform::ui::Storyboard& storyboard);
    // The window's navigation stack with the root grid screen, which asks for the record
    // of "SCREEN_BRIDGE" itself; the caller owns it.
    static platform::ui::NavigationController* createRootNavigation();

    // Without a record, alone on its stack, the screen is the root screen.
    void initProperties() override;
    // The data controller loads the rows for this screen's link, under the overlay.
    void loadData() override;
    void afterLoad() override;
    std::shared_ptr<GridData> getGridData(qint64 index) override;
    void tapOnDisclosure(qint64 index) override;
    void tapOnItem(qint64 index) override;

    // The child's link and record: the segue decides the child's id for the query
    // screens, a menu screen's selected item for a menu, else the record's childscreen.
    void prepareForSegue(platform::ui::StoryboardSegue& segue, QObject* sender) override;
    // Opens that child screen by the segue; the record is as it was afterwards.
    void showScreen(const QString& childScreen, const QString& segue);
    // Pressing Done on a detail form after an add or an edit drops the unsaved changes.
    void closebuttonClicked(PopoverController* controller) override;

    // The filter ("InQuery") or sort ("Sort") screen: in a popup on a tablet, otherwise
    // opened by the segue (none: the parent link's next segue) as a child screen.
    void showPopup(const QString& name, const QString& segue = QString());
    // The filter or sort screen for this screen's rows in a 500 x 500 popup.
    void showFilterInPopup();
    void showSortInPopup();
    // Closes the menu, then has the data controller add (1), edit (2) or remove (3).
    void AddEditDeleteAction(int action);
    // Another page of a paged table; nothing for a single page that needs no reload.
    void navigatePage(const QString& direction);

    // The table picker, made the first time a load brings several tables.
    void initPickerView();
    HorizontalPickerView* tablePicker() const { return m_tablePicker; }
    int numberOfItemsInPickerView(HorizontalPickerView* pickerView) override;
    bool respondsToTitleForItem() const override { return true; }
    QString pickerViewTitleForItem(HorizontalPickerView* pickerView, int item) override;
    void pickerViewDidSelectItem(HorizontalPickerView* pickerView, int item) override;
    // The title of a desktop-server row's read-only form: its first key field's value on
    // this screen, or "Detail".
    QString rowDetailTitle() const;
    // The read-only form of the row, when its form class is registered.
    static const QString RowDetailFormClass; // "ResponseRowDetailViewController"

    // GridScreenProtocol.
    platform::ui::ViewController* gridViewController() override { return this; }
    std::shared_ptr<ScreenData> screen() const override { return BaseViewController::screen(); }
    std::shared_ptr<Parent> parentLink() const override { return BaseViewController::parentLink(); }
    std::shared_ptr<Parent> createParent() override;
    qint64 selectedRow() const override { return CollectionViewController::selectedRow(); }
    void setSelectedRow(qint64 row) override { CollectionViewController::setSelectedRow(row); }
    void refreshGrid() override { CollectionViewController::refreshGrid(); }
    void refreshView() override { CollectionViewController::refreshView(); }
    using BaseViewController::ShowDetail;
    // The record's detail form for the row.
    void ShowDetail(const QVariant& row) override;
    void ShowDetail(const QVariant& row, const QString& detailType, const QString& title) override;
    void ShowRowDetail(const QVariant& row) override;
    void showAddEditDeletePopup() override;
    void showPagerPopup() override;
    void showHideSearchBar() override { CollectionViewController::showHideSearchBar(); }
    using BaseViewController::isButtonInTopBar;
    bool isButtonInTopBar(platform::ui::Control* sender) override;
    QObject* rowViewContoller() const override
    {
        return CollectionViewController::rowViewContoller();
    }
    void changeRowViewController(const QString& rowViewClass) override;

    // MainCollectionViewControllerProtocol: the search bar, and the grid rebuilt with the
    // present row-view class.
    platform::ui::SearchBar* searchBar() const override
    {
        return CollectionViewController::searchBar();
    }
    void changeRowViewController() override;

private:
    void showQueryPopup(const QString& screenId);
    // The icon menu, without arrow, at the toolbar button.
    void showMenu(VerticalMenuViewController* menu, int button);

    QPointer<HorizontalPickerView> m_tablePicker;
};
