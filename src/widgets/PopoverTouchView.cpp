#include "widgets/PopoverTouchView.h"

#include "platform/ui/Guard.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWheelEvent>

PopoverTouchView::PopoverTouchView(const QRectF& frame, QWidget* parent)
    : View(frame, parent)
{
    setBackgroundColor(Qt::transparent);
}

PopoverTouchView::~PopoverTouchView()
{
    if (m_filtering)
        QCoreApplication::instance()->removeEventFilter(this);
}

void PopoverTouchView::setTouchedInsideBlock(Block block)
{
    m_inside = std::move(block);
    // Presses on the panel go to the views inside it; they are seen on their way there.
    const bool filter = bool(m_inside);
    if (filter != m_filtering) {
        if (filter)
            QCoreApplication::instance()->installEventFilter(this);
        else
            QCoreApplication::instance()->removeEventFilter(this);
        m_filtering = filter;
    }
}

namespace {

// A press goes first to the deepest view under it, then up through the parents of any
// view that ignores it; only that first delivery counts.
bool isFirstDelivery(QWidget* receiver, const QMouseEvent* event)
{
    QWidget* top = receiver->window();
    QWidget* deepest = top->childAt(top->mapFromGlobal(event->globalPosition()).toPoint());
    return (deepest ? deepest : top) == receiver;
}

} // namespace

void PopoverTouchView::touched(bool inside)
{
    const Block block = inside ? m_inside : m_outside;
    if (block)
        platform::ui::guarded(block);
}

void PopoverTouchView::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (!isFirstDelivery(this, event))
        return; // a press inside the panel, seen by the filter
    // A press on this view itself, or on a subview that takes no touches just now
    // (fading in): the subviews' frames decide.
    const QPointF point = event->position();
    bool inside = false;
    for (View* child : subviews())
        if (!child->isHidden() && child->frame().contains(point))
            inside = true;
    touched(inside);
}

void PopoverTouchView::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
}

void PopoverTouchView::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
}

void PopoverTouchView::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
}

void PopoverTouchView::wheelEvent(QWheelEvent* event)
{
    event->accept();
}

bool PopoverTouchView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && watched != this) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && isAncestorOf(widget)
            && isFirstDelivery(widget, static_cast<QMouseEvent*>(event)))
            touched(true);
    }
    return View::eventFilter(watched, event);
}
