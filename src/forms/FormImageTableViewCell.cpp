#include "forms/FormImageTableViewCell.h"

#include "forms/FormImageElement.h"
#include "forms/FormSection.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Layer.h"
#include "platform/ui/TextField.h"

const QString FormImageTableViewCell::ReuseIdentifier = QStringLiteral("QuickformImageElement");

namespace {

constexpr double kThumbnailMargin = 2;

} // namespace

using namespace platform::ui;

FormImageTableViewCell::FormImageTableViewCell(QWidget* parent)
    : FormEntryTableViewCell(ReuseIdentifier, new TextField, parent)
{
    textField()->setHidden(true);
    textField()->setUserInteractionEnabled(false);
    m_imageViewButton = new Button;
    m_imageViewButton->setBackgroundColor(QColor::fromRgbF(0.1f, 0.1f, 0.1f, 0.1f));
    m_imageViewButton->layer()->setCornerRadius(CornerRadius);
    m_imageViewButton->layer()->setMasksToBounds(true);
    m_imageViewButton->setClipsToBounds(true);
    m_imageViewButton->setAutoresizingMask(
        AutoresizingFlexibleLeftMargin | AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    m_thumbnail = new ImageView({}, m_imageViewButton);
    m_thumbnail->setContentMode(ImageView::ContentMode::ScaleAspectFill);
    m_thumbnail->setUserInteractionEnabled(false);
    m_imageViewButton->addTarget(
        [this](Control*) { handleImageSelected(); }, ControlEventTouchUpInside);
    contentView()->addSubview(m_imageViewButton);
    setSelectionStyle(SelectionStyle::Blue);
}

FormImageTableViewCell::~FormImageTableViewCell()
{
    disconnect(m_observation);
}

void FormImageTableViewCell::prepareForElement(FormEntryElement* element, FormTableView* tableView)
{
    FormEntryTableViewCell::prepareForElement(element, tableView);
    setSelectionStyle(SelectionStyle::Blue);
    disconnect(m_observation);
    auto* image = qobject_cast<FormImageElement*>(element);
    m_imageElement = image
        ? std::static_pointer_cast<FormImageElement>(image->weak_from_this().lock())
        : nullptr;
    imageView()->setImage(element ? element->image() : Image());
    if (image)
        m_observation
            = connect(image, &FormImageElement::imageValueChanged, this, [this] { showImage(); });
    showImage();
}

void FormImageTableViewCell::showImage()
{
    const Image image = m_imageElement ? m_imageElement->imageValue() : Image();
    m_thumbnail->setImage(image);
}

void FormImageTableViewCell::recalculateEntryFieldPosition()
{
    recalculateDetailImageViewPosition();
}

void FormImageTableViewCell::recalculateDetailImageViewPosition()
{
    const QRectF content = contentView()->bounds();
    const double side = std::max(0.0, content.height() - 2 * kThumbnailMargin);
    const QRectF frame(content.width() - kThumbnailMargin - side, kThumbnailMargin, side, side);
    m_imageViewButton->setFrame(frame);
    m_thumbnail->setFrame(QRectF(0, 0, side, side));
    if (m_imageElement)
        if (FormSection* section = m_imageElement->parentSection())
            section->entryPosition = frame;
    // The title runs from where it starts (past the row's image) to 2 before the thumbnail.
    const QRectF title = textLabel()->frame();
    textLabel()->setFrame(
        QRectF(title.topLeft(), QSizeF(std::max(0.0, frame.x() - title.x() - 2), title.height())));
}

void FormImageTableViewCell::prepareForReuse()
{
    disconnect(m_observation);
    m_imageElement.reset();
    FormEntryTableViewCell::prepareForReuse();
}
