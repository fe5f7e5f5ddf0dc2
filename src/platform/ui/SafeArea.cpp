#include "platform/ui/SafeArea.h"

#include "platform/ui/Device.h"

#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace platform::ui::SafeArea {

namespace {

const char* const SlidingContainer = "kivoSlidingContainer";
const char* const PresentationHost = "kivoPresentationHost";

QMarginsF overlapAt(const QWidget* screen, double left, double width)
{
    const QMarginsF safe = Device::current().safeAreaInsets();
    const double right = left + width;
    return QMarginsF(std::clamp(safe.left() - left, 0.0, safe.left()), 0,
        std::clamp(right - (screen->width() - safe.right()), 0.0, safe.right()), 0);
}

bool hasSideInsets()
{
    const QMarginsF safe = Device::current().safeAreaInsets();
    return safe.left() > 0 || safe.right() > 0;
}

// Where the view's top left corner is in the main window once every slide and rise
// it takes part in has ended; nothing when it is not in the main window.
std::optional<QPointF> restingOrigin(const QWidget* view)
{
    const QWidget* screen = view->window();
    if (screen != Device::current().mainWindow())
        return std::nullopt;
    QPointF origin = view->mapTo(screen, QPointF(0, 0));
    for (const QWidget* part = view; part && part != screen; part = part->parentWidget()) {
        const QWidget* container = part->parentWidget();
        if (!container)
            break;
        if (container->property(SlidingContainer).toBool())
            origin.rx() -= part->x();
        if (container->property(PresentationHost).toBool())
            origin.ry() += (container->height() - part->height()) / 2.0 - part->y();
    }
    return origin;
}

} // namespace

QMarginsF horizontalOverlap(const QWidget* view)
{
    if (!view || !hasSideInsets())
        return QMarginsF();
    const QWidget* screen = view->window();
    return overlapAt(screen, view->mapTo(screen, QPointF(0, 0)).x(), view->width());
}

QMarginsF restingOverlap(const QWidget* view)
{
    if (!hasSideInsets())
        return QMarginsF();
    const QMarginsF insets = restingInsets(view);
    return QMarginsF(insets.left(), 0, insets.right(), 0);
}

QMarginsF restingInsets(const QWidget* view)
{
    if (!view)
        return QMarginsF();
    const Device& device = Device::current();
    QMarginsF safe = device.safeAreaInsets();
    if (!device.hasNotch())
        safe.setTop(0);
    if (safe.isNull())
        return QMarginsF();
    const auto origin = restingOrigin(view);
    if (!origin)
        return QMarginsF();
    const QWidget* screen = view->window();
    const QRectF rest(*origin, QSizeF(view->size()));
    const auto covered = [](double edge, double inset) { return std::clamp(edge, 0.0, inset); };
    return QMarginsF(covered(safe.left() - rest.left(), safe.left()),
        covered(safe.top() - rest.top(), safe.top()),
        covered(rest.right() - (screen->width() - safe.right()), safe.right()),
        covered(rest.bottom() - (screen->height() - safe.bottom()), safe.bottom()));
}

void markSlidingContainer(QWidget* container)
{
    if (container)
        container->setProperty(SlidingContainer, true);
}

void markPresentationHost(QWidget* host)
{
    if (host)
        host->setProperty(PresentationHost, true);
}

} // namespace platform::ui::SafeArea
