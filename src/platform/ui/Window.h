#pragma once

#include "platform/ui/View.h"

#include <QPointer>

namespace platform::ui {

class InputPanel;
class ViewController;
class StatusBarView;

// The one main window: the root view controller's view fills it, the status bar sits on
// top, and above everything an overlay level holds alerts, sheets and popovers, so a grab
// of the window is what a person sees. The overlay is shown only while it holds
// something, and then takes every touch outside its content.
class Window : public View {
    Q_OBJECT
public:
    explicit Window(QWidget* parent = nullptr);

    ViewController* rootViewController() const;
    void setRootViewController(ViewController* controller);
    // The window's first subview as the screens count them: the root controller's view,
    // which popovers and popups join; the status bar, the input panel and the overlay
    // level (alerts, sheets) stay above it. Null without a root controller.
    View* rootView() const;
    View* overlayLevel() const { return m_overlay; }
    View* statusBar() const;
    // Top of the area the screens use (below the status bar when it shows).
    double statusBarInset() const;
    // The panel at the bottom for the first responder's accessory bar and input view,
    // made on first use; it sits above the screens and below the overlay level.
    InputPanel* inputPanel();

    void layoutSubviews() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateOverlay();

    QPointer<ViewController> m_root;
    View* m_overlay = nullptr;
    StatusBarView* m_statusBar = nullptr;
    QPointer<InputPanel> m_inputPanel;
};

} // namespace platform::ui
