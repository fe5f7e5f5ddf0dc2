#include "forms/ColorDetailViewController.h"

#include "forms/FormEntryElement.h"
#include "forms/FormLabelElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormTableView.h"
#include "forms/RowFormDataController.h"
#include "grid/BaseDataController.h"
#include "model/DefaultContent.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TextInput.h"
#include "style/ColorDictionaries.h"
#include "style/UIColor_Expanded.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/ColorPickerController.h"
#include "widgets/UIImage_Theme.h"

const QString ColorDetailViewController::NameKey = QStringLiteral("name");
const QString ColorDetailViewController::ColorKey = QStringLiteral("color");
const QString ColorDetailViewController::HexKey = QStringLiteral("hex");
const QString ColorDetailViewController::SwatchImage = QStringLiteral("color");

namespace {

QString valueText(const FormLabelElement* element)
{
    if (!element)
        return {};
    const QVariant value = element->value();
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

} // namespace

ColorDetailViewController::ColorDetailViewController(QObject* parent)
    : GenericTemplateDetailViewController(parent)
{
}

ColorDetailViewController::~ColorDetailViewController() = default;

std::shared_ptr<FormRootElement> ColorDetailViewController::createForm()
{
    auto form = std::make_shared<FormRootElement>();
    form->setControllerName(QStringLiteral("ColorDetailViewController"));
    return form;
}

void ColorDetailViewController::createFields()
{
    FormRootElement* form = root();
    if (!form)
        return;
    Template* definition = Template::getTemplate(DefaultContent::ColorListTemplateId);
    const QString name = definition ? definition->name().toString() : QString();
    const QString title = QStringLiteral("%1 - %2").arg(name, getAddEditPrefix());
    form->setGrouped(true);
    form->setTitle(title);
    setTitle(title);

    auto section = std::make_shared<FormSection>();
    const RowFormDataController* source = rowSource();
    const Rows::Columns columns = source ? source->Columns() : Rows::Columns();
    const bool phone = DeviceHelper::isIPHONE();
    const auto textImage = TemplateColumn::imageForType(TypeConstants::Text);
    QPointer<ColorDetailViewController> self(this);
    for (TemplateColumn* column : columns) {
        if (!column)
            continue;
        const QString columnId = column->id().toString();
        const QString columnName = column->name().toString();
        if (columnId == DefaultContent::ColorNameColumnId) {
            if (phone) {
                auto caption = FormLabelElement::initWithTitle(columnName, QVariant());
                caption->setImage(textImage);
                section->addElement(caption);
            }
            auto entry = FormEntryElement::initWithTitle(
                phone ? QString() : columnName, QString(), columnName);
            entry->setBind(QStringLiteral("textValue:%1").arg(columnId));
            entry->setKey(NameKey);
            entry->setImage(
                phone ? UIImage_Theme::themedimageNamed(QStringLiteral("empty")) : textImage);
            section->addElement(entry);
        } else if (columnId == DefaultContent::ColorValueColumnId
            || columnId == DefaultContent::ColorHexColumnId) {
            auto label = FormLabelElement::initWithTitle(columnName, QVariant());
            label->setKey(columnId == DefaultContent::ColorValueColumnId ? ColorKey : HexKey);
            label->setBind(QStringLiteral("value:%1").arg(columnId));
            label->onSelected = [self] {
                if (self)
                    self->showColorPicker();
            };
            section->addElement(label);
        }
    }
    form->addSection(section);
    addSaveSection(*form);
}

QSizeF ColorDetailViewController::popupContentSize() const
{
    const RowFormDataController* source = rowSource();
    return { 400, calculateHeight(unsigned(source ? source->Columns().size() : 0)) };
}

bool ColorDetailViewController::Save(const QVariantMap& values)
{
    BaseDataController* controller = callingDataController();
    return controller && controller->saveRow(values);
}

void ColorDetailViewController::EnableDisable(bool reload)
{
    setColorImage();
    if (!reload)
        return;
    if (FormTableView* table = formTableView())
        table->reloadCellForElements({ labelWithKey(ColorKey), labelWithKey(HexKey) });
}

FormLabelElement* ColorDetailViewController::labelWithKey(const QString& key) const
{
    FormRootElement* form = root();
    return form ? qobject_cast<FormLabelElement*>(form->elementWithKey(key)) : nullptr;
}

void ColorDetailViewController::setColorImage()
{
    // A value that does not read as a colour keeps the row without a swatch.
    if (FormLabelElement* color = labelWithKey(ColorKey); color && !valueText(color).isEmpty()) {
        if (const auto parsed = UIColor_Expanded::colorWithString(valueText(color)))
            color->setImage(UIImage_Theme::themedimageNamed1(SwatchImage, *parsed));
    }
    if (FormLabelElement* hex = labelWithKey(HexKey); hex && !valueText(hex).isEmpty()) {
        if (const auto parsed = UIColor_Expanded::colorWithHexString(valueText(hex)))
            hex->setImage(UIImage_Theme::themedimageNamed1(SwatchImage, *parsed));
    }
}

void ColorDetailViewController::showColorPicker()
{
    if (m_picker)
        return;
    const QString start = valueText(labelWithKey(ColorKey));
    const Color color = start.isEmpty()
        ? Color::blackColor()
        : UIColor_Expanded::colorWithString(start).value_or(Color::blackColor());
    auto* picker = new ColorPickerController(color, LocalizedStrings::ColorPicker());
    picker->setDelegate(this);
    m_picker = picker;
    if (DeviceHelper::isIPAD()) {
        auto* navigation = new platform::ui::NavigationController(picker);
        showSimplePopupcontroller(
            navigation, QSizeF(PickerPopupWidth, PickerPopupHeight), QPointF(0, 0), true);
        return;
    }
    if (platform::ui::NavigationController* navigation = navigationController())
        navigation->pushViewController(picker, true);
    else
        delete picker;
}

void ColorDetailViewController::colorPickerSaved(ColorPickerController* picker)
{
    const Color chosen = picker->selectedColor();
    if (FormLabelElement* color = labelWithKey(ColorKey))
        color->setValue(UIColor_Expanded::stringValue(chosen));
    if (FormLabelElement* hex = labelWithKey(HexKey))
        hex->setValue(UIColor_Expanded::hexStringValue(chosen));
    setColorImage();
    // Typing in the name ends here: the typed text reaches the element now, not when the
    // reload below lets go of the field, over the proposal.
    if (FormTableView* table = formTableView())
        platform::ui::TextInput::endEditing(table, true);
    // The nearest name is only a proposal: it fills the name while that is empty or still
    // the last proposal, and never takes the place of a name the user gave.
    if (auto* name
        = qobject_cast<FormEntryElement*>(root() ? root()->elementWithKey(NameKey) : nullptr)) {
        const QString current = name->textValue();
        if (current.trimmed().isEmpty()
            || (!m_proposedName.isEmpty() && current == m_proposedName)) {
            m_proposedName = UIColor_Expanded::closestColorName(chosen);
            name->setTextValue(m_proposedName);
        }
    }
    if (FormTableView* table = formTableView())
        table->reloadData();
    closeColorPicker();
}

void ColorDetailViewController::colorPickerCancelled(ColorPickerController*)
{
    closeColorPicker();
}

void ColorDetailViewController::closeColorPicker()
{
    if (DeviceHelper::isIPAD()) {
        dismissPopup();
    } else if (platform::ui::NavigationController* navigation = navigationController()) {
        if (navigation->topViewController() == m_picker.data())
            navigation->popViewController(true);
    }
    m_picker = nullptr;
}
