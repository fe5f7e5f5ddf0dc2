#include "forms/DatabaseDetailViewController.h"

#include "forms/FormEntryElement.h"
#include "forms/FormLabelElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "grid/BaseDataController.h"
#include "grid/RowObject.h"
#include "model/Database.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "utilities/data/RunTime.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/UIImage_Theme.h"

namespace {

// A text entry with its caption row on a phone, its title on a tablet.
FormEntryElement* addTextField(
    FormSection* section, const QString& title, const QString& bind, const QString& placeholder)
{
    const bool phone = DeviceHelper::isIPHONE();
    const auto textImage = TemplateColumn::imageForType(TypeConstants::Text);
    if (phone) {
        auto caption = FormLabelElement::initWithTitle(title, QVariant());
        caption->setImage(textImage);
        section->addElement(caption);
    }
    auto entry = FormEntryElement::initWithTitle(phone ? QString() : title, QString(), placeholder);
    entry->setBind(bind);
    entry->setImage(phone ? UIImage_Theme::themedimageNamed(QStringLiteral("empty")) : textImage);
    section->addElement(entry);
    return entry.get();
}

} // namespace

DatabaseDetailViewController::DatabaseDetailViewController(QObject* parent)
    : CloudDetailViewController(parent)
{
}

DatabaseDetailViewController::~DatabaseDetailViewController() = default;

std::shared_ptr<FormRootElement> DatabaseDetailViewController::createForm()
{
    auto form = std::make_shared<FormRootElement>();
    form->setControllerName(QStringLiteral("DatabaseDetailViewController"));
    return form;
}

void DatabaseDetailViewController::createFields()
{
    FormRootElement* form = root();
    if (!form)
        return;
    const QString title
        = QStringLiteral("%1 - %2").arg(LocalizedStrings::Database(), getAddEditPrefix());
    form->setGrouped(true);
    form->setTitle(title);
    setTitle(title);
    auto fields = std::make_shared<FormSection>();
    createNameField(fields.get());
    createDescrField(fields.get());
    form->addSection(fields);
    addSaveSection(*form);
}

FormEntryElement* DatabaseDetailViewController::createNameField(FormSection* section)
{
    return addTextField(section, LocalizedStrings::Name(), QStringLiteral("textValue:name"),
        LocalizedStrings::getLocalizedString(QStringLiteral("Name of the database")));
}

FormEntryElement* DatabaseDetailViewController::createDescrField(FormSection* section)
{
    return addTextField(section, LocalizedStrings::Descr(), QStringLiteral("textValue:descr"),
        LocalizedStrings::getLocalizedString(QStringLiteral("Description of the database")));
}

bool DatabaseDetailViewController::Save(const QVariantMap& values)
{
    QObject* record = RowObject::object(currentRow());
    BaseDataController* controller = callingDataController();
    if (!record || !controller)
        return false;
    RunTime::classFromDictionary(values, &Database::staticMetaObject, record);
    return controller->saveRow(currentRow());
}
