#include "forms/GenericSortDetailViewController.h"

#include "forms/FormBooleanElement.h"
#include "forms/FormRadioElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/GenericFilterDetailViewController.h"
#include "forms/RecordCopy.h"
#include "forms/RowFormDataController.h"
#include "grid/BaseDataController.h"
#include "grid/BaseViewController.h"
#include "grid/Parent.h"
#include "grid/RowObject.h"
#include "model/Sort.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "utilities/data/RunTime.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/text/LocalizedStrings.h"

GenericSortDetailViewController::GenericSortDetailViewController(QObject* parent)
    : QuickDetailViewController(parent)
{
}

GenericSortDetailViewController::~GenericSortDetailViewController() = default;

std::shared_ptr<FormRootElement> GenericSortDetailViewController::createForm()
{
    auto form = std::make_shared<FormRootElement>();
    form->setControllerName(QStringLiteral("GenericSortDetailViewController"));
    return form;
}

QList<TemplateColumn*> GenericSortDetailViewController::tableColumns() const
{
    BaseViewController* list = callingScreen();
    const auto link = list ? list->parentLink() : nullptr;
    const auto rowsController = link ? link->dataController.lock() : nullptr;
    const auto* table = dynamic_cast<const RowFormDataController*>(rowsController.get());
    return table ? table->Columns() : QList<TemplateColumn*>();
}

void GenericSortDetailViewController::loadData(const QVariant& record)
{
    if (const auto sort = RowObject::record<Sort>(record)) {
        m_edited = RecordCopy::copy(*sort);
        QuickDetailViewController::loadData(RowObject::fromObject(m_edited.get()));
        return;
    }
    QuickDetailViewController::loadData(record);
}

void GenericSortDetailViewController::createFields()
{
    FormRootElement* form = root();
    if (!form)
        return;
    const QString title
        = QStringLiteral("%1 - %2").arg(LocalizedStrings::SortColumns(), getAddEditPrefix());
    form->setGrouped(true);
    form->setTitle(title);
    setTitle(title);
    auto fields = std::make_shared<FormSection>();
    createColumnsField(tableColumns(), fields.get());
    createAscendingField(fields.get());
    form->addSection(fields);
    addSaveSection(*form);
}

std::shared_ptr<FormRadioElement> GenericSortDetailViewController::createColumnsField(
    const QList<TemplateColumn*>& columns, FormSection* section)
{
    const QString title = LocalizedStrings::Column();
    const bool phone = DeviceHelper::isIPHONE();
    auto element
        = GenericFilterDetailViewController::makeColumnsElement(columns, phone ? QString() : title);
    if (section) {
        if (phone)
            section->addElement(
                GenericFilterDetailViewController::makeCaption(title, TypeConstants::List));
        section->addElement(element);
    }
    return element;
}

std::shared_ptr<FormBooleanElement> GenericSortDetailViewController::createAscendingField(
    FormSection* section)
{
    auto element = FormBooleanElement::initWithTitle(LocalizedStrings::Ascending(), true);
    element->setBind(QStringLiteral("boolValue:Ascending"));
    element->setImageNamed(QStringLiteral("ascendingd"));
    if (section)
        section->addElement(element);
    return element;
}

bool GenericSortDetailViewController::Save(const QVariantMap& values)
{
    BaseDataController* controller = callingDataController();
    if (!m_edited || !controller)
        return false;
    RunTime::classFromDictionary(values, m_edited->metaObject(), m_edited.get());
    return controller->saveRow(RowObject::fromRecord(m_edited));
}
