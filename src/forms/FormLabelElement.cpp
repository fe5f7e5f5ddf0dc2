#include "forms/FormLabelElement.h"

#include "forms/FormTableView.h"
#include "forms/FormTableViewCell.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "style/ThemedImages.h"

#include <QDateTime>

namespace {

// The platform's tint, in which icons are drawn.
const QColor kIconTint(0, 122, 255);

} // namespace

FormLabelElement::FormLabelElement() = default;

std::shared_ptr<FormLabelElement> FormLabelElement::initWithTitle(
    const QString& title, const QVariant& value)
{
    auto element = std::make_shared<FormLabelElement>();
    element->setTitle(title);
    element->setValue(value);
    element->setKeepSelected(true);
    return element;
}

platform::ui::Image FormLabelElement::image() const
{
    if (m_image.isNull() && !m_imageName.isEmpty())
        m_image = m_imageIsIcon ? platform::ui::Image::maskNamed(m_imageName, kIconTint)
                                : ThemedImages::themedimageNamed(m_imageName);
    return m_image;
}

void FormLabelElement::setImage(const platform::ui::Image& image)
{
    m_image = image;
    m_imageName.clear();
}

void FormLabelElement::setImageNamed(const QString& name)
{
    m_imageName = name;
    m_imageIsIcon = false;
    m_image = {};
}

void FormLabelElement::setIconNamed(const QString& name)
{
    m_imageName = name;
    m_imageIsIcon = true;
    m_image = {};
}

QString FormLabelElement::valueText(const QVariant& value)
{
    if (KeyValueCoding::isNil(value) || KeyValueCoding::isNullObject(value))
        return {};
    if (value.canConvert<QString>())
        return value.toString();
    return KeyValueCoding::description(value);
}

int FormLabelElement::defaultAccessoryType() const
{
    if (!controllerAccessoryAction().isEmpty())
        return AccessoryDetailDisclosureButton;
    if (hasSections() || !controllerAction().isEmpty())
        return AccessoryDisclosureIndicator;
    return AccessoryNone;
}

platform::ui::TableViewCell* FormLabelElement::getCellForTableView(
    FormTableView* tableView, FormControllerProtocol* controller)
{
    using platform::ui::TableViewCell;
    TableViewCell* cell = FormElement::getCellForTableView(tableView, controller);
    cell->textLabel()->setText(title());
    if (platform::ui::Label* detail = cell->detailTextLabel())
        detail->setText(valueText(m_value));
    cell->imageView()->setImage(image());
    cell->setAccessoryType(TableViewCell::AccessoryType(
        m_accessoryType != AccessoryNone ? m_accessoryType : defaultAccessoryType()));
    const bool acts = hasSections() || !controllerAction().isEmpty() || bool(onSelected);
    cell->setSelectionStyle(
        acts ? TableViewCell::SelectionStyle::Blue : TableViewCell::SelectionStyle::None);
    attachImageOnSelected(cell->imageView());
    return cell;
}

void FormLabelElement::selected(FormTableView* tableView, FormControllerProtocol* controller,
    const platform::ui::IndexPath& indexPath)
{
    QPointer<FormTableView> table(tableView);
    FormRootElement::selected(tableView, controller, indexPath);
    if (!m_keepSelected && table)
        table->deselectRowAtIndexPath(indexPath, true);
}
