#pragma once

#include "platform/ui/ViewController.h"

#include <QPointer>

#include <functional>

class PopoverTouchView;

// What the popover and the light popup share: a transparent root over the whole of the
// application's first window, a touch view in it that catches the touches outside the
// panel, another controller as content, and the bookkeeping of a presentation (a
// popup presented without a Qt parent belongs to its presentation and is deleted once
// it has closed and told its delegate).
class FloatingPanelController : public platform::ui::ViewController {
    Q_OBJECT
public:
    explicit FloatingPanelController(
        platform::ui::ViewController* viewController, QObject* parent = nullptr);
    ~FloatingPanelController() override;

    PopoverTouchView* touchView() const { return m_touchView; }
    platform::ui::ViewController* contentViewController() const { return m_contentController; }
    QSizeF contentSize() const { return m_contentSize; }
    void setContentSize(const QSizeF& size) { m_contentSize = size; }
    // True from presentation until dismissal.
    bool isPresented() const { return m_presented; }
    double parentWidth() const;
    double parentHeight() const;

    // Lays the panel out in its parent.
    virtual void setupView() = 0;
    // Runs when the window has turned and laid its views out, before the panel follows:
    // the presenter may place and size it again for the new shape.
    void setTurnAdjustment(std::function<void()> adjust) { m_turnAdjustment = std::move(adjust); }

    void loadView() override;

protected:
    static constexpr double kFadeDuration = 0.2;

    // Makes the root and the touch view over it; a touch outside runs touchedOutside.
    void makeTouchView(std::function<void()> touchedOutside);
    // Escape on a desktop, while the panel is on top: what a touch outside does.
    virtual void escapePressed();
    // A new presentation begins: the root leaves wherever it was.
    void beginPresentation();
    // Puts the root into the window's first subview; false when there is no window.
    bool showInHost();
    // The root leaves the screen and the content disappears.
    void endPresentation();
    // After the delegate heard of the dismissal: a popup owned by its presentation goes.
    void releaseAfterDismissal();
    void contentAppearance(bool appearing);
    // The panel is laid out at its size: the content that began to appear has appeared
    // (its rows are there for a field to take the keys).
    void finishContentAppearance();
    void observeOrientation();
    void stopObservingOrientation();

    // A delegate that is a QObject counts only while it lives.
    void trackDelegate(QObject* object)
    {
        m_delegateObject = object;
        m_delegateIsObject = object != nullptr;
    }
    // Asks only the guard: a delegate that has gone cannot be asked what it is.
    template<class Delegate> Delegate* living(Delegate* delegate) const
    {
        if (delegate && m_delegateIsObject && !m_delegateObject)
            return nullptr;
        return delegate;
    }

    PopoverTouchView* m_touchView = nullptr;
    QPointer<platform::ui::ViewController> m_contentController;
    QSizeF m_contentSize { 200, 300 };
    QPointF m_origin;
    QPointer<platform::ui::View> m_window;
    QPointer<platform::ui::View> m_parentView;
    bool m_presented = false;
    bool m_dismissing = false;
    bool m_inSetup = false;
    quint64 m_presentation = 0;

private:
    void orientationChanged();

    std::function<void()> m_touchedOutside;
    std::function<void()> m_turnAdjustment;
    QPointer<QObject> m_delegateObject;
    bool m_delegateIsObject = false;
    bool m_ownedByPresentation = false;
    QMetaObject::Connection m_orientationObservation;
};
