#include "forms/TemplateDetailViewController.h"

#include "forms/FormAutoEntryElement.h"
#include "forms/FormBooleanElement.h"
#include "forms/FormDecimalElement.h"
#include "forms/FormEntryElement.h"
#include "forms/FormLabelElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormTableView.h"
#include "grid/BaseDataController.h"
#include "grid/GridData.h"
#include "grid/ListSelectViewController.h"
#include "grid/RowObject.h"
#include "grid/ScreenData.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TextInputTraits.h"
#include "style/Theme.h"
#include "utilities/data/RunTime.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/shell/ScreenServices.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/UIImage_Theme.h"

#include <QPointer>

const QString TemplateDetailViewController::ImageKey = QStringLiteral("image");
const QString TemplateDetailViewController::ImageSelectorScreen
    = QStringLiteral("List Image Selector");

namespace {

using Capitalization = platform::ui::TextInputTraits::AutocapitalizationType;

// A row's caption above it on a phone; on a tablet the row carries the title itself.
template<class Entry>
std::shared_ptr<Entry> addCaptioned(FormSection* section, const QString& title, const QString& bind,
    const QString& placeholder, const QString& image)
{
    const bool phone = DeviceHelper::isIPHONE();
    if (phone) {
        auto caption = FormLabelElement::initWithTitle(title, QVariant());
        caption->setImage(UIImage_Theme::themedimageNamed(image));
        section->addElement(caption);
    }
    auto entry = Entry::initWithTitle(phone ? QString() : title, QString(), placeholder);
    entry->setBind(bind);
    entry->setImage(UIImage_Theme::themedimageNamed(phone ? QStringLiteral("empty") : image));
    section->addElement(entry);
    return entry;
}

} // namespace

TemplateDetailViewController::TemplateDetailViewController(QObject* parent)
    : CloudDetailViewController(parent)
{
}

TemplateDetailViewController::~TemplateDetailViewController() = default;

const QStringList& TemplateDetailViewController::images()
{
    static const QStringList names { QStringLiteral("template"), QStringLiteral("todo"),
        QStringLiteral("finance"), QStringLiteral("health"), QStringLiteral("stock"),
        QStringLiteral("password"), QStringLiteral("notes"), QStringLiteral("birthday"),
        QStringLiteral("unknown"), QStringLiteral("settingsmetro"), QStringLiteral("database"),
        QStringLiteral("databases"), QStringLiteral("appointment"), QStringLiteral("site"),
        QStringLiteral("reminder") };
    return names;
}

std::shared_ptr<FormRootElement> TemplateDetailViewController::createForm()
{
    auto form = std::make_shared<FormRootElement>();
    form->setControllerName(QStringLiteral("TemplateDetailViewController"));
    return form;
}

void TemplateDetailViewController::createFields()
{
    FormRootElement* form = root();
    if (!form)
        return;
    const QString title
        = QStringLiteral("%1 %2").arg(LocalizedStrings::Template(), getAddEditPrefix());
    form->setGrouped(true);
    form->setTitle(title);
    setTitle(title);
    auto fields = std::make_shared<FormSection>();
    createNameField(fields.get());
    createDescrField(fields.get());
    createCategoryField(fields.get());
    // A phone's grid shows one tile per row whatever the definition says.
    if (!DeviceHelper::isIPHONE())
        createTilesColumnsField(fields.get());
    createProtectedField(fields.get());
    createImageField(fields.get());
    form->addSection(fields);
    addSaveSection(*form);
}

FormEntryElement* TemplateDetailViewController::createNameField(FormSection* section)
{
    auto entry = addCaptioned<FormEntryElement>(section, LocalizedStrings::Name(),
        QStringLiteral("textValue:name"), LocalizedStrings::NameOfTheTemplate(),
        QStringLiteral("templatenamed"));
    entry->setAutocapitalizationType(int(Capitalization::Words));
    return entry.get();
}

FormEntryElement* TemplateDetailViewController::createDescrField(FormSection* section)
{
    auto entry = addCaptioned<FormEntryElement>(section, LocalizedStrings::Descr(),
        QStringLiteral("textValue:descr"), LocalizedStrings::DescriptionOfTheTemplate(),
        QStringLiteral("templatedescriptiond"));
    entry->setAutocapitalizationType(int(Capitalization::Sentences));
    return entry.get();
}

FormAutoEntryElement* TemplateDetailViewController::createCategoryField(FormSection* section)
{
    auto entry = addCaptioned<FormAutoEntryElement>(section, LocalizedStrings::Category(),
        QStringLiteral("textValue:category"), LocalizedStrings::CategoryOfTheTemplate(),
        QStringLiteral("templatecategoryd"));
    QStringList categories;
    for (const QVariant& category : Template::getCategories())
        if (!category.isNull() && !category.toString().isEmpty())
            categories << category.toString();
    entry->setAutoCompleteValues(categories);
    if (::Theme* style = ::Theme::current())
        entry->autoCompleteColor = style->imageColor();
    return entry.get();
}

FormDecimalElement* TemplateDetailViewController::createTilesColumnsField(FormSection* section)
{
    auto entry = FormDecimalElement::initWithTitle(LocalizedStrings::TilesColumns(), 2);
    entry->setBind(QStringLiteral("numberValue:tilescolumns"));
    entry->setPlaceholder(LocalizedStrings::NoOfTilesPerRow());
    entry->setImage(UIImage_Theme::themedimageNamed(QStringLiteral("templatetilescolumnsd")));
    section->addElement(entry);
    return entry.get();
}

FormBooleanElement* TemplateDetailViewController::createProtectedField(FormSection* section)
{
    auto flag = FormBooleanElement::initWithTitle(LocalizedStrings::Protected(), false);
    flag->setBind(QStringLiteral("boolValue:isprotected"));
    flag->setImage(TemplateColumn::imageForType(TypeConstants::Protected));
    section->addElement(flag);
    return flag.get();
}

FormLabelElement* TemplateDetailViewController::createImageField(FormSection* section)
{
    auto label = FormLabelElement::initWithTitle(LocalizedStrings::Image(), QVariant());
    label->setBind(QStringLiteral("value:image"));
    label->setKey(ImageKey);
    QPointer<TemplateDetailViewController> self(this);
    label->onSelected = [self] {
        if (self)
            self->showImagePicker(ImageKey);
    };
    section->addElement(label);
    return label.get();
}

QSizeF TemplateDetailViewController::popupContentSize() const
{
    return { 600, calculateHeight(6) };
}

bool TemplateDetailViewController::Save(const QVariantMap& values)
{
    QObject* record = RowObject::object(currentRow());
    BaseDataController* controller = callingDataController();
    if (!record || !controller)
        return false;
    RunTime::classFromDictionary(values, &Template::staticMetaObject, record);
    if (controller->saveRow(currentRow()))
        return true;
    // The definition is the stored object itself: refused, it goes back to what is stored.
    KivoAppDelegate::ApplicationDelegate()->rollbackContext();
    return false;
}

void TemplateDetailViewController::EnableDisable(bool)
{
    setImage(ImageKey);
}

void TemplateDetailViewController::setImage(const QString& key)
{
    FormRootElement* form = root();
    auto* label = form ? qobject_cast<FormLabelElement*>(form->elementWithKey(key)) : nullptr;
    if (!label)
        return;
    // No image chosen yet shows a blank rather than the missing-image sign; it keeps the
    // icons' column so the caption lines up with the other rows'.
    const QString name = label->value().isNull() ? QString() : label->value().toString();
    label->setImage(
        UIImage_Theme::themedimageNamed(name.isEmpty() ? QStringLiteral("empty") : name));
}

void TemplateDetailViewController::showImagePicker(const QString& key)
{
    try {
        QPointer<TemplateDetailViewController> self(this);
        auto* list = new ListSelectViewController(
            images(), [self, key](const QVariant& item, qint64) {
                if (!self)
                    return;
                try {
                    const auto chosen = RowObject::record<GridData>(item);
                    FormRootElement* form = self->root();
                    auto* label = form ? qobject_cast<FormLabelElement*>(form->elementWithKey(key))
                                       : nullptr;
                    if (chosen && label) {
                        label->setValue(chosen->Menu);
                        self->setImage(key);
                        if (FormTableView* table = self->formTableView())
                            table->reloadCellForElements({ label });
                    }
                    if (DeviceHelper::isIPAD()) {
                        self->dismissPopup();
                    } else if (platform::ui::NavigationController* navigation
                        = self->navigationController()) {
                        navigation->popToViewController(self, true);
                    }
                } catch (const std::exception& exception) {
                    MessageHelper::ShowException(exception);
                }
            });
        ScreenServices* services = ScreenServices::instance();
        auto record = std::dynamic_pointer_cast<ScreenData>(
            services ? services->GetScreen(ImageSelectorScreen, nullptr) : nullptr);
        if (record)
            record->title = LocalizedStrings::Image();
        list->setScreen(record);
        list->setTitle(LocalizedStrings::Image());
        list->setImages(images());
        list->setCallingViewController(this);
        if (DeviceHelper::isIPAD()) {
            auto* navigation = new platform::ui::NavigationController(list);
            showSimplePopupcontroller(navigation, QSizeF(645, 500), QPointF(0, 0), true);
        } else if (platform::ui::NavigationController* navigation = navigationController()) {
            navigation->pushViewController(list, true);
        } else {
            delete list;
        }
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}
