#pragma once

#include "platform/ui/ViewController.h"

#include <QPointer>

class PopoverTouchView;
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
class SimplePopupViewController : public platform::ui::ViewController {
    Q_OBJECT
public:
    SimplePopupViewController(platform::ui::ViewController* viewController,
        const QSizeF& contentSize, bool withBorder, QObject* parent = nullptr);
    SimplePopupViewController(platform::ui::ViewController* viewController,
        const QSizeF& contentSize, QObject* parent = nullptr);
    ~SimplePopupViewController() override;

    QSizeF contentSize() const { return m_contentSize; }
    void setContentSize(const QSizeF& size) { m_contentSize = size; }
    PopoverTouchView* touchView() const { return m_touchView; }
    bool disableAutoClose() const { return m_disableAutoClose; }
    void setDisableAutoClose(bool disable) { m_disableAutoClose = disable; }
    SimplePopoverControllerDelegate* delegate() const;
    void setDelegate(SimplePopoverControllerDelegate* delegate);
    platform::ui::ViewController* contentViewController() const { return m_contentController; }
    // The plain view that holds the content's view.
    platform::ui::View* containerView() const { return m_container; }

    // The point is in the coordinates of the view the popup shows in; (0, 0) centres it.
    void presentPopoverFromPoint(const QPointF& point);
    void dismissPopoverAnimated(bool animated);
    void dismissPopover();
    bool isPresented() const { return m_presented; }

    void addDoneButton();
    void setupView();
    double parentWidth() const;
    double parentHeight() const;

    void loadView() override;
    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;
    void addObservers();
    void removeObservers();

private:
    void orientationChanged();
    void contentAppearance(bool appearing);

    QSizeF m_contentSize;
    PopoverTouchView* m_touchView = nullptr;
    bool m_disableAutoClose = false;
    SimplePopoverControllerDelegate* m_delegate = nullptr;
    QPointer<QObject> m_delegateObject;
    QPointer<platform::ui::ViewController> m_contentController;
    platform::ui::View* m_container = nullptr;
    platform::ui::View* m_borderOverlay = nullptr;
    QPointF m_origin;
    QPointer<platform::ui::View> m_window;
    QPointer<platform::ui::View> m_parentView;
    QPointer<platform::ui::BarButtonItem> m_doneItem;

    bool m_presented = false;
    bool m_dismissing = false;
    bool m_ownedByPresentation = false;
    bool m_inSetup = false;
    quint64 m_presentation = 0;
    QMetaObject::Connection m_orientationObservation;
};
