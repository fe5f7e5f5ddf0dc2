#pragma once

#include <QString>
#include <QVariant>

#include <memory>

class Parent;
class QObject;
class ScreenData;

namespace platform::ui {
class Control;
class ViewController;
} // namespace platform::ui

// The main grid screen as its data controller sees it: the record and breadcrumb it
// shows, its selection, redrawing, detail forms, menus and the row view. The main grid
// screen implements it; a data controller finds it on its view controller.
class GridScreenProtocol {
public:
    virtual ~GridScreenProtocol();

    // The screen itself, for segues and its navigation controller.
    virtual platform::ui::ViewController* gridViewController() = 0;
    virtual std::shared_ptr<ScreenData> screen() const = 0;
    // The link of the screen that opened this one; null at the root.
    virtual std::shared_ptr<Parent> parentLink() const = 0;
    // A link for this screen with its selected row, for a child it opens.
    virtual std::shared_ptr<Parent> createParent() = 0;

    // Index of the selected row; -1 for none.
    virtual qint64 selectedRow() const = 0;
    virtual void setSelectedRow(qint64 row) = 0;

    // Redraws the rows as they are; reloads them, then redraws.
    virtual void refreshGrid() = 0;
    virtual void refreshView() = 0;

    // The record's detail form for the row (none: an empty form for a new row).
    virtual void ShowDetail(const QVariant& row) = 0;
    // The form of that class (a registered class name) for the row, with the title.
    virtual void ShowDetail(const QVariant& row, const QString& detailType, const QString& title)
        = 0;
    // The read-only form of a desktop-server row.
    virtual void ShowRowDetail(const QVariant& row) = 0;

    virtual void showAddEditDeletePopup() = 0;
    virtual void showPagerPopup() = 0;
    virtual void showHideSearchBar() = 0;
    // Whether the tapped toolbar button sits in the navigation bar.
    virtual bool isButtonInTopBar(platform::ui::Control* sender) = 0;

    // The present row-view object (its class tells tiles from columns).
    virtual QObject* rowViewContoller() const = 0;
    // Rebuilds the grid with a new row view of the registered class of that name.
    virtual void changeRowViewController(const QString& rowViewClass) = 0;
};
