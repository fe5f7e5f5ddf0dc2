#pragma once

#include "grid/TableDataController.h"

class ListSelectScreen;

// The rows of a list-select screen: one menu item per text of the screen, all with the
// screen's image; a tapped item goes to the screen's handler.
class ListSelectDataController : public TableDataController {
    Q_OBJECT
public:
    ListSelectDataController();
    ~ListSelectDataController() override;

    // The owning screen as a list-select screen; null when it is none.
    ListSelectScreen* listSelectViewController() const;

    void loadData(const std::shared_ptr<Parent>& parent) override;
    // Hands the item and its place in the whole list (a search shows only some of them)
    // to the screen's handler, when there is one.
    void tapOnDisclosure(qint64 index) override;
    void searchData(const QString& text) override;
};
