#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

namespace platform::ui {

class View;
class Window;

// The keys a desktop has and a touch screen lacks. Escape does to whatever is on top what
// a tap outside it does: the newest alert chooses its cancel button, and the newest
// sheet, popover or popup that has said what a tap outside does runs that (a popover may
// press its Close button instead); something on top that a tap outside leaves alone keeps
// the key from the screens below. Return and
// Enter choose the default button of the alert on top, wherever the keyboard is.
class DesktopKeys : public QObject {
    Q_OBJECT
public:
    // Starts watching the keys typed in the window.
    static void install(Window* window);

    // What a tap outside the view does while it shows; the newest view set counts first.
    static void setOutsideTap(View* view, std::function<void()> tapped);
    static void clearOutsideTap(View* view);
    // The widget answers Escape itself while it has the keys (a search field ends its
    // search): it has the key before what is open around it is closed.
    static void setTakesEscape(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit DesktopKeys(Window* window);
    bool escape(QWidget* target);
    bool enter();

    QPointer<Window> m_window;
};

} // namespace platform::ui
