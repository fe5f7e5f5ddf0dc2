#include "platform/ui/AlertView.h"

#include "platform/Dispatch.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Guard.h"
#include "platform/ui/Label.h"
#include "platform/ui/SafeArea.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScopedValueRollback>

#include <utility>

namespace platform::ui {

namespace {

constexpr double kPanelWidth = 300.0;
constexpr double kButtonHeight = 44.0;
constexpr double kPadding = 18.0;
constexpr double kFieldHeight = 28.0;

QList<QPointer<AlertView>>& shown()
{
    static QList<QPointer<AlertView>> list;
    return list;
}

// The widget that has the keys once the last alert has gone: the one that had them when the
// first alert came, or the last one outside the alerts that asked for them meanwhile.
QPointer<QWidget>& keysAfterAlerts()
{
    static QPointer<QWidget> widget;
    return widget;
}

// Set while a closing alert's own hiding moves the keys, which no one asked for.
bool& closingMovesKeys()
{
    static bool moving = false;
    return moving;
}

bool isInAlert(const QWidget* widget)
{
    for (; widget; widget = widget->parentWidget())
        if (qobject_cast<const AlertView*>(widget))
            return true;
    return false;
}

void handKeysOn()
{
    const QPointer<QWidget> owner = std::exchange(keysAfterAlerts(), nullptr);
    if (owner && owner->isVisible() && owner->isEnabled())
        owner->setFocus(Qt::OtherFocusReason);
}

std::function<std::optional<int>(AlertView*)>& responder()
{
    static std::function<std::optional<int>(AlertView*)> instance;
    return instance;
}

// The panel: a rounded, nearly white card with hairlines between the buttons.
class AlertPanel : public View {
public:
    using View::View;
    QList<QLineF> separators;

protected:
    void drawRect(QPainter& painter, const QRectF&) override
    {
        painter.setPen(QPen(QColor(0, 0, 0, 50), 0.5));
        for (const QLineF& line : separators)
            painter.drawLine(line);
    }
};

} // namespace

AlertViewDelegate::~AlertViewDelegate() = default;
void AlertViewDelegate::alertViewClickedButtonAtIndex(AlertView*, int)
{
}
void AlertViewDelegate::alertViewCancel(AlertView*)
{
}
void AlertViewDelegate::willPresentAlertView(AlertView*)
{
}
void AlertViewDelegate::didPresentAlertView(AlertView*)
{
}
void AlertViewDelegate::alertViewWillDismissWithButtonIndex(AlertView*, int)
{
}
void AlertViewDelegate::alertViewDidDismissWithButtonIndex(AlertView*, int)
{
}
bool AlertViewDelegate::alertViewShouldEnableFirstOtherButton(AlertView*)
{
    return true;
}

AlertView::AlertView(const QString& title, const QString& message, AlertViewDelegate* delegate,
    const QString& cancelButtonTitle, const QStringList& otherButtonTitles)
    : m_title(title)
    , m_message(message)
    , m_delegate(delegate)
{
    if (!cancelButtonTitle.isNull()) {
        m_buttonTitles.append(cancelButtonTitle);
        m_cancelIndex = 0;
    }
    for (const QString& other : otherButtonTitles)
        m_buttonTitles.append(other);
    setBackgroundColor(QColor(0, 0, 0, 90));
    setFocusPolicy(Qt::StrongFocus);
}

AlertView::~AlertView()
{
    shown().removeAll(this);
}

void AlertView::setTitle(const QString& title)
{
    m_title = title;
    if (m_titleLabel)
        m_titleLabel->setText(title), layoutSubviews();
}

void AlertView::setMessage(const QString& message)
{
    m_message = message;
    if (m_messageLabel)
        m_messageLabel->setText(message), layoutSubviews();
}

int AlertView::addButtonWithTitle(const QString& title)
{
    m_buttonTitles.append(title);
    return int(m_buttonTitles.size()) - 1;
}

QString AlertView::buttonTitleAtIndex(int index) const
{
    return m_buttonTitles.value(index);
}

int AlertView::firstOtherButtonIndex() const
{
    const int first = m_cancelIndex == 0 ? 1 : 0;
    return first < m_buttonTitles.size() ? first : -1;
}

void AlertView::setAlertViewStyle(Style style)
{
    m_style = style;
    const int count = style == Style::Default ? 0 : style == Style::LoginAndPasswordInput ? 2 : 1;
    while (m_fields.size() < count) {
        auto* field = new QLineEdit();
        field->setFrame(false);
        field->setStyleSheet(
            "QLineEdit { background: white; border: 1px solid #c8c8cc; border-radius: 4px;"
            " padding: 2px 6px; font-size: 14px; }");
        m_fields.append(field);
    }
    while (m_fields.size() > count)
        delete m_fields.takeLast();
    if (style == Style::SecureTextInput)
        m_fields.at(0)->setEchoMode(QLineEdit::Password);
    if (style == Style::LoginAndPasswordInput) {
        m_fields.at(0)->setPlaceholderText(QStringLiteral("Login"));
        m_fields.at(1)->setPlaceholderText(QStringLiteral("Password"));
        m_fields.at(1)->setEchoMode(QLineEdit::Password);
    }
}

void AlertView::setAccessoryView(View* view, double centerY)
{
    if (m_accessory && m_accessory != view)
        m_accessory->deleteLater();
    m_accessory = view;
    m_accessoryCenterY = centerY;
    if (!view)
        return;
    view->setParent(m_panel ? static_cast<QWidget*>(m_panel) : this);
    view->setHidden(!m_panel);
    if (m_panel)
        layoutSubviews();
}

QLineEdit* AlertView::textFieldAtIndex(int index) const
{
    return m_fields.value(index);
}

void AlertView::show()
{
    QPointer<AlertView> self(this);
    if (!dispatch::isMainThread()) {
        dispatch::asyncMain([self] {
            if (self)
                self->show();
        });
        return;
    }
    if (m_visible || m_dismissing)
        return;
    present();
}

void AlertView::build()
{
    if (m_panel)
        return;
    auto* panel = new AlertPanel(this);
    m_panel = panel;
    panel->setBackgroundColor(QColor(250, 250, 250, 245));
    panel->layer()->setCornerRadius(13);
    panel->layer()->setShadowOpacity(0.25);
    panel->layer()->setShadowRadius(12);
    panel->layer()->setShadowOffset(QPointF(0, 4));
    panel->setClipsToBounds(true);
    m_titleLabel = new Label(panel);
    m_titleLabel->setFont(Font::named("HelveticaNeue-Bold", 17));
    m_titleLabel->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_titleLabel->setNumberOfLines(0);
    m_titleLabel->setText(m_title);
    m_messageLabel = new Label(panel);
    m_messageLabel->setFont(Font::system(14));
    m_messageLabel->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_messageLabel->setNumberOfLines(0);
    m_messageLabel->setText(m_message);
    for (QLineEdit* field : m_fields) {
        field->setParent(panel);
        field->show();
    }
    if (m_accessory) {
        m_accessory->setParent(panel);
        m_accessory->show();
    }
    for (int i = 0; i < m_buttonTitles.size(); ++i) {
        auto* button = Button::withType(Button::Type::System, panel);
        button->setTitle(m_buttonTitles.at(i));
        button->setTitleColor(QColor(0, 122, 255));
        button->setTitleColor(QColor(0, 122, 255, 120), ControlStateHighlighted);
        QFont font = Font::system(17);
        if (i == m_cancelIndex && m_buttonTitles.size() <= 2)
            font = Font::named("HelveticaNeue-Medium", 17);
        button->setTitleFont(font);
        button->setAdjustsTitleToFitWidth(true);
        button->addTarget(
            [this, i](Control*) { clickButtonAtIndex(i); }, ControlEventTouchUpInside);
        m_buttons.append(button);
    }
    if (m_delegate && firstOtherButtonIndex() >= 0 && !m_fields.isEmpty()) {
        // The delegate may keep the first other button off until the input is valid.
        auto refresh = [this] {
            if (m_delegate)
                guarded([this] {
                    m_buttons.value(firstOtherButtonIndex())
                        ->setEnabled(m_delegate->alertViewShouldEnableFirstOtherButton(this));
                });
        };
        for (QLineEdit* field : m_fields)
            connect(field, &QLineEdit::textChanged, this, refresh);
        refresh();
    }
}

double AlertView::panelHeight(double width) const
{
    const double textWidth = width - 2 * kPadding;
    double h = kPadding;
    if (!m_title.isEmpty())
        h += Font::measure(m_title, m_titleLabel->font(), textWidth).height() + 4;
    if (!m_message.isEmpty())
        h += Font::measure(m_message, m_messageLabel->font(), textWidth).height();
    h += kPadding;
    h += m_fields.size() * (kFieldHeight + 6);
    const int count = int(m_buttons.size());
    h += count == 0 ? 0 : count <= 2 ? kButtonHeight : count * kButtonHeight;
    return h;
}

QRectF AlertView::panelFrame() const
{
    // Centred on the screen, and kept inside what a notch and the home indicator's strip
    // leave of it: a long alert is cut to that height, not drawn under the notch.
    const QRectF b = bounds();
    const QRectF area = b.marginsRemoved(SafeArea::restingInsets(this));
    const double width = std::min(kPanelWidth, area.width() - 40);
    const double height = std::min(panelHeight(width), area.height() - 40);
    const double x = std::round(b.center().x() - width / 2);
    const double y = std::round(b.center().y() - height / 2);
    return QRectF(
        std::clamp(x, area.left() + 20, std::max(area.left() + 20, area.right() - 20 - width)),
        std::clamp(y, area.top() + 20, std::max(area.top() + 20, area.bottom() - 20 - height)),
        width, height);
}

void AlertView::layoutSubviews()
{
    if (!m_panel)
        return;
    const QRectF panel = panelFrame();
    m_panel->setFrame(panel);
    const double width = panel.width();
    const double textWidth = width - 2 * kPadding;
    const int count = int(m_buttons.size());
    const double buttonsHeight = count == 0 ? 0
        : count <= 2                        ? kButtonHeight
                                            : count * kButtonHeight;
    double y = kPadding;
    if (!m_title.isEmpty()) {
        const double h = Font::measure(m_title, m_titleLabel->font(), textWidth).height();
        m_titleLabel->setFrame(QRectF(kPadding, y, textWidth, h));
        y += h + 4;
    }
    m_titleLabel->setHidden(m_title.isEmpty());
    const double fieldsHeight = m_fields.size() * (kFieldHeight + 6);
    const double messageRoom = panel.height() - buttonsHeight - kPadding - fieldsHeight - y;
    if (!m_message.isEmpty()) {
        const double h = std::min(
            messageRoom, Font::measure(m_message, m_messageLabel->font(), textWidth).height());
        m_messageLabel->setFrame(QRectF(kPadding, y, textWidth, std::max(0.0, h)));
        y += h;
    }
    m_messageLabel->setHidden(m_message.isEmpty());
    y += kPadding / 2;
    for (QLineEdit* field : m_fields) {
        field->setGeometry(QRectF(kPadding, y, textWidth, kFieldHeight).toRect());
        y += kFieldHeight + 6;
    }
    if (m_accessory) {
        const QSizeF size = m_accessory->frame().size().isEmpty()
            ? m_accessory->sizeThatFits(panel.size())
            : m_accessory->frame().size();
        m_accessory->setFrame(QRectF(
            QPointF(width / 2 - size.width() / 2, m_accessoryCenterY - size.height() / 2), size));
        m_accessory->raise();
    }
    auto* card = static_cast<AlertPanel*>(m_panel);
    card->separators.clear();
    const double top = panel.height() - buttonsHeight;
    if (count > 0)
        card->separators.append(QLineF(0, top, width, top));
    if (count == 2) {
        // Cancel on the left, the other on the right.
        m_buttons.at(0)->setFrame(QRectF(0, top, width / 2, kButtonHeight));
        m_buttons.at(1)->setFrame(QRectF(width / 2, top, width / 2, kButtonHeight));
        card->separators.append(QLineF(width / 2, top, width / 2, panel.height()));
    } else {
        // Stacked: the other buttons first, the cancel button at the bottom.
        double by = top;
        QList<int> order;
        for (int i = 0; i < count; ++i)
            if (i != m_cancelIndex)
                order.append(i);
        if (m_cancelIndex >= 0 && m_cancelIndex < count)
            order.append(m_cancelIndex);
        for (int n = 0; n < order.size(); ++n) {
            m_buttons.at(order.at(n))->setFrame(QRectF(0, by, width, kButtonHeight));
            if (n > 0)
                card->separators.append(QLineF(0, by, width, by));
            by += kButtonHeight;
        }
    }
    m_panel->update();
}

void AlertView::present()
{
    build();
    View* overlay = Application::shared().overlayLevel();
    // Whatever asks for the keys while alerts are up (a screen coming in under them) waits
    // for the last to close; typing must not go under the alert.
    static QPointer<QObject> watcher;
    if (!watcher && qApp) {
        watcher = new QObject(qApp);
        QObject::connect(qApp, &QApplication::focusChanged, watcher,
            [](QWidget*, QWidget* now) { keepKeys(now); });
    }
    if (visibleAlerts().isEmpty()) {
        QWidget* owner = overlay->window()->focusWidget();
        keysAfterAlerts() = owner && !isInAlert(owner) ? owner : nullptr;
    }
    overlay->addSubview(this);
    setFrame(overlay->bounds());
    setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    setHidden(false);
    raise();
    m_visible = true;
    shown().append(this);
    layoutSubviews();
    if (m_delegate)
        guarded([this] { m_delegate->willPresentAlertView(this); });
    takeFocus();

    QPointer<AlertView> self(this);
    m_panel->setAlpha(0);
    m_panel->setScale(1.15);
    Animation::animate(
        0.2, 0, AnimationOptionCurveEaseOut,
        [this] {
            m_panel->setAlpha(1);
            m_panel->setScale(1.0);
        },
        [self](bool) {
            if (self && self->m_delegate)
                guarded([&] { self->m_delegate->didPresentAlertView(self); });
        });

    if (responder()) {
        dispatch::asyncMain([self] {
            if (!self || !self->m_visible || !responder())
                return;
            std::optional<int> answer;
            guarded([&] { answer = responder()(self); });
            if (answer && self && self->m_visible)
                self->clickButtonAtIndex(*answer);
        });
    }
}

void AlertView::takeFocus()
{
    if (!m_fields.isEmpty())
        m_fields.first()->setFocus(Qt::OtherFocusReason);
    else
        setFocus(Qt::OtherFocusReason);
}

void AlertView::keepKeys(QWidget* focused)
{
    const QList<AlertView*> alerts = visibleAlerts();
    if (!focused || alerts.isEmpty() || closingMovesKeys())
        return;
    AlertView* top = alerts.last();
    if (focused->window() != top->window() || focused == top || top->isAncestorOf(focused))
        return;
    if (!isInAlert(focused))
        keysAfterAlerts() = focused;
    top->takeFocus();
}

void AlertView::clickButtonAtIndex(int buttonIndex)
{
    if (!m_visible || m_dismissing)
        return;
    QPointer<AlertView> self(this);
    if (m_delegate)
        guarded([&] { m_delegate->alertViewClickedButtonAtIndex(this, buttonIndex); });
    if (self && m_callback)
        guarded([&] { m_callback(this, buttonIndex); });
    if (self)
        finish(buttonIndex, true, true);
}

void AlertView::clickDefaultButton()
{
    const int other = firstOtherButtonIndex();
    if (other < 0) {
        if (m_cancelIndex >= 0)
            clickButtonAtIndex(m_cancelIndex);
        return;
    }
    // A button the delegate keeps off until the input is valid is not chosen by a key.
    if (Button* button = m_buttons.value(other); !button || button->isEnabled())
        clickButtonAtIndex(other);
}

void AlertView::dismissWithClickedButtonIndex(int buttonIndex, bool animated)
{
    if (!dispatch::isMainThread()) {
        QPointer<AlertView> self(this);
        dispatch::asyncMain([self, buttonIndex, animated] {
            if (self)
                self->dismissWithClickedButtonIndex(buttonIndex, animated);
        });
        return;
    }
    if (!m_visible || m_dismissing)
        return;
    finish(buttonIndex, false, animated);
}

void AlertView::finish(int buttonIndex, bool, bool animated)
{
    if (!m_visible || m_dismissing)
        return;
    m_dismissing = true;
    QPointer<AlertView> self(this);
    if (m_delegate)
        guarded([&] { m_delegate->alertViewWillDismissWithButtonIndex(this, buttonIndex); });
    if (!self)
        return;
    setUserInteractionEnabled(false);
    Animation::animate(
        animated ? 0.15 : 0, [this] { m_panel->setAlpha(0); },
        [self, buttonIndex](bool) {
            if (!self)
                return;
            self->m_visible = false;
            const bool wasTop = !shown().isEmpty() && shown().last() == self;
            shown().removeAll(self.data());
            {
                const QScopedValueRollback<bool> moving(closingMovesKeys(), true);
                self->hide();
            }
            // The alert that comes back into view takes the keys again, as when it showed:
            // typing must not go to whatever the hidden alert passed its focus on to. After
            // the last, they go where they were or were last asked for.
            if (wasTop) {
                if (const QList<AlertView*> left = visibleAlerts(); !left.isEmpty())
                    left.last()->takeFocus();
                else
                    handKeysOn();
            }
            if (self->m_delegate)
                guarded([&] {
                    self->m_delegate->alertViewDidDismissWithButtonIndex(self, buttonIndex);
                });
            if (self)
                self->deleteLater();
        });
}

QList<AlertView*> AlertView::visibleAlerts()
{
    QList<AlertView*> list;
    for (const auto& alert : shown())
        if (alert && alert->m_visible)
            list.append(alert);
    return list;
}

void AlertView::setAutoResponder(std::function<std::optional<int>(AlertView*)> newResponder)
{
    responder() = std::move(newResponder);
}

void AlertView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && m_cancelIndex >= 0) {
        clickButtonAtIndex(m_cancelIndex);
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        clickDefaultButton();
        return;
    }
    View::keyPressEvent(event);
}

} // namespace platform::ui
