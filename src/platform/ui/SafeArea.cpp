#include "platform/ui/SafeArea.h"

#include "platform/ui/Device.h"

#include <QVariant>
#include <QWidget>

#include <algorithm>

namespace platform::ui::SafeArea {

namespace {

const char* const SlidingContainer = "kivoSlidingContainer";

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
    if (!view || !hasSideInsets())
        return QMarginsF();
    const QWidget* screen = view->window();
    if (screen != Device::current().mainWindow())
        return QMarginsF();
    double left = view->mapTo(screen, QPointF(0, 0)).x();
    for (const QWidget* part = view; part && part != screen; part = part->parentWidget()) {
        const QWidget* container = part->parentWidget();
        if (container && container->property(SlidingContainer).toBool())
            left -= part->x();
    }
    return overlapAt(screen, left, view->width());
}

void markSlidingContainer(QWidget* container)
{
    if (container)
        container->setProperty(SlidingContainer, true);
}

} // namespace platform::ui::SafeArea
