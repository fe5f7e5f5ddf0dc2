#include "forms/FormImageElement.h"

#include "forms/FormImageTableViewCell.h"
#include "forms/FormTableView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Device.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/NavigationController.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/PopoverController.h"
#include "widgets/PopoverView.h"

#include <QFileInfo>
#include <QImageReader>

#include <cmath>

using platform::ui::Image;
using platform::ui::ImagePickerController;

namespace {

// The size of an image whose longer side is cut to the limit; the size itself when it
// is within it.
QSize reducedSize(const QSize& size, float maxLength)
{
    const int longer = std::max(size.width(), size.height());
    if (longer <= 0 || longer <= maxLength)
        return size;
    const double scale = double(maxLength) / longer;
    return QSize(std::max(1, int(std::lround(size.width() * scale))),
        std::max(1, int(std::lround(size.height() * scale))));
}

} // namespace

FormImageElement::FormImageElement() = default;

FormImageElement::~FormImageElement()
{
    if (m_imagePickerController)
        m_imagePickerController->setDelegate(nullptr);
    if (m_popoverController)
        m_popoverController->setDelegate(nullptr);
}

std::shared_ptr<FormImageElement> FormImageElement::initWithTitle(
    const QString& title, const Image& image)
{
    auto element = std::make_shared<FormImageElement>();
    element->setTitle(title);
    element->setImageValue(image);
    return element;
}

void FormImageElement::setImageValue(const Image& image)
{
    m_imageValue = image;
    emit imageValueChanged();
}

void FormImageElement::setImageValueNamed(const QString& name)
{
    setImageValue(Image::named(name));
    reducedImageIfNeeded();
}

void FormImageElement::reducedImageIfNeeded()
{
    if (m_imageValue.isNull())
        return;
    // Measured in points; the reduced image has one pixel per point.
    const QSizeF points = m_imageValue.size();
    const QSize whole(int(std::lround(points.width())), int(std::lround(points.height())));
    const QSize reduced = reducedSize(whole, m_imageMaxLength);
    if (reduced == whole)
        return;
    setImageValue(Image(
        m_imageValue.image().scaled(reduced, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

bool FormImageElement::takeImageFromFile(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    // Decoders that can scale (JPEG) then never hold the whole photo.
    if (size.isValid())
        reader.setScaledSize(reducedSize(size, m_imageMaxLength));
    const QImage image = reader.read();
    if (image.isNull()) {
        MessageHelper::ShowMessage(
            LocalizedStrings::getMessageWithFormat(QStringLiteral("Couldn't read the image %@: %@"),
                { QFileInfo(path).fileName(), reader.errorString() }),
            true);
        return false;
    }
    setImageValue(Image(image));
    // A reader that cannot scale hands the full size back.
    reducedImageIfNeeded();
    return true;
}

ImagePickerController* FormImageElement::imagePickerController()
{
    if (!m_imagePickerController) {
        m_imagePickerController = new ImagePickerController;
        m_imagePickerController->setDelegate(this);
    }
    return m_imagePickerController;
}

platform::ui::TableViewCell* FormImageElement::getCellForTableView(
    FormTableView* tableView, FormControllerProtocol* controller)
{
    auto* cell = qobject_cast<FormImageTableViewCell*>(
        tableView->dequeueReusableCellWithIdentifier(FormImageTableViewCell::ReuseIdentifier));
    if (!cell)
        cell = new FormImageTableViewCell;
    setController(controller);
    cell->prepareForElement(this, tableView);
    return cell;
}

void FormImageElement::selected(FormTableView* tableView, FormControllerProtocol* controller,
    const platform::ui::IndexPath& indexPath)
{
    if (tableView)
        tableView->deselectRowAtIndexPath(indexPath, true);
    presentImagePicker(tableView, controller, indexPath);
}

void FormImageElement::presentImagePicker(FormTableView* tableView,
    FormControllerProtocol* controller, const platform::ui::IndexPath& indexPath)
{
    ImagePickerController* picker = imagePickerController();
    if (ImagePickerController::isSourceTypeAvailable(m_source)) {
        picker->setSourceType(m_source);
    } else {
        qWarning("Source not available, using default Library type.");
        picker->setSourceType(ImagePickerController::PhotoLibrary);
    }
    if (platform::ui::Device::current().isPad()) {
        auto* cell = tableView
            ? qobject_cast<FormImageTableViewCell*>(tableView->cellForRowAtIndexPath(indexPath))
            : nullptr;
        if (!cell)
            return;
        auto* popover = new PopoverController(picker, this, false);
        popover->setContentSize(PickerPopoverSize);
        popover->setArrowDirection(PopoverArrowDirectionAny);
        m_popoverController = popover;
        popover->presentPopoverFromView(cell->imageViewButton());
    } else if (controller) {
        controller->displayViewController(picker, 0);
    }
}

void FormImageElement::dismissImagePicker()
{
    if (m_popoverController) {
        m_popoverController->dismissPopoverAnimated(true);
        return;
    }
    ImagePickerController* picker = m_imagePickerController;
    if (!picker)
        return;
    if (platform::ui::NavigationController* navigation = picker->navigationController())
        navigation->popViewController(true);
    else
        picker->dismissViewController(true);
}

void FormImageElement::fetchValueIntoObject(const QVariant& target)
{
    if (!key().isEmpty())
        KeyValueCoding::setValueForKey(target, QVariant::fromValue(m_imageValue), key());
}

void FormImageElement::imagePickerControllerDidFinishPicking(
    ImagePickerController*, const QString& path)
{
    if (takeImageFromFile(path))
        handleEditingChanged();
    dismissImagePicker();
}

void FormImageElement::imagePickerControllerDidCancel(ImagePickerController*)
{
    dismissImagePicker();
}

void FormImageElement::popoverControllerDidDismissPopover(PopoverController*)
{
    m_popoverController.clear();
}
