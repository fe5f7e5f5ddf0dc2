#pragma once

#include "screens/ListSelectDataController.h"

// A list-select screen's rows with one image per text (the screen's images, in order).
class ListImageSelectDataController : public ListSelectDataController {
    Q_OBJECT
public:
    ListImageSelectDataController();
    ~ListImageSelectDataController() override;

    void loadData(const std::shared_ptr<Parent>& parent) override;
};
