#include "platform/ui/ActionSheet.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/DesktopKeys.h"
#include "platform/ui/Device.h"
#include "platform/ui/Font.h"
#include "platform/ui/Guard.h"
#include "platform/ui/Label.h"
#include "platform/ui/SafeArea.h"

#include <QMouseEvent>
#include <QPointer>

namespace platform::ui {

namespace {
constexpr double kRowHeight = 50.0;
constexpr double kTitleHeight = 40.0;
constexpr double kPadWidth = 300.0;
constexpr double kMargin = 8.0;
} // namespace

ActionSheetDelegate::~ActionSheetDelegate() = default;
void ActionSheetDelegate::actionSheetClickedButtonAtIndex(ActionSheet*, int)
{
}
void ActionSheetDelegate::actionSheetCancel(ActionSheet*)
{
}
void ActionSheetDelegate::actionSheetWillDismissWithButtonIndex(ActionSheet*, int)
{
}
void ActionSheetDelegate::actionSheetDidDismissWithButtonIndex(ActionSheet*, int)
{
}

ActionSheet::ActionSheet(const QString& title, ActionSheetDelegate* delegate,
    const QString& cancelButtonTitle, const QString& destructiveButtonTitle,
    const QStringList& otherButtonTitles)
    : m_title(title)
    , m_delegate(delegate)
{
    if (!destructiveButtonTitle.isNull()) {
        m_destructiveIndex = 0;
        m_titles.append(destructiveButtonTitle);
    }
    m_titles.append(otherButtonTitles);
    if (!cancelButtonTitle.isNull()) {
        m_cancelIndex = int(m_titles.size());
        m_titles.append(cancelButtonTitle);
    }
}

ActionSheet::~ActionSheet() = default;

int ActionSheet::addButtonWithTitle(const QString& title)
{
    // Added buttons go after the others, keeping the cancel button last.
    if (m_cancelIndex >= 0) {
        m_titles.insert(m_cancelIndex, title);
        return m_cancelIndex++;
    }
    m_titles.append(title);
    return int(m_titles.size()) - 1;
}

int ActionSheet::firstOtherButtonIndex() const
{
    const int first = m_destructiveIndex == 0 ? 1 : 0;
    return first < m_titles.size() && first != m_cancelIndex ? first : -1;
}

void ActionSheet::showInView(View* view)
{
    const QRectF area = view ? view->convertRectToView(view->bounds(), nullptr) : QRectF();
    present(QRectF(area.center().x(), area.bottom(), 0, 0));
}

void ActionSheet::showFromRect(const QRectF& rect, View* view)
{
    present(view ? view->convertRectToView(rect, nullptr) : rect);
}

void ActionSheet::present(const QRectF& anchor)
{
    if (m_visible)
        return;
    m_anchor = anchor;
    const bool pad = Device::current().isPad();
    m_panel = new View(this);
    m_panel->setBackgroundColor(QColor(250, 250, 250, 248));
    m_panel->layer()->setCornerRadius(13);
    m_panel->layer()->setShadowOpacity(pad ? 0.25 : 0);
    m_panel->layer()->setShadowRadius(10);
    if (!m_title.isEmpty()) {
        m_titleLabel = new Label(m_panel);
        m_titleLabel->setText(m_title);
        m_titleLabel->setFont(Font::named("HelveticaNeue-Medium", 13));
        m_titleLabel->setTextColor(QColor(143, 143, 143));
        m_titleLabel->setTextAlignment(Qt::AlignCenter);
    }
    if (!pad && m_cancelIndex >= 0) {
        m_cancelPanel = new View(this);
        m_cancelPanel->setBackgroundColor(Qt::white);
        m_cancelPanel->layer()->setCornerRadius(13);
    }
    for (int i = 0; i < m_titles.size(); ++i) {
        const bool cancel = i == m_cancelIndex;
        View* host = cancel && m_cancelPanel ? m_cancelPanel : m_panel;
        auto* button = Button::withType(Button::Type::System, host);
        button->setTitle(m_titles.at(i));
        button->setTitleFont(cancel ? Font::named("HelveticaNeue-Medium", 19) : Font::system(19));
        button->setTitleColor(i == m_destructiveIndex ? QColor(255, 59, 48) : QColor(0, 122, 255));
        button->setHidden(cancel && pad); // a touch outside cancels on a tablet
        button->addTarget(
            [this, i](Control*) { clickButtonAtIndex(i); }, ControlEventTouchUpInside);
        m_buttons.append(button);
    }
    View* overlay = Application::shared().overlayLevel();
    overlay->addSubview(this);
    setFrame(overlay->bounds());
    setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    setBackgroundColor(pad ? QColor(0, 0, 0, 0) : QColor(0, 0, 0, 90));
    setHidden(false);
    QPointer<ActionSheet> self(this);
    DesktopKeys::setOutsideTap(this, [self] {
        if (self)
            self->tappedOutside();
    });
    raise();
    m_visible = true;
    layoutSubviews();
    m_panel->setAlpha(0);
    Animation::animate(0.2, [this] { m_panel->setAlpha(1); });
}

void ActionSheet::layoutSubviews()
{
    if (!m_panel)
        return;
    const QRectF b = bounds();
    const bool pad = Device::current().isPad();
    int shown = 0;
    for (int i = 0; i < m_buttons.size(); ++i)
        if (!(i == m_cancelIndex && (pad || m_cancelPanel)))
            ++shown;
    // The sheet keeps clear of a notch and of the home indicator's strip.
    const QRectF area = b.marginsRemoved(SafeArea::restingInsets(this));
    const double titleHeight = m_titleLabel ? kTitleHeight : 0;
    const double width = pad ? kPadWidth : area.width() - 2 * kMargin;
    const double height = titleHeight + shown * kRowHeight;
    QRectF panel;
    if (pad) {
        // Beside the anchor: below it when there is room, else above.
        double x = std::clamp(m_anchor.center().x() - width / 2, area.left() + kMargin,
            area.right() - width - kMargin);
        double y = m_anchor.bottom() + kMargin;
        if (y + height > area.bottom() - kMargin)
            y = std::max(area.top() + kMargin, m_anchor.top() - kMargin - height);
        panel = QRectF(x, y, width, height);
    } else {
        const double cancelHeight = m_cancelPanel ? kRowHeight + kMargin : 0;
        const double left = area.left() + kMargin;
        panel = QRectF(left, area.bottom() - kMargin - cancelHeight - height, width, height);
        if (m_cancelPanel)
            m_cancelPanel->setFrame(
                QRectF(left, area.bottom() - kMargin - kRowHeight, width, kRowHeight));
    }
    m_panel->setFrame(panel);
    if (m_titleLabel)
        m_titleLabel->setFrame(QRectF(10, 0, width - 20, kTitleHeight));
    double y = titleHeight;
    for (int i = 0; i < m_buttons.size(); ++i) {
        if (i == m_cancelIndex && m_cancelPanel) {
            m_buttons.at(i)->setFrame(QRectF(0, 0, width, kRowHeight));
            continue;
        }
        if (i == m_cancelIndex && pad)
            continue;
        m_buttons.at(i)->setFrame(QRectF(0, y, width, kRowHeight));
        y += kRowHeight;
    }
}

void ActionSheet::mousePressEvent(QMouseEvent* event)
{
    const QPointF p = event->position();
    const bool inside = (m_panel && m_panel->frame().contains(p))
        || (m_cancelPanel && m_cancelPanel->frame().contains(p));
    if (!inside)
        tappedOutside();
    event->accept();
}

void ActionSheet::tappedOutside()
{
    // A touch outside the sheet is the cancel button.
    if (m_delegate)
        guarded([&] { m_delegate->actionSheetCancel(this); });
    clickButtonAtIndex(m_cancelIndex);
}

void ActionSheet::clickButtonAtIndex(int buttonIndex)
{
    if (!m_visible || m_dismissing)
        return;
    QPointer<ActionSheet> self(this);
    if (m_delegate)
        guarded([&] { m_delegate->actionSheetClickedButtonAtIndex(this, buttonIndex); });
    if (self && m_callback)
        guarded([&] { m_callback(this, buttonIndex); });
    if (self)
        finish(buttonIndex, true);
}

void ActionSheet::dismissWithClickedButtonIndex(int buttonIndex, bool animated)
{
    finish(buttonIndex, animated);
}

void ActionSheet::finish(int buttonIndex, bool animated)
{
    if (!m_visible || m_dismissing)
        return;
    m_dismissing = true;
    DesktopKeys::clearOutsideTap(this);
    QPointer<ActionSheet> self(this);
    if (m_delegate)
        guarded([&] { m_delegate->actionSheetWillDismissWithButtonIndex(this, buttonIndex); });
    if (!self)
        return;
    Animation::animate(
        animated ? 0.15 : 0, [this] { m_panel->setAlpha(0); },
        [self, buttonIndex](bool) {
            if (!self)
                return;
            self->m_visible = false;
            self->hide();
            if (self->m_delegate)
                guarded([&] {
                    self->m_delegate->actionSheetDidDismissWithButtonIndex(self, buttonIndex);
                });
            if (self)
                self->deleteLater();
        });
}

} // namespace platform::ui
