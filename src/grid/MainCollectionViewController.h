#pragma once

#include "grid/CollectionViewController.h"
#include "grid/GridScreenProtocol.h"
#include "utilities/shell/MainCollectionViewControllerProtocol.h"

#include <QString>

namespace platform::ui {
class NavigationController;
class Storyboard;
} // namespace platform::ui

// The screen the whole application runs on: the first screen of the window, and every
// child opened from it by segue, each showing its own screen record. It loads its rows
// through the data controller under the progress overlay, opens child screens with the
// breadcrumb of parents and opens detail forms; its data controller sees it as a
// GridScreenProtocol.
class MainCollectionViewController : public CollectionViewController,
                                     public GridScreenProtocol,
                                     public MainCollectionViewControllerProtocol {
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
};
