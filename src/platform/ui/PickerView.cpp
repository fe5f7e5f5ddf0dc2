#include "platform/ui/PickerView.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Font.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/Guard.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWheelEvent>

#include <cmath>

namespace platform::ui {

namespace {

constexpr double kSideMargin = 9.0;
constexpr double kGap = 5.0;
constexpr double kFlickSeconds = 0.15; // how far a flick carries on, as time at its speed
constexpr double kSettleDuration = 0.25;
constexpr double kHalfPi = 1.5707963267948966;

QByteArray offsetKey(int component)
{
    return QByteArray("offset") + QByteArray::number(component);
}

} // namespace

PickerViewDataSource::~PickerViewDataSource() = default;
PickerViewDelegate::~PickerViewDelegate() = default;

QString PickerViewDelegate::pickerViewTitleForRow(PickerView*, int, int)
{
    return QString();
}

double PickerViewDelegate::pickerViewWidthForComponent(PickerView*, int)
{
    return 0;
}

double PickerViewDelegate::pickerViewRowHeightForComponent(PickerView*, int)
{
    return 0;
}

View* PickerViewDelegate::pickerViewViewForRow(PickerView*, int, int, View*)
{
    return nullptr;
}

void PickerViewDelegate::pickerViewDidSelectRow(PickerView*, int, int)
{
}

PickerView::PickerView(QWidget* parent)
    : View(parent)
{
    setUp();
    setFrame(QRectF(0, 0, 320, DefaultHeight));
}

PickerView::PickerView(const QRectF& frame, QWidget* parent)
    : View(parent)
{
    setUp();
    setFrame(frame);
}

PickerView::~PickerView() = default;

void PickerView::setUp()
{
    m_font = Font::system(21);
    setFocusPolicy(Qt::ClickFocus);
    // The wheels follow the mouse themselves.
    GestureRecognizer::setHandlesOwnTouches(this, true);
    m_wheelTimer = new QTimer(this);
    m_wheelTimer->setSingleShot(true);
    m_wheelTimer->setInterval(150);
    connect(m_wheelTimer, &QTimer::timeout, this, [this] {
        const int c = m_wheelComponent;
        if (c >= 0 && c < m_components.size())
            settle(c, std::round(m_components[c].offset), true, true);
    });
}

void PickerView::setDataSource(PickerViewDataSource* dataSource)
{
    m_dataSource = dataSource;
    reloadAllComponents();
}

void PickerView::setDelegate(PickerViewDelegate* delegate)
{
    m_delegate = delegate;
    reloadAllComponents();
}

int PickerView::numberOfRowsInComponent(int component) const
{
    return component >= 0 && component < m_components.size() ? m_components[component].rows : 0;
}

QSizeF PickerView::rowSizeForComponent(int component) const
{
    if (component < 0 || component >= m_components.size())
        return QSizeF();
    return QSizeF(rectForComponent(component).width(), m_components[component].rowHeight);
}

void PickerView::queryComponent(int component)
{
    Component& c = m_components[component];
    int rows = 0;
    double width = 0;
    double rowHeight = 0;
    guarded([&] {
        if (m_dataSource)
            rows = m_dataSource->pickerViewNumberOfRowsInComponent(this, component);
        if (m_delegate) {
            width = m_delegate->pickerViewWidthForComponent(this, component);
            rowHeight = m_delegate->pickerViewRowHeightForComponent(this, component);
        }
    });
    c.rows = std::max(0, rows);
    c.width = width;
    c.rowHeight = rowHeight > 0 ? rowHeight : DefaultRowHeight;
    c.selected = c.rows > 0 ? std::clamp(c.selected, 0, c.rows - 1) : 0;
    Animation::cancel(this, offsetKey(component));
    c.offset = c.selected;
}

void PickerView::reloadAllComponents()
{
    int count = 0;
    if (m_dataSource)
        guarded([&] { count = m_dataSource->numberOfComponentsInPickerView(this); });
    count = std::max(0, count);
    while (m_components.size() > count)
        m_components.removeLast();
    while (m_components.size() < count)
        m_components.append(Component {});
    for (int i = 0; i < count; ++i)
        queryComponent(i);
    m_keyComponent = std::clamp(m_keyComponent, 0, std::max(0, count - 1));
    update();
}

void PickerView::reloadComponent(int component)
{
    if (component < 0 || component >= m_components.size())
        return;
    queryComponent(component);
    update();
}

int PickerView::selectedRowInComponent(int component) const
{
    if (component < 0 || component >= m_components.size() || m_components[component].rows == 0)
        return -1;
    return m_components[component].selected;
}

void PickerView::selectRow(int row, int component, bool animated)
{
    if (component < 0 || component >= m_components.size() || row < 0
        || row >= m_components[component].rows)
        return;
    settle(component, row, animated, false);
}

void PickerView::setShowsSelectionIndicator(bool shows)
{
    m_showsIndicator = shows;
    update();
}

void PickerView::setFont(const QFont& font)
{
    m_font = font;
    update();
}

void PickerView::setTextColor(const QColor& color)
{
    m_textColor = color;
    update();
}

QRectF PickerView::rectForComponent(int component) const
{
    const int n = int(m_components.size());
    if (component < 0 || component >= n)
        return QRectF();
    const QRectF b = bounds();
    // Components of their own width sit together in the middle; the others share the rest.
    double fixed = 0;
    int flexible = 0;
    for (const Component& c : m_components) {
        if (c.width > 0)
            fixed += c.width;
        else
            ++flexible;
    }
    const double gaps = kGap * (n - 1);
    const double available = b.width() - 2 * kSideMargin - gaps;
    const double share = flexible ? std::max(0.0, (available - fixed) / flexible) : 0;
    // Widths asked for beyond the room there is shrink alike, so every wheel shows.
    const double shrink = fixed > available && fixed > 0 ? std::max(0.0, available) / fixed : 1.0;
    const double total = fixed * shrink + share * flexible + gaps;
    double x = b.left() + std::max(kSideMargin, (b.width() - total) / 2);
    for (int i = 0; i < n; ++i) {
        const double w = m_components[i].width > 0 ? m_components[i].width * shrink : share;
        if (i == component)
            return QRectF(x, b.top(), w, b.height());
        x += w + kGap;
    }
    return QRectF();
}

int PickerView::componentAt(const QPointF& point) const
{
    for (int i = 0; i < m_components.size(); ++i) {
        const QRectF r = rectForComponent(i).adjusted(-kGap / 2, 0, kGap / 2, 0);
        if (r.contains(point))
            return i;
    }
    return -1;
}

double PickerView::radius() const
{
    return std::max(1.0, bounds().height() / 2);
}

int PickerView::rowAtPoint(int component, const QPointF& point) const
{
    if (component < 0 || component >= m_components.size() || m_components[component].rows == 0)
        return -1;
    const Component& c = m_components[component];
    const double r = radius();
    const double dy = std::clamp(point.y() - bounds().center().y(), -r * 0.999, r * 0.999);
    // The rows lie on a drum: the point's height is the sine of the row's angle.
    const double angle = std::asin(dy / r);
    const double row = c.offset + angle * r / c.rowHeight;
    return std::clamp(int(std::lround(row)), 0, c.rows - 1);
}

void PickerView::setOffset(int component, double offset)
{
    if (component < 0 || component >= m_components.size())
        return;
    m_components[component].offset = offset;
    update();
}

void PickerView::settle(int component, double target, bool animated, bool byUser)
{
    Component& c = m_components[component];
    if (c.rows == 0)
        return;
    const int row = std::clamp(int(std::lround(target)), 0, c.rows - 1);
    const int before = c.selected;
    c.selected = row;
    const double from = c.offset;
    if (animated && !Animation::instant() && std::abs(from - row) > 1e-6) {
        QPointer<PickerView> self(this);
        Animation::animate(kSettleDuration, 0, AnimationOptionCurveEaseOut, [&] {
            Animation::record(this, offsetKey(component), from, double(row),
                [self, component](const QVariant& v) {
                    if (self)
                        self->setOffset(component, v.toDouble());
                });
        });
    } else {
        Animation::cancel(this, offsetKey(component));
        setOffset(component, row);
    }
    if (byUser && row != before)
        userSelectedRow(row, component);
}

QString PickerView::titleForRow(int row, int component)
{
    QString title;
    if (m_delegate)
        guarded([&] { title = m_delegate->pickerViewTitleForRow(this, row, component); });
    return title;
}

QColor PickerView::colorForRow(int, int)
{
    return m_textColor;
}

Qt::Alignment PickerView::alignmentForComponent(int)
{
    return Qt::AlignHCenter;
}

void PickerView::userSelectedRow(int row, int component)
{
    if (m_delegate)
        guarded([&] { m_delegate->pickerViewDidSelectRow(this, row, component); });
}

void PickerView::drawRect(QPainter& painter, const QRectF& rect)
{
    const double cy = rect.center().y();
    const double r = radius();
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (int i = 0; i < m_components.size(); ++i) {
        const Component& c = m_components[i];
        const QRectF column = rectForComponent(i);
        const int reach = int(std::ceil(r * kHalfPi / c.rowHeight)) + 1;
        const int first = std::max(0, int(std::floor(c.offset)) - reach);
        const int last = std::min(c.rows - 1, int(std::ceil(c.offset)) + reach);
        const Qt::Alignment alignment = alignmentForComponent(i);
        // Views of rows gone out of sight are handed back for the rows coming in.
        QList<QPointer<View>> spare;
        for (auto it = m_components[i].rowViews.begin(); it != m_components[i].rowViews.end();) {
            const double angle = (it.key() - c.offset) * c.rowHeight / r;
            if (it.key() < first || it.key() > last || std::abs(angle) >= kHalfPi - 0.02) {
                if (it.value())
                    spare.append(it.value());
                it = m_components[i].rowViews.erase(it);
            } else {
                ++it;
            }
        }
        for (int row = first; row <= last; ++row) {
            const double angle = (row - c.offset) * c.rowHeight / r;
            if (std::abs(angle) >= kHalfPi - 0.02)
                continue;
            if (View* view = rowView(i, row, spare)) {
                const double squeeze = std::cos(angle);
                painter.save();
                painter.translate(column.left(), cy + r * std::sin(angle));
                painter.scale(1.0, std::max(0.05, squeeze));
                painter.setOpacity(0.25 + 0.75 * squeeze * squeeze);
                drawRowView(
                    painter, view, QRectF(0, -c.rowHeight / 2, column.width(), c.rowHeight));
                painter.restore();
                continue;
            }
            const QString title = titleForRow(row, i);
            if (title.isEmpty())
                continue;
            const double squeeze = std::cos(angle);
            QColor color = colorForRow(row, i);
            // Rows turning away fade and flatten, as on a drum.
            color.setAlphaF(color.alphaF() * (0.25 + 0.75 * squeeze * squeeze));
            painter.save();
            painter.translate(column.left(), cy + r * std::sin(angle));
            painter.scale(1.0, std::max(0.05, squeeze));
            painter.setFont(m_font);
            painter.setPen(color);
            const QRectF box(4, -c.rowHeight / 2, column.width() - 8, c.rowHeight);
            painter.drawText(box, int(alignment | Qt::AlignVCenter) | Qt::TextSingleLine,
                QFontMetricsF(m_font).elidedText(title, Qt::ElideRight, box.width()));
            painter.restore();
        }
        // Views the delegate no longer uses go.
        const QList<QPointer<View>> inUse = m_components[i].rowViews.values();
        for (const QPointer<View>& view : spare)
            if (view && view->parentWidget() == this && !inUse.contains(view))
                view->deleteLater();
    }
    if (m_showsIndicator && !m_components.isEmpty()) {
        const double h = m_components.first().rowHeight;
        painter.setPen(QPen(QColor(0, 0, 0, 45), 0.5));
        painter.drawLine(QPointF(rect.left(), cy - h / 2), QPointF(rect.right(), cy - h / 2));
        painter.drawLine(QPointF(rect.left(), cy + h / 2), QPointF(rect.right(), cy + h / 2));
    }
}

View* PickerView::rowView(int component, int row, QList<QPointer<View>>& spare)
{
    if (!m_delegate)
        return nullptr;
    QHash<int, QPointer<View>>& shown = m_components[component].rowViews;
    QPointer<View> reusing = shown.take(row);
    while (!reusing && !spare.isEmpty())
        reusing = spare.takeLast();
    View* view = nullptr;
    guarded([&] { view = m_delegate->pickerViewViewForRow(this, row, component, reusing); });
    if (reusing && reusing != view)
        spare.append(reusing);
    if (!view)
        return nullptr;
    if (view->parentWidget() != this) {
        view->setParent(this);
        view->hide();
    }
    shown.insert(row, view);
    return view;
}

void PickerView::drawRowView(QPainter& painter, View* view, const QRectF& box)
{
    QSizeF size = view->frame().size();
    if (size.isEmpty())
        size = box.size();
    view->resize(size.toSize());
    // The view is drawn where the drum puts its row, centred in the row.
    const double scale = std::max(1.0, painter.device()->devicePixelRatioF());
    QImage image((size * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    view->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    const QPointF at(box.left() + (box.width() - size.width()) / 2,
        box.top() + (box.height() - size.height()) / 2);
    painter.drawImage(QRectF(at, size), image);
}

View* PickerView::viewForRow(int row, int component) const
{
    if (component < 0 || component >= m_components.size())
        return nullptr;
    return m_components[component].rowViews.value(row);
}

void PickerView::mousePressEvent(QMouseEvent* event)
{
    const int component = event->button() == Qt::LeftButton ? componentAt(event->position()) : -1;
    if (component < 0 || m_components[component].rows == 0) {
        View::mousePressEvent(event);
        return;
    }
    Animation::cancel(this, offsetKey(component));
    m_dragComponent = component;
    m_keyComponent = component;
    m_dragStart = m_lastPoint = event->position();
    m_lastTime = event->timestamp();
    m_dragStartOffset = m_components[component].offset;
    m_dragged = false;
    m_velocity = 0;
    event->accept();
}

void PickerView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragComponent < 0) {
        View::mouseMoveEvent(event);
        return;
    }
    Component& c = m_components[m_dragComponent];
    const QPointF p = event->position();
    if (std::abs(p.y() - m_dragStart.y()) > 3)
        m_dragged = true;
    if (m_dragged) {
        const double offset = m_dragStartOffset - (p.y() - m_dragStart.y()) / c.rowHeight;
        setOffset(m_dragComponent, std::clamp(offset, -0.5, c.rows - 0.5));
        if (event->timestamp() > m_lastTime)
            m_velocity = -(p.y() - m_lastPoint.y()) / c.rowHeight * 1000.0
                / double(event->timestamp() - m_lastTime);
    }
    m_lastPoint = p;
    m_lastTime = event->timestamp();
    event->accept();
}

void PickerView::mouseReleaseEvent(QMouseEvent* event)
{
    const int component = m_dragComponent;
    m_dragComponent = -1;
    if (component < 0 || component >= m_components.size()) {
        View::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    if (!m_dragged) {
        // A click brings the clicked row into the band.
        const int row = rowAtPoint(component, event->position());
        if (row >= 0)
            settle(component, row, true, true);
        return;
    }
    const double carry = std::clamp(m_velocity * kFlickSeconds, -10.0, 10.0);
    settle(component, m_components[component].offset + carry, true, true);
}

void PickerView::wheelEvent(QWheelEvent* event)
{
    const int component = componentAt(event->position());
    if (component < 0 || m_components[component].rows == 0) {
        View::wheelEvent(event);
        return;
    }
    Component& c = m_components[component];
    double rows = 0;
    if (!event->pixelDelta().isNull())
        rows = -event->pixelDelta().y() / c.rowHeight;
    else
        rows = -event->angleDelta().y() / 120.0;
    if (event->inverted())
        rows = -rows;
    if (m_wheelComponent != component && m_wheelTimer->isActive()) {
        m_wheelTimer->stop();
        const int previous = m_wheelComponent;
        if (previous >= 0 && previous < m_components.size())
            settle(previous, std::round(m_components[previous].offset), true, true);
    }
    Animation::cancel(this, offsetKey(component));
    m_wheelComponent = component;
    m_keyComponent = component;
    setOffset(component, std::clamp(c.offset + rows, -0.5, c.rows - 0.5));
    m_wheelTimer->start();
    event->accept();
}

void PickerView::keyPressEvent(QKeyEvent* event)
{
    const int component = m_keyComponent;
    if (component < 0 || component >= m_components.size() || m_components[component].rows == 0
        || (event->key() != Qt::Key_Up && event->key() != Qt::Key_Down)) {
        View::keyPressEvent(event);
        return;
    }
    const int step = event->key() == Qt::Key_Up ? -1 : 1;
    settle(component, m_components[component].selected + step, true, true);
    event->accept();
}

QSizeF PickerView::sizeThatFits(const QSizeF& size) const
{
    return QSizeF(size.width() > 0 ? size.width() : 320, DefaultHeight);
}

} // namespace platform::ui
