#include "platform/ui/SafeArea.h"

#include "platform/ui/Device.h"

#include <QWidget>

#include <algorithm>

namespace platform::ui::SafeArea {

QMarginsF horizontalOverlap(const QWidget* view)
{
    const QMarginsF safe = Device::current().safeAreaInsets();
    if (!view || (safe.left() <= 0 && safe.right() <= 0))
        return QMarginsF();
    const QWidget* screen = view->window();
    const double left = view->mapTo(screen, QPointF(0, 0)).x();
    const double right = left + view->width();
    return QMarginsF(std::clamp(safe.left() - left, 0.0, safe.left()), 0,
        std::clamp(right - (screen->width() - safe.right()), 0.0, safe.right()), 0);
}

} // namespace platform::ui::SafeArea
