#include "widgets/HorizontalPickerView.h"

#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/Layer.h"
#include "platform/ui/ScrollView.h"
#include "style/Theme.h"
#include "widgets/UIImage_Theme.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

using namespace platform::ui;

namespace {

const QString BackgroundImageName = QStringLiteral("wheelBackground");
const QString GlassImageName = QStringLiteral("stretchableGlass");
const QString ShadowImageName = QStringLiteral("shadowOverlay");
constexpr double DefaultFontSize = 24;
constexpr double CornerRadius = 3.0;
constexpr double BorderWidth = 0.5;
// Pages far beyond any strip, so an offset placed anywhere in code still gives an index.
constexpr double PageLimit = 1 << 30;

Color toolbarColor(const Theme* style)
{
    return style ? style->toolbarColor() : Color::colorWithWhite(0.97);
}

Color buttonTitleColor(const Theme* style)
{
    return style ? style->buttonTitleColor() : Color::blackColor();
}

// The bounds inset by the margins; an inset wider than the picker leaves no strip.
QRectF insetRect(const QRectF& bounds, const QMarginsF& inset)
{
    return QRectF(bounds.x() + inset.left(), bounds.y() + inset.top(),
        std::max(0.0, bounds.width() - inset.left() - inset.right()),
        std::max(0.0, bounds.height() - inset.top() - inset.bottom()));
}

int pageIndex(double pages)
{
    return int(std::clamp(pages, -PageLimit, PageLimit));
}

} // namespace

HorizontalPickerView::HorizontalPickerView(const QRectF& frame, QWidget* parent)
    : View(frame, parent)
    , m_itemFont(Font::boldSystem(DefaultFontSize))
{
    m_contentView = new ScrollView(insetRect(bounds(), m_peekInset), this);
    // Neighbouring items show beside the strip.
    m_contentView->setClipsToBounds(false);
    m_contentView->setShowsHorizontalScrollIndicator(false);
    m_contentView->setShowsVerticalScrollIndicator(false);
    m_contentView->setPagingEnabled(true);
    m_contentView->setScrollsToTop(false);
    m_contentView->setDelegate(this);

    const Theme* style = Theme::current();
    m_backgroundImage = UIImage_Theme::maskImage(BackgroundImageName, toolbarColor(style))
                            .resizableWithCapInsets(QMarginsF(0, 5, 0, 5));
    m_glassImage = UIImage_Theme::maskImage(GlassImageName, toolbarColor(style))
                       .resizableWithCapInsets(QMarginsF(1, 0, 1, 0));
    m_shadowImage = UIImage_Theme::maskImage(ShadowImageName, buttonTitleColor(style));

    layer()->setCornerRadius(CornerRadius);
    setClipsToBounds(true);
    layer()->setBorderWidth(BorderWidth);
    layer()->setBorderColor(buttonTitleColor(style).toQColor());
}

HorizontalPickerView::~HorizontalPickerView()
{
    m_contentView->setDelegate(nullptr);
    qDeleteAll(m_recycledViews);
}

void HorizontalPickerView::reloadData()
{
    m_currentIndex = 0;
    m_itemCount = 0;
    dropLabels();
    if (HorizontalPickerViewDataSource* source = m_dataSource.get())
        m_itemCount = std::max(0, source->numberOfItemsInPickerView(this));
    scrollToIndex(0, false);
    const QSizeF strip = m_contentView->frame().size();
    m_contentView->setContentSize(QSizeF(strip.width() * m_itemCount, strip.height()));
    tileViews();
}

void HorizontalPickerView::dropLabels()
{
    // Spare labels have no superview; those on the strip leave it as they go.
    const QSet<Label*> labels = m_visibleViews + m_recycledViews;
    m_visibleViews.clear();
    m_recycledViews.clear();
    qDeleteAll(labels);
}

void HorizontalPickerView::selectItemAtIndex(int index, bool animated)
{
    scrollToIndex(index, animated);
}

void HorizontalPickerView::scrollToIndex(int index, bool animated)
{
    m_contentView->setContentOffset(QPointF(m_contentView->frame().width() * index, 0), animated);
}

void HorizontalPickerView::setSelectedItem(int index)
{
    if (index < 0 || index >= m_itemCount)
        return;
    m_currentIndex = index;
    scrollToIndex(index, false);
}

void HorizontalPickerView::setItemFont(const QFont& font)
{
    m_itemFont = font;
    for (Label* label : m_visibleViews + m_recycledViews)
        label->setFont(font);
    m_contentView->setNeedsDisplay();
}

void HorizontalPickerView::setItemColor(const QColor& color)
{
    m_itemColor = color;
    for (Label* label : m_visibleViews + m_recycledViews)
        label->setTextColor(color);
    m_contentView->setNeedsDisplay();
}

void HorizontalPickerView::setShowGlass(bool show)
{
    if (show == m_showGlass)
        return;
    m_showGlass = show;
    setNeedsDisplay();
}

void HorizontalPickerView::setPeekInset(const QMarginsF& inset)
{
    if (inset == m_peekInset)
        return;
    m_peekInset = inset;
    m_contentView->setFrame(insetRect(bounds(), inset));
    reloadData();
    m_contentView->setNeedsDisplay();
}

double HorizontalPickerView::pageWidth() const
{
    const double width = m_contentView->frame().width();
    return std::isfinite(width) && width > 0 ? width : 0;
}

int HorizontalPickerView::indexOfLabel(const Label* label, double width) const
{
    // Labels stand at whole multiples of the width; rounding keeps a fractional width
    // from putting one a page early.
    return pageIndex(std::round(label->frame().x() / width));
}

bool HorizontalPickerView::isDisplayingViewForIndex(int index, double width) const
{
    for (const Label* label : m_visibleViews)
        if (indexOfLabel(label, width) == index)
            return true;
    return false;
}

void HorizontalPickerView::tileViews()
{
    const double width = pageWidth();
    if (width <= 0) {
        // A strip of no width has no pages to show.
        for (Label* label : std::as_const(m_visibleViews)) {
            label->removeFromSuperview();
            m_recycledViews.insert(label);
        }
        m_visibleViews.clear();
        return;
    }
    const float pages = float(m_contentView->contentOffset().x()) / float(width);
    const int page = pageIndex(std::floor(double(pages)));
    const int first = std::max(page - 2, 0);
    const int last = std::min(m_itemCount - 1, page + 2);

    for (Label* label : std::as_const(m_visibleViews)) {
        const int index = indexOfLabel(label, width);
        if (index < first || index > last) {
            m_recycledViews.insert(label);
            label->removeFromSuperview();
        }
    }
    m_visibleViews -= m_recycledViews;

    for (int index = first; index <= last; ++index) {
        if (isDisplayingViewForIndex(index, width))
            continue;
        Label* label = dequeueRecycledView();
        if (!label) {
            label = new Label(QRectF(QPointF(0, 0), m_contentView->frame().size()));
            label->setBackgroundColor(Qt::transparent);
            label->setFont(m_itemFont);
            label->setTextColor(m_itemColor);
            label->setTextAlignment(Qt::AlignCenter);
        }
        configureView(label, index, width);
        m_contentView->addSubview(label);
        m_visibleViews.insert(label);
    }
}

Label* HorizontalPickerView::dequeueRecycledView()
{
    if (m_recycledViews.isEmpty())
        return nullptr;
    Label* label = *m_recycledViews.begin();
    m_recycledViews.erase(m_recycledViews.begin());
    return label;
}

void HorizontalPickerView::configureView(Label* label, int index, double width)
{
    HorizontalPickerViewDataSource* source = m_dataSource.get();
    if (source && source->respondsToTitleForItem())
        label->setText(source->pickerViewTitleForItem(this, index));
    QRectF frame = label->frame();
    frame.moveLeft(width * index);
    label->setFrame(frame);
}

void HorizontalPickerView::scrollViewDidScroll(ScrollView*)
{
    tileViews();
}

void HorizontalPickerView::scrollViewDidEndDecelerating(ScrollView*)
{
    const double width = pageWidth();
    if (width <= 0) {
        // No page to have come to rest on: the selection stays at the first item.
        m_currentIndex = 0;
        return;
    }
    m_currentIndex = pageIndex(std::round(m_contentView->contentOffset().x() / width));
    if (HorizontalPickerViewDelegate* d = m_delegate.get())
        d->pickerViewDidSelectItem(this, m_currentIndex);
}

View* HorizontalPickerView::hitTest(const QPointF& point)
{
    if (isHidden() || !isUserInteractionEnabled() || alpha() < 0.01 || !pointInside(point))
        return nullptr;
    return m_contentView;
}

void HorizontalPickerView::drawRect(QPainter& painter, const QRectF& rect)
{
    m_backgroundImage.draw(painter, rect);
    m_shadowImage.draw(painter, rect);
    if (m_showGlass)
        m_glassImage.draw(painter,
            QRectF(frame().width() * 0.5 - GlassWidth / 2, 0, GlassWidth, frame().height()));
}

void HorizontalPickerView::forwardMouseEvent(QMouseEvent* event)
{
    if (m_forwarding) {
        event->ignore();
        return;
    }
    const QPointF local = m_contentView->mapFrom(this, event->position());
    QMouseEvent forwarded(event->type(), local, event->scenePosition(), event->globalPosition(),
        event->button(), event->buttons(), event->modifiers(), event->pointingDevice());
    forwarded.setTimestamp(event->timestamp());
    deliverToStrip(event, &forwarded);
}

void HorizontalPickerView::deliverToStrip(QEvent* original, QEvent* forwarded)
{
    // The copy stops at the strip; what the strip leaves goes on up as the original.
    const bool stops = m_contentView->testAttribute(Qt::WA_NoMousePropagation);
    m_contentView->setAttribute(Qt::WA_NoMousePropagation, true);
    m_forwarding = true;
    QApplication::sendEvent(m_contentView, forwarded);
    m_forwarding = false;
    m_contentView->setAttribute(Qt::WA_NoMousePropagation, stops);
    original->setAccepted(forwarded->isAccepted());
}

void HorizontalPickerView::mousePressEvent(QMouseEvent* event)
{
    forwardMouseEvent(event);
}

void HorizontalPickerView::mouseMoveEvent(QMouseEvent* event)
{
    forwardMouseEvent(event);
}

void HorizontalPickerView::mouseReleaseEvent(QMouseEvent* event)
{
    forwardMouseEvent(event);
}

void HorizontalPickerView::wheelEvent(QWheelEvent* event)
{
    if (m_forwarding) {
        event->ignore();
        return;
    }
    const QPointF local = m_contentView->mapFrom(this, event->position());
    QWheelEvent forwarded(local, event->globalPosition(), event->pixelDelta(), event->angleDelta(),
        event->buttons(), event->modifiers(), event->phase(), event->inverted(), event->source(),
        event->pointingDevice());
    forwarded.setTimestamp(event->timestamp());
    deliverToStrip(event, &forwarded);
}
