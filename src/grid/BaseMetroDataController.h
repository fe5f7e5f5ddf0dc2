#pragma once

#include "grid/TableDataController.h"

// A menu of child screens: one tile per child screen the record lists, with its title and
// image.
class BaseMetroDataController : public TableDataController {
    Q_OBJECT
public:
    Q_INVOKABLE BaseMetroDataController();
    ~BaseMetroDataController() override;

    // Without child screens the rows stay as they were.
    void loadData(const std::shared_ptr<Parent>& parent) override;
    // Matches the items' texts.
    void searchData(const QString& text) override;
};
