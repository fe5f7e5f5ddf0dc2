#pragma once

#include "widgets/FloatingPanelController.h"

class SimplePopoverControllerDelegate;

namespace platform::ui {
class BarButtonItem;
}

// The light popup: another controller's view in a plain rectangle at a point over the
// current screen (centred for the point (0, 0)), optionally framed by a thick border in
// the style's bar colour with a drop shadow. A touch outside closes it unless auto-close
// is disabled, and never reaches the screen below; a Done button in the content's
// navigation item closes it at once.
//
// A popup shown while another is up leaves the first one open; each stays closable and
// tells its delegate when it closes. A popup presented without a Qt parent belongs to
// its presentation and is deleted once it has closed and told its delegate, so a popup
// on screen never goes while it still covers the screen; one with a parent stays with
// its parent.
class SimplePopupViewController : public FloatingPanelController {
    Q_OBJECT
public:
    SimplePopupViewController(platform::ui::ViewController* viewController,
        const QSizeF& contentSize, bool withBorder, QObject* parent = nullptr);
    SimplePopupViewController(platform::ui::ViewController* viewController,
        const QSizeF& contentSize, QObject* parent = nullptr);
    ~SimplePopupViewController() override;

    bool disableAutoClose() const { return m_disableAutoClose; }
    void setDisableAutoClose(bool disable) { m_disableAutoClose = disable; }
    SimplePopoverControllerDelegate* delegate() const;
    void setDelegate(SimplePopoverControllerDelegate* delegate);
    // The plain view that holds the content's view.
    platform::ui::View* containerView() const { return m_container; }

    // The point is in the coordinates of the view the popup shows in; (0, 0) centres it.
    void presentPopoverFromPoint(const QPointF& point);
    void dismissPopoverAnimated(bool animated);
    void dismissPopover();

    void addDoneButton();
    void setupView() override;

    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;
    void addObservers();
    void removeObservers();

private:
    bool m_disableAutoClose = false;
    SimplePopoverControllerDelegate* m_delegate = nullptr;
    platform::ui::View* m_container = nullptr;
    platform::ui::View* m_borderOverlay = nullptr;
    QPointer<platform::ui::BarButtonItem> m_doneItem;
};
