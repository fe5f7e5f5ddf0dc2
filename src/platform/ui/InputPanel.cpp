#include "platform/ui/InputPanel.h"

#include "platform/NotificationCenter.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Device.h"
#include "platform/ui/TextInput.h"
#include "platform/ui/Window.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>

namespace platform::ui {

namespace {

// Every panel made, so an input that has left its window still finds the one showing it.
QList<QPointer<InputPanel>>& panels()
{
    static QList<QPointer<InputPanel>> made;
    return made;
}

} // namespace

const QString InputPanel::KeyboardWillShowNotification
    = QStringLiteral("UIKeyboardWillShowNotification");
const QString InputPanel::KeyboardDidShowNotification
    = QStringLiteral("UIKeyboardDidShowNotification");
const QString InputPanel::KeyboardWillHideNotification
    = QStringLiteral("UIKeyboardWillHideNotification");
const QString InputPanel::KeyboardDidHideNotification
    = QStringLiteral("UIKeyboardDidHideNotification");
const QString InputPanel::FrameBeginUserInfoKey = QStringLiteral("UIKeyboardFrameBeginUserInfoKey");
const QString InputPanel::FrameEndUserInfoKey = QStringLiteral("UIKeyboardFrameEndUserInfoKey");
const QString InputPanel::AnimationDurationUserInfoKey
    = QStringLiteral("UIKeyboardAnimationDurationUserInfoKey");
const QString InputPanel::AnimationCurveUserInfoKey
    = QStringLiteral("UIKeyboardAnimationCurveUserInfoKey");

InputPanel::InputPanel(Window* window)
    : View(window)
{
    setHidden(true);
    setBackgroundColor(QColor(209, 213, 219));
    panels().removeAll(nullptr);
    panels().append(this);
}

InputPanel* InputPanel::showingFor(const TextInput* input)
{
    auto* self = const_cast<TextInput*>(input);
    View* view = self ? self->inputAsView() : nullptr;
    if (!view)
        return nullptr;
    for (const QPointer<InputPanel>& panel : std::as_const(panels()))
        if (panel && panel->m_owner == view)
            return panel;
    return nullptr;
}

void InputPanel::watchOwner(View* owner)
{
    if (m_owner == owner)
        return;
    if (m_owner)
        m_owner->removeEventFilter(this);
    QObject::disconnect(m_ownerDestroyed);
    m_owner = owner;
    if (!owner)
        return;
    owner->installEventFilter(this);
    // Gone: only the pointer is dropped, the object is no view any more. The panel goes
    // once the events of this moment are done: the screen going with the field must not
    // hear of it while it is being destroyed.
    m_ownerDestroyed = connect(owner, &QObject::destroyed, this, [this] {
        m_owner.clear();
        QObject::disconnect(m_ownerDestroyed);
        QPointer<InputPanel> self(this);
        QMetaObject::invokeMethod(
            this,
            [self] {
                if (self && !self->m_owner)
                    self->dismiss();
            },
            Qt::QueuedConnection);
    });
}

bool InputPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_owner && event->type() == QEvent::Hide && !event->spontaneous()) {
        // Hidden on the way somewhere (taken out of the window, its screen popped): once
        // the events of this moment are done, it is either back on screen or gone.
        QPointer<InputPanel> self(this);
        QMetaObject::invokeMethod(
            this,
            [self] {
                if (self)
                    self->ownerLeft();
            },
            Qt::QueuedConnection);
    }
    return View::eventFilter(watched, event);
}

void InputPanel::ownerLeft()
{
    View* owner = m_owner;
    if (owner && owner->isVisible() && owner->window() == window())
        return;
    if (auto* input = dynamic_cast<TextInput*>(owner); input && input->isFirstResponder())
        input->forceResignFirstResponder();
    if (m_owner == owner) {
        watchOwner(nullptr);
        dismiss();
    }
}

void InputPanel::showFor(TextInput* input)
{
    if (!input || !input->inputAsView())
        return;
    auto* window = qobject_cast<Window*>(input->inputAsView()->window());
    if (!window)
        return;
    window->inputPanel()->present(input);
}

void InputPanel::inputResigned(TextInput* input)
{
    if (!input || !input->inputAsView())
        return;
    // Found by its owner: an input taken out of the window still resigns from its panel.
    InputPanel* panel = showingFor(input);
    if (!panel)
        return;
    // Moving from one input to the next resigns the first before the second begins; the
    // panel stays when another input has taken over by then.
    QPointer<InputPanel> self(panel);
    QMetaObject::invokeMethod(
        panel,
        [self] {
            if (!self)
                return;
            TextInput* current = TextInput::firstResponder();
            if (current && current->inputAsView()
                && current->inputAsView()->window() == self->window())
                return;
            self->dismiss();
        },
        Qt::QueuedConnection);
}

QRectF InputPanel::shownFrame() const
{
    const QWidget* window = parentWidget();
    if (!window)
        return QRectF();
    // Below what it shows, the panel's own colour runs through the home indicator's strip.
    const double content = contentHeight();
    const double height = content > 0 ? content + Device::current().safeAreaInsets().bottom() : 0;
    return QRectF(0, window->height() - height, window->width(), height);
}

double InputPanel::contentHeight() const
{
    double height = 0;
    if (m_accessory.view)
        height
            += m_accessory.frame.height() > 0 ? m_accessory.frame.height() : DefaultAccessoryHeight;
    if (m_input.view)
        height += inputViewHeight();
    return height;
}

double InputPanel::inputViewHeight() const
{
    const double height
        = m_input.frame.height() > 0 ? m_input.frame.height() : DefaultInputViewHeight;
    // A phone on its side gives a picker in the keyboard's place less height, so the field
    // being edited still shows above it.
    const Device& device = Device::current();
    if (device.isPhone() && !device.isPortrait())
        return std::min(height, LandscapePhoneInputViewHeight);
    return height;
}

void InputPanel::borrow(Borrowed& slot, View* view)
{
    if (slot.view == view)
        return;
    giveBack(slot);
    if (!view)
        return;
    slot.view = view;
    slot.keeper = view->parentWidget();
    slot.wasHidden = view->isHidden();
    slot.frame = view->frame();
    addSubview(view);
    view->setHidden(false);
}

void InputPanel::giveBack(Borrowed& slot)
{
    QPointer<View> view = slot.view;
    slot.view.clear();
    if (!view || view->parentWidget() != this)
        return;
    view->setFrame(slot.frame);
    view->setHidden(slot.wasHidden);
    if (slot.keeper) {
        view->setParent(slot.keeper);
        view->setVisible(!slot.wasHidden);
    } else {
        // Its keeper is gone: nothing holds it any more.
        view->hide();
        view->deleteLater();
    }
}

void InputPanel::present(TextInput* input)
{
    View* accessory = input->inputAccessoryView();
    View* inputView = input->inputView();
    if (!accessory && !inputView) {
        watchOwner(input->inputAsView());
        dismiss();
        return;
    }
    const bool wasShowing = m_showing;
    const QRectF from = wasShowing ? frame() : shownFrame().translated(0, shownFrame().height());
    watchOwner(input->inputAsView());
    // A view cannot be shown twice: an input view that is also the accessory shows once.
    borrow(m_accessory, accessory);
    borrow(m_input, inputView != accessory ? inputView : nullptr);
    m_showing = true;
    ++m_generation;
    const QRectF to = shownFrame();
    const QRectF start
        = wasShowing ? from : QRectF(0, to.top() + to.height(), to.width(), to.height());
    post(KeyboardWillShowNotification, start, to);
    setFrame(start);
    setHidden(false);
    // Over the screens, under the status bar and the overlay level.
    raise();
    if (auto* window = qobject_cast<Window*>(parentWidget())) {
        window->statusBar()->raise();
        window->overlayLevel()->raise();
    }
    layoutSubviews();
    QPointer<InputPanel> self(this);
    const int generation = m_generation;
    Animation::animate(
        AnimationDuration, 0, AnimationOptionCurveEaseInOut, [this, to] { setFrame(to); },
        [self, generation, start, to](bool) {
            if (self && self->m_generation == generation && self->m_showing)
                self->post(KeyboardDidShowNotification, start, to);
        });
}

void InputPanel::dismiss()
{
    if (!m_showing) {
        giveBack(m_accessory);
        giveBack(m_input);
        return;
    }
    m_showing = false;
    ++m_generation;
    const QRectF from = frame();
    const QRectF to = from.translated(0, from.height());
    post(KeyboardWillHideNotification, from, to);
    QPointer<InputPanel> self(this);
    const int generation = m_generation;
    Animation::animate(
        AnimationDuration, 0, AnimationOptionCurveEaseInOut, [this, to] { setFrame(to); },
        [self, generation, from, to](bool) {
            if (!self || self->m_generation != generation)
                return;
            self->setHidden(true);
            self->giveBack(self->m_accessory);
            self->giveBack(self->m_input);
            self->post(KeyboardDidHideNotification, from, to);
        });
}

void InputPanel::post(const QString& name, const QRectF& from, const QRectF& to)
{
    QVariantMap info;
    info.insert(FrameBeginUserInfoKey, from);
    info.insert(FrameEndUserInfoKey, to);
    info.insert(AnimationDurationUserInfoKey, AnimationDuration);
    info.insert(AnimationCurveUserInfoKey, AnimationCurve);
    NotificationCenter::defaultCenter().post(name, nullptr, info);
}

void InputPanel::layoutInWindow()
{
    if (!m_showing || Animation::isAnimating(this, "frame"))
        return;
    const QRectF to = shownFrame();
    if (to != frame()) {
        const QRectF from = frame();
        setFrame(to);
        post(KeyboardWillShowNotification, from, to);
        post(KeyboardDidShowNotification, from, to);
    }
    layoutSubviews();
}

void InputPanel::layoutSubviews()
{
    const double width = bounds().width();
    double y = 0;
    if (m_accessory.view) {
        // A bar across the whole width, as the bars are: it keeps its buttons off a notch.
        const double h
            = m_accessory.frame.height() > 0 ? m_accessory.frame.height() : DefaultAccessoryHeight;
        m_accessory.view->setFrame(QRectF(0, y, width, h));
        y += h;
    }
    if (m_input.view) {
        // A picker keeps clear of a notch at either side.
        const QMarginsF safe = Device::current().safeAreaInsets();
        m_input.view->setFrame(QRectF(
            safe.left(), y, std::max(0.0, width - safe.left() - safe.right()), inputViewHeight()));
    }
}

void InputPanel::drawRect(QPainter& painter, const QRectF& rect)
{
    // A hairline where the panel meets the screen above it.
    painter.fillRect(QRectF(rect.left(), rect.top(), rect.width(), 0.5), QColor(0, 0, 0, 60));
}

} // namespace platform::ui
