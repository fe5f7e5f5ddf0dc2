#pragma once

namespace platform::ui {
class View;
}

// The main grid screen as the style object sees it: its search bar (may be null) and a
// rebuild of its grid with the present row-view class, so every cell is drawn again with
// the current style. The grid's main screen implements it.
class MainCollectionViewControllerProtocol {
public:
    virtual ~MainCollectionViewControllerProtocol() = default;
    virtual platform::ui::View* searchBar() const = 0;
    virtual void changeRowViewController() = 0;
};
