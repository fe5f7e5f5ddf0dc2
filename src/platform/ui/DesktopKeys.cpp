#include "platform/ui/DesktopKeys.h"

#include "platform/ui/AlertView.h"
#include "platform/ui/Guard.h"
#include "platform/ui/Window.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace platform::ui {

namespace {

struct OutsideTap {
    QPointer<View> view;
    std::function<void()> tapped;
};

QList<OutsideTap>& outsideTaps()
{
    static QList<OutsideTap> list;
    return list;
}

const char* const kTakesEscape = "kivotabTakesEscape";

QPointer<DesktopKeys>& instance()
{
    static QPointer<DesktopKeys> keys;
    return keys;
}

} // namespace

DesktopKeys::DesktopKeys(Window* window)
    : QObject(window)
    , m_window(window)
{
}

void DesktopKeys::install(Window* window)
{
    if (!window || instance())
        return;
    instance() = new DesktopKeys(window);
    QCoreApplication::instance()->installEventFilter(instance());
}

void DesktopKeys::setOutsideTap(View* view, std::function<void()> tapped)
{
    clearOutsideTap(view);
    if (view)
        outsideTaps().append({ view, std::move(tapped) });
}

void DesktopKeys::clearOutsideTap(View* view)
{
    outsideTaps().removeIf([view](const OutsideTap& tap) { return !tap.view || tap.view == view; });
}

void DesktopKeys::setTakesEscape(QWidget* widget)
{
    if (widget)
        widget->setProperty(kTakesEscape, true);
}

bool DesktopKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    auto* key = static_cast<QKeyEvent*>(event);
    // Plain keys typed in this window; a held key does not answer alert after alert.
    if (!widget || !m_window || widget->window() != m_window || key->isAutoRepeat()
        || key->modifiers() & ~(Qt::KeypadModifier))
        return QObject::eventFilter(watched, event);
    if (key->key() == Qt::Key_Escape)
        return escape(widget);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        return enter();
    return QObject::eventFilter(watched, event);
}

bool DesktopKeys::escape(QWidget* target)
{
    const bool targetTakesIt = target->property(kTakesEscape).toBool();
    if (const QList<AlertView*> alerts = AlertView::visibleAlerts(); !alerts.isEmpty()) {
        AlertView* alert = alerts.last();
        if (alert->cancelButtonIndex() >= 0)
            alert->clickButtonAtIndex(alert->cancelButtonIndex());
        return true;
    }
    // Sheets in the overlay level lie over every popover; a sheet a tap outside leaves
    // alone keeps the key to itself.
    const bool overlayShown = !m_window->overlayLevel()->isHidden();
    for (qsizetype i = outsideTaps().size() - 1; i >= 0; --i) {
        const OutsideTap tap = outsideTaps().at(i);
        if (!tap.view || !tap.view->isVisible() || tap.view->window() != m_window)
            continue;
        if (overlayShown && !m_window->overlayLevel()->isAncestorOf(tap.view))
            continue;
        if (targetTakesIt && tap.view->isAncestorOf(target))
            return false;
        if (tap.tapped)
            guarded(tap.tapped);
        return true;
    }
    return overlayShown;
}

bool DesktopKeys::enter()
{
    const QList<AlertView*> alerts = AlertView::visibleAlerts();
    if (alerts.isEmpty())
        return false;
    alerts.last()->clickDefaultButton();
    return true;
}

} // namespace platform::ui
