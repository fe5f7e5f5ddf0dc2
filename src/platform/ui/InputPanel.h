#pragma once

#include "platform/ui/View.h"

#include <QPointer>
#include <QString>

namespace platform::ui {

class TextInput;
class Window;

// The panel at the bottom of the window where a phone shows its keyboard: while a text
// input is first responder it shows that input's accessory bar and, below it, its input
// view (a date picker, a keyword keyboard). An input with neither shows nothing, since
// the desktop's own keyboard needs no room. The panel slides in and out and posts the
// keyboard notifications with the frames (window coordinates), duration and curve, so
// screens can make room for it.
class InputPanel : public View {
    Q_OBJECT
public:
    explicit InputPanel(Window* window);

    // The input has become first responder, or asks to show its views again.
    static void showFor(TextInput* input);
    // The input is no longer first responder; the panel goes unless another input takes
    // over before the events of this moment are done.
    static void inputResigned(TextInput* input);
    // The panel showing the input's views, in whichever window; null when none does.
    static InputPanel* showingFor(const TextInput* input);

    View* accessoryView() const { return m_accessory.view; }
    View* shownInputView() const { return m_input.view; }
    bool isShowing() const { return m_showing; }
    // Where the panel is when shown, in the window's coordinates.
    QRectF shownFrame() const;

    // Follows the window's size (the window calls it when it lays out).
    void layoutInWindow();
    void layoutSubviews() override;

    static const QString KeyboardWillShowNotification;
    static const QString KeyboardDidShowNotification;
    static const QString KeyboardWillHideNotification;
    static const QString KeyboardDidHideNotification;
    static const QString FrameBeginUserInfoKey;
    static const QString FrameEndUserInfoKey;
    static const QString AnimationDurationUserInfoKey;
    static const QString AnimationCurveUserInfoKey;

    static constexpr double AnimationDuration = 0.25;
    static constexpr int AnimationCurve = 0; // ease in and out
    static constexpr double DefaultAccessoryHeight = 44.0;
    static constexpr double DefaultInputViewHeight = 216.0;
    static constexpr double LandscapePhoneInputViewHeight = 162.0;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A view shown here, and where it goes back to.
    struct Borrowed {
        QPointer<View> view;
        QPointer<QWidget> keeper;
        bool wasHidden = true;
        QRectF frame;
    };

    void present(TextInput* input);
    void dismiss();
    void watchOwner(View* owner);
    // The owner has left the screen (hidden, taken out of the window, destroyed): as a
    // first responder taken off screen, it stops being one and the panel goes.
    void ownerLeft();
    void borrow(Borrowed& slot, View* view);
    void giveBack(Borrowed& slot);
    double contentHeight() const;
    double inputViewHeight() const;
    void post(const QString& name, const QRectF& from, const QRectF& to);

    Borrowed m_accessory;
    Borrowed m_input;
    QPointer<View> m_owner;
    QMetaObject::Connection m_ownerDestroyed;
    bool m_showing = false;
    int m_generation = 0;
};

} // namespace platform::ui
