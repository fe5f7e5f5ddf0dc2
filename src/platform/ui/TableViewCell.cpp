#include "platform/ui/TableViewCell.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Control.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace platform::ui {

namespace {

const QColor DetailTextColor(142, 142, 147);
const QColor ChevronColor(196, 196, 199);
const QColor SelectedBackground(209, 209, 214);
const QColor GripColor(186, 186, 190);
constexpr double FontSize = 17;
constexpr double SubtitleFontSize = 12;
constexpr double SelectionDuration = 0.25;
constexpr double EditingDuration = 0.3;
constexpr double ReorderControlWidth = 44;
constexpr double DeleteControlWidth = 44;
constexpr double DeleteConfirmationWidth = 82;
const QColor DeleteColor(255, 59, 48);
const QString DeleteTitle = QStringLiteral("Delete");
constexpr double ImageTextGap = 15;
constexpr double LabelGap = 10;

// The disclosure chevron or the check mark.
class AccessoryIndicator : public View {
public:
    enum class Kind { Chevron, Check };

    explicit AccessoryIndicator(QWidget* parent)
        : View(parent)
    {
        setUserInteractionEnabled(false);
    }

    void setKind(Kind kind)
    {
        m_kind = kind;
        update();
    }
    Kind kind() const { return m_kind; }
    QSizeF sizeThatFits(const QSizeF&) const override
    {
        return m_kind == Kind::Chevron ? QSizeF(8, 13) : QSizeF(14, 11);
    }

protected:
    void drawRect(QPainter& painter, const QRectF& r) override
    {
        QPen pen(m_kind == Kind::Chevron ? ChevronColor : tintColor(),
            m_kind == Kind::Chevron ? 2.0 : 2.2);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        painter.setPen(pen);
        QPainterPath path;
        if (m_kind == Kind::Chevron) {
            path.moveTo(r.left() + 1.5, r.top() + 1.5);
            path.lineTo(r.right() - 1.5, r.center().y());
            path.lineTo(r.left() + 1.5, r.bottom() - 1.5);
        } else {
            path.moveTo(r.left() + 1.2, r.top() + r.height() * 0.55);
            path.lineTo(r.left() + r.width() * 0.36, r.bottom() - 1.2);
            path.lineTo(r.right() - 1.2, r.top() + 1.2);
        }
        painter.drawPath(path);
    }

private:
    Kind m_kind = Kind::Chevron;
};

// The round "i" of the detail button.
class DetailButton : public Control {
public:
    explicit DetailButton(QWidget* parent)
        : Control(parent)
    {
    }

protected:
    void drawRect(QPainter& painter, const QRectF& r) override
    {
        const QColor ink = isHighlighted() ? tintColor().lighter(160) : tintColor();
        const QRectF circle = QRectF(r.center() - QPointF(10.5, 10.5), QSizeF(21, 21));
        painter.setPen(QPen(ink, 1.2));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(circle);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawEllipse(QRectF(circle.center().x() - 1.1, circle.top() + 4.6, 2.2, 2.2));
        painter.drawRoundedRect(
            QRectF(circle.center().x() - 0.95, circle.top() + 8.5, 1.9, 8.2), 0.8, 0.8);
    }
};

// Three grey bars to take hold of a row by.
class ReorderGrip : public View {
public:
    explicit ReorderGrip(QWidget* parent)
        : View(parent)
    {
        setUserInteractionEnabled(false);
    }

protected:
    void drawRect(QPainter& painter, const QRectF& r) override
    {
        const double width = 18;
        const double x = r.center().x() - width / 2;
        for (int i = -1; i <= 1; ++i)
            painter.fillRect(QRectF(x, r.center().y() + i * 5.5 - 1, width, 2), GripColor);
    }
};

// The red round minus at the left edge of a row that may be deleted.
class DeleteControl : public Control {
public:
    explicit DeleteControl(QWidget* parent)
        : Control(parent)
    {
    }

protected:
    void drawRect(QPainter& painter, const QRectF& r) override
    {
        const QRectF circle = QRectF(r.center() - QPointF(11, 11), QSizeF(22, 22));
        painter.setPen(Qt::NoPen);
        painter.setBrush(isHighlighted() ? DeleteColor.darker(120) : DeleteColor);
        painter.drawEllipse(circle);
        painter.fillRect(QRectF(circle.left() + 5, circle.center().y() - 1, 12, 2), Qt::white);
    }
};

// The red Delete button that confirms a row's deletion.
class DeleteConfirmationButton : public Control {
public:
    explicit DeleteConfirmationButton(QWidget* parent)
        : Control(parent)
    {
    }

protected:
    void drawRect(QPainter& painter, const QRectF& r) override
    {
        painter.fillRect(r, isHighlighted() ? DeleteColor.darker(120) : DeleteColor);
        painter.setPen(Qt::white);
        painter.setFont(Font::system(FontSize));
        painter.drawText(r, Qt::AlignCenter, DeleteTitle);
    }
};

} // namespace

TableViewCell::TableViewCell(Style style, const QString& reuseIdentifier, QWidget* parent)
    : View(parent)
    , m_style(style)
    , m_reuseIdentifier(reuseIdentifier)
{
    setBackgroundColor(Qt::white);
    setClipsToBounds(true);
    m_contentView = new View(this);
    m_imageView = new ImageView({}, m_contentView);
    m_imageView->setContentMode(ImageView::ContentMode::ScaleAspectFit);
    m_imageView->setHidden(true);
    m_textLabel = new Label(m_contentView);
    m_textLabel->setFont(Font::system(FontSize));
    if (style == Style::Value1) {
        m_detailTextLabel = new Label(m_contentView);
        m_detailTextLabel->setFont(Font::system(FontSize));
        m_detailTextLabel->setTextColor(DetailTextColor);
        m_detailTextLabel->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    } else if (style == Style::Subtitle) {
        m_detailTextLabel = new Label(m_contentView);
        m_detailTextLabel->setFont(Font::system(SubtitleFontSize));
    }
    auto* indicator = new AccessoryIndicator(this);
    indicator->setHidden(true);
    m_accessoryIndicator = indicator;
    m_detailButton = new DetailButton(this);
    m_detailButton->setHidden(true);
    m_detailButton->addTarget(
        [this](Control*) {
            if (m_tableView)
                m_tableView->accessoryButtonTapped(this);
        },
        ControlEventTouchUpInside);
    m_reorderControl = new ReorderGrip(this);
    m_reorderControl->setHidden(true);
    m_deleteControl = new DeleteControl(this);
    m_deleteControl->setHidden(true);
    m_deleteControl->addTarget(
        [this](Control*) { setShowingDeleteConfirmation(!m_showingDeleteConfirmation); },
        ControlEventTouchUpInside);
    m_deleteConfirmationButton = new DeleteConfirmationButton(this);
    m_deleteConfirmationButton->setHidden(true);
    m_deleteConfirmationButton->addTarget(
        [this](Control*) {
            if (m_tableView)
                m_tableView->commitDelete(this);
        },
        ControlEventTouchUpInside);
}

TableViewCell::~TableViewCell() = default;

void TableViewCell::setAccessoryType(AccessoryType type)
{
    if (m_accessoryType == type)
        return;
    m_accessoryType = type;
    updateAccessory();
    setNeedsLayout();
    if (!frame().isEmpty())
        layoutIfNeeded();
}

void TableViewCell::setAccessoryView(View* view)
{
    if (m_accessoryView == view)
        return;
    if (m_accessoryView) {
        m_accessoryView->removeFromSuperview();
        m_accessoryView->deleteLater();
    }
    m_accessoryView = view;
    if (view)
        addSubview(view);
    updateAccessory();
    if (!frame().isEmpty())
        layoutIfNeeded();
}

void TableViewCell::updateAccessory()
{
    auto* indicator = static_cast<AccessoryIndicator*>(m_accessoryIndicator);
    const bool custom = !m_accessoryView.isNull();
    const bool chevron = m_accessoryType == AccessoryType::DisclosureIndicator
        || m_accessoryType == AccessoryType::DetailDisclosureButton;
    const bool check = m_accessoryType == AccessoryType::Checkmark;
    const bool button = m_accessoryType == AccessoryType::DetailButton
        || m_accessoryType == AccessoryType::DetailDisclosureButton;
    indicator->setKind(check ? AccessoryIndicator::Kind::Check : AccessoryIndicator::Kind::Chevron);
    indicator->setHidden(custom || m_editing || !(chevron || check));
    m_detailButton->setHidden(custom || m_editing || !button);
    if (m_accessoryView)
        m_accessoryView->setHidden(m_editing);
}

double TableViewCell::accessoryWidth() const
{
    // The room the accessory takes from the content's right edge, as the platform leaves it.
    const double margin = m_decoration.margin;
    if (m_editing && m_showingDeleteConfirmation)
        return DeleteConfirmationWidth;
    if (m_editing)
        return m_showsReorderControl ? ReorderControlWidth : 0;
    if (m_accessoryView)
        return margin + m_accessoryView->frame().width() + LabelGap;
    switch (m_accessoryType) {
    case AccessoryType::DisclosureIndicator:
        return margin + 8 + LabelGap;
    case AccessoryType::Checkmark:
        return margin + 14 + 11;
    case AccessoryType::DetailButton:
        return margin + 22 + 11;
    case AccessoryType::DetailDisclosureButton:
        return margin + 8 + 12 + 22 + 11;
    case AccessoryType::None:
        break;
    }
    return 0;
}

void TableViewCell::setSelectionStyle(SelectionStyle style)
{
    m_selectionStyle = style;
    updateSelectionDisplay(false);
}

void TableViewCell::setBackgroundView(View* view)
{
    if (m_backgroundView == view)
        return;
    if (m_backgroundView) {
        m_backgroundView->removeFromSuperview();
        m_backgroundView->deleteLater();
    }
    m_backgroundView = view;
    if (view) {
        addSubview(view);
        view->lower();
        view->setFrame(bounds());
        applyCorners(view);
    }
}

View* TableViewCell::selectedBackgroundView() const
{
    if (!m_selectedBackgroundView && m_selectionStyle != SelectionStyle::None) {
        auto* self = const_cast<TableViewCell*>(this);
        auto* view = new View(self);
        view->setBackgroundColor(SelectedBackground);
        view->setAlpha(0);
        view->setFrame(bounds());
        view->stackUnder(m_contentView);
        applyCorners(view);
        m_selectedBackgroundView = view;
    }
    return m_selectedBackgroundView;
}

void TableViewCell::setSelectedBackgroundView(View* view)
{
    if (m_selectedBackgroundView == view)
        return;
    if (m_selectedBackgroundView) {
        m_selectedBackgroundView->removeFromSuperview();
        m_selectedBackgroundView->deleteLater();
    }
    m_selectedBackgroundView = view;
    if (view) {
        addSubview(view);
        view->stackUnder(m_contentView);
        view->setFrame(bounds());
        applyCorners(view);
    }
    updateSelectionDisplay(false);
}

void TableViewCell::setSelected(bool selected, bool animated)
{
    m_selected = selected;
    updateSelectionDisplay(animated);
}

void TableViewCell::setHighlighted(bool highlighted, bool animated)
{
    m_highlighted = highlighted;
    updateSelectionDisplay(animated);
}

void TableViewCell::updateSelectionDisplay(bool animated)
{
    const bool on = (m_selected || m_highlighted) && m_selectionStyle != SelectionStyle::None;
    View* background = on ? selectedBackgroundView() : m_selectedBackgroundView.data();
    if (background) {
        background->setHidden(false);
        if (animated)
            Animation::animate(SelectionDuration, 0, AnimationOptionAllowUserInteraction,
                [&] { background->setAlpha(on ? 1.0 : 0.0); });
        else
            background->setAlpha(on ? 1.0 : 0.0);
    }
    for (Label* label : m_contentView->findChildren<Label*>())
        label->setHighlighted(on);
    for (ImageView* image : m_contentView->findChildren<ImageView*>())
        image->setHighlighted(on);
}

void TableViewCell::setEditing(bool editing, bool animated)
{
    if (m_editing == editing)
        return;
    m_editing = editing;
    m_showingDeleteConfirmation = false;
    updateAccessory();
    if (animated)
        Animation::animate(EditingDuration, [this] { layoutSubviews(); });
    else
        layoutSubviews();
}

void TableViewCell::setShowsReorderControl(bool shows)
{
    if (m_showsReorderControl == shows)
        return;
    m_showsReorderControl = shows;
    layoutSubviews();
}

void TableViewCell::setEditingStyle(TableViewCellEditingStyle style)
{
    if (m_editingStyle == style)
        return;
    m_editingStyle = style;
    if (style != TableViewCellEditingStyle::Delete)
        m_showingDeleteConfirmation = false;
    layoutSubviews();
}

void TableViewCell::setShowingDeleteConfirmation(bool showing)
{
    showing = showing && showsDeleteControl();
    if (m_showingDeleteConfirmation == showing)
        return;
    m_showingDeleteConfirmation = showing;
    Animation::animate(EditingDuration, [this] { layoutSubviews(); });
}

bool TableViewCell::showsDeleteControl() const
{
    return m_editing && m_editingStyle == TableViewCellEditingStyle::Delete;
}

QRectF TableViewCell::reorderControlFrame() const
{
    if (!m_editing || !m_showsReorderControl || m_showingDeleteConfirmation)
        return {};
    return m_reorderControl->frame();
}

void TableViewCell::prepareForReuse()
{
    m_highlighted = false;
    m_selected = false;
    m_showingDeleteConfirmation = false;
    setAlpha(1);
    updateSelectionDisplay(false);
}

void TableViewCell::setDecoration(const Decoration& decoration)
{
    m_decoration = decoration;
    applyCorners(this);
    applyCorners(m_contentView);
    if (m_backgroundView)
        applyCorners(m_backgroundView);
    if (m_selectedBackgroundView)
        applyCorners(m_selectedBackgroundView);
    setNeedsLayout();
    update();
}

void TableViewCell::applyCorners(View* view) const
{
    view->layer()->setCornerRadius(m_decoration.cornerRadius);
    view->layer()->setMaskedCorners(m_decoration.roundedCorners);
}

void TableViewCell::layoutSubviews()
{
    const QRectF b = bounds();
    const double separator = m_decoration.bottomSeparator ? 1.0 : 0.0;
    const double height = std::max(0.0, b.height() - separator);
    const double margin = m_decoration.margin;
    const double right = std::max(0.0, b.width() - accessoryWidth());

    m_reorderControl->setHidden(
        !(m_editing && m_showsReorderControl) || m_showingDeleteConfirmation);
    m_reorderControl->setFrame(
        QRectF(b.width() - ReorderControlWidth, 0, ReorderControlWidth, height));
    const double left = showsDeleteControl() ? DeleteControlWidth : 0.0;
    m_deleteControl->setHidden(left == 0);
    m_deleteControl->setFrame(QRectF(0, 0, DeleteControlWidth, height));
    m_deleteConfirmationButton->setHidden(!m_showingDeleteConfirmation);
    m_deleteConfirmationButton->setFrame(
        QRectF(b.width() - DeleteConfirmationWidth, 0, DeleteConfirmationWidth, height));
    if (!m_editing) {
        const double centre = height / 2;
        if (m_accessoryView) {
            const QSizeF size = m_accessoryView->frame().size();
            m_accessoryView->setFrame(QRectF(
                QPointF(b.width() - margin - size.width(), std::round(centre - size.height() / 2)),
                size));
        }
        const QSizeF indicator = m_accessoryIndicator->sizeThatFits({});
        m_accessoryIndicator->setFrame(QRectF(QPointF(b.width() - margin - indicator.width(),
                                                  std::round(centre - indicator.height() / 2)),
            indicator));
        const double buttonRight = m_accessoryType == AccessoryType::DetailDisclosureButton
            ? b.width() - margin - 8 - 12
            : b.width() - margin;
        m_detailButton->setFrame(QRectF(buttonRight - 33, 0, 44, height));
    }

    // The delete control pushes the content right.
    const double contentRight = std::max(0.0, right - left);
    m_contentView->setFrame(QRectF(left, 0, contentRight, height));
    if (m_backgroundView)
        m_backgroundView->setFrame(b);
    if (m_selectedBackgroundView)
        m_selectedBackgroundView->setFrame(b);

    // The labels of the two styles.
    const bool accessory = right < b.width();
    const double trailing = accessory ? 0 : margin;
    double x = margin;
    const Image image = m_imageView->image();
    m_imageView->setHidden(image.isNull());
    if (!image.isNull()) {
        QSizeF size = image.size();
        if (size.height() > height && size.height() > 0)
            size = QSizeF(size.width() * height / size.height(), height);
        m_imageView->setFrame(
            QRectF(margin, std::round((height - size.height()) / 2), size.width(), size.height()));
        x = margin + size.width() + ImageTextGap;
    }
    const double available = std::max(0.0, contentRight - x - trailing);
    if (!m_detailTextLabel) {
        m_textLabel->setFrame(QRectF(x, 0, available, height));
        return;
    }
    if (m_style == Style::Subtitle) {
        layoutSubtitle(x, available, height);
        return;
    }
    const double textWidth
        = m_textLabel->text().isEmpty() ? 0 : std::ceil(m_textLabel->sizeThatFits({}).width());
    const double detailWidth = m_detailTextLabel->text().isEmpty()
        ? 0
        : std::ceil(m_detailTextLabel->sizeThatFits({}).width());
    double titleWidth = textWidth;
    double valueWidth = detailWidth;
    if (textWidth + LabelGap + detailWidth > available) {
        // Too long together: the title keeps at least a little over half.
        titleWidth
            = std::min(textWidth, std::max(available - LabelGap - detailWidth, available * 0.55));
        valueWidth = std::max(0.0, available - LabelGap - titleWidth);
    }
    m_textLabel->setFrame(QRectF(x, 0, titleWidth, height));
    m_detailTextLabel->setFrame(
        QRectF(contentRight - trailing - valueWidth, 0, valueWidth, height));
}

void TableViewCell::layoutSubtitle(double x, double width, double height)
{
    const QString title = m_textLabel->text();
    const QString detail = m_detailTextLabel->text();
    const double titleHeight
        = title.isEmpty() ? 0 : std::ceil(Font::measure(title, m_textLabel->font()).height());
    const double detailHeight = detail.isEmpty()
        ? 0
        : std::ceil(Font::measure(detail, m_detailTextLabel->font(),
            m_detailTextLabel->numberOfLines() == 1 ? 0.0 : width)
                        .height());
    const double top = std::max(0.0, std::round((height - titleHeight - detailHeight) / 2));
    m_textLabel->setFrame(QRectF(x, top, width, titleHeight));
    m_detailTextLabel->setFrame(
        QRectF(x, top + titleHeight, width, std::min(detailHeight, height - top - titleHeight)));
}

void TableViewCell::drawRect(QPainter& painter, const QRectF& rect)
{
    const QColor color = m_decoration.separatorColor.isValid() ? m_decoration.separatorColor
                                                               : QColor(198, 198, 200);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (m_decoration.bottomSeparator) {
        // A row with an image lines its separator up with its text, past the image.
        double left = m_decoration.separatorLeft;
        if (!m_imageView->isHidden() && left > 0)
            left = std::max(left, m_textLabel->frame().left());
        const double right = rect.width() - m_decoration.separatorRight;
        if (right > left)
            painter.fillRect(QRectF(left, rect.height() - 1, right - left, 1), color);
    }
    if (m_decoration.topSeparator)
        painter.fillRect(QRectF(0, 0, rect.width(), 1), color);
}

} // namespace platform::ui
