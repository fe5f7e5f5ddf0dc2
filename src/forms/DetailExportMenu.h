#pragma once

#include <functional>
#include <memory>

class RowDetailViewController;

// The export menu of the row a row display shows. The export screens, above the forms,
// supply it: they install the factory that makes one for a row display.
class DetailExportMenu {
public:
    using Factory = std::function<std::unique_ptr<DetailExportMenu>(RowDetailViewController*)>;

    virtual ~DetailExportMenu();

    virtual void showMenu() = 0;

    // An empty factory removes it.
    static void setFactory(Factory factory);
    // A new menu for the row display; null while no factory is installed.
    static std::unique_ptr<DetailExportMenu> make(RowDetailViewController* detailController);
};
