#pragma once

#include <memory>

class BaseDataController;
class GridScreenProtocol;

// What the filter and sort lists share: the screen whose query they edit, and applying
// that query there.
class QueryListScreen {
public:
    QueryListScreen() = delete;

    // The data controller of the grid's parent link; null when none or gone.
    static std::shared_ptr<BaseDataController> parentController(GridScreenProtocol* grid);
    // Marks the calling screen's query changed, reloads it from its first page and
    // closes the list (popped on a phone, its popup dismissed on a tablet).
    static void applyQuery(GridScreenProtocol* grid);
};
