#pragma once

#include "platform/NotificationCenter.h"
#include "widgets/FloatingPanelController.h"

#include <QColor>

#include <functional>
#include <vector>

class PopoverControllerDelegate;
class PopoverView;
class ThemeButton;

// Shows another controller's view in a floating panel over the current screen, on a
// phone as on a tablet: works out where the panel goes and which way its arrow points,
// presents and dismisses it, and posts "NewPopoverPresented" at each presentation.
//
// The panel joins the first subview of the application's first window inside a
// transparent view over all of it; a touch outside the panel closes the popover (unless
// it has a Close button) and never reaches the screen below. The panel fades in and out
// over 0.2 seconds and is laid out again when the window changes size.
//
// The content controller becomes this controller's child when it has no parent of its
// own. A popover presented without a Qt parent belongs to its presentation and is
// deleted once it has been dismissed and has told its delegate; one with a parent stays
// with its parent.
class PopoverController : public FloatingPanelController {
    Q_OBJECT
public:
    PopoverController(platform::ui::ViewController* viewController,
        PopoverControllerDelegate* delegate, bool doneButton, QObject* parent = nullptr);
    PopoverController(
        platform::ui::ViewController* viewController, bool doneButton, QObject* parent = nullptr);
    ~PopoverController() override;

    static const QString NewPopoverPresented; // "NewPopoverPresented"

    PopoverControllerDelegate* delegate() const;
    void setDelegate(PopoverControllerDelegate* delegate);
    PopoverView* contentView() const { return m_contentView; }
    // The permitted directions (PopoverArrowDirection bits); 15 by default.
    unsigned arrowDirection() const { return m_arrowDirection; }
    void setArrowDirection(unsigned direction) { m_arrowDirection = direction; }
    // The point presented from; after a layout, the anchor's centre.
    QPointF origin() const { return m_origin; }
    void setOrigin(const QPointF& origin) { m_origin = origin; }
    // The opacity the panel fades in to.
    double alpha() const { return m_alpha; }
    void setAlpha(double alpha);
    bool doneButton() const { return m_doneButton; }
    qint32 tint() const;
    void setTint(qint32 tint);
    bool border() const { return m_border; }
    void setBorder(bool border);
    double radius() const;
    void setRadius(double radius);
    QString title() const;
    void setTitle(const QString& title);
    // The Close button, with a Done button only.
    ThemeButton* closeButton() const { return m_closeButton; }
    // Whether Escape presses the Close button. Off, Escape does what a touch outside does,
    // which leaves a popover with a Close button open.
    bool closesOnEscape() const { return m_closesOnEscape; }
    void setClosesOnEscape(bool closes) { m_closesOnEscape = closes; }

    // The point is in the coordinates of the view the popover shows in.
    void presentPopoverFromPoint(const QPointF& point);
    void presentPopoverFromView(platform::ui::View* view);
    void dismissPopoverAnimated(bool animated, std::function<void()> completion = {});
    void dismissPopover();

    void setShadowsHidden(bool hidden);
    // Lays the popover out in its parent: the full-size views, then the panel's
    // direction and frame.
    void setupView() override;
    void bestArrowDirectionAndFrameFromView();

    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;
    void addObservers();
    void removeObservers();
    void buttonDoneClicked();

protected:
    void escapePressed() override;

private:
    void init(platform::ui::ViewController* viewController, PopoverControllerDelegate* delegate,
        bool doneButton);
    void newPopoverPresented(const platform::Notification& notification);

    PopoverControllerDelegate* m_delegate = nullptr;
    PopoverView* m_contentView = nullptr;
    ThemeButton* m_closeButton = nullptr;
    unsigned m_arrowDirection = 15;
    double m_alpha = 1.0;
    bool m_doneButton = false;
    bool m_closesOnEscape = false;
    bool m_border = true;

    QPointer<platform::ui::View> m_fromView;
    QColor m_savedShadowColor;
    bool m_hasSavedShadowColor = false;

    bool m_relayoutQueued = false;
    std::vector<std::function<void()>> m_pendingCompletions;
    QMetaObject::Connection m_titleObservation;
    platform::NotificationCenter::Token m_newPopoverToken = 0;
};
