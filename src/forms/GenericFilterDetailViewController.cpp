#include "forms/GenericFilterDetailViewController.h"

#include "forms/FilterValueElement.h"
#include "forms/FormEntryElement.h"
#include "forms/FormLabelElement.h"
#include "forms/FormRadioElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormTableView.h"
#include "forms/RecordCopy.h"
#include "forms/RowFormDataController.h"
#include "grid/BaseDataController.h"
#include "grid/BaseViewController.h"
#include "grid/Parent.h"
#include "grid/RowObject.h"
#include "model/FilterExtended.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "utilities/data/RunTime.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/UIImage_Theme.h"

#include <QHash>
#include <QPointer>

const QString GenericFilterDetailViewController::SectionKey = QStringLiteral("section1");
const QString GenericFilterDetailViewController::ColumnsKey = QStringLiteral("columns");
const QString GenericFilterDetailViewController::ConditionsKey = QStringLiteral("conditions");
const QString GenericFilterDetailViewController::ValueCaptionKey = QStringLiteral("labelvalue");

namespace {

const QString kUnknownImage = QStringLiteral("unknownd");
const QString kFilterEmptyImage = QStringLiteral("empty");

// Where the four elements stand in the section: each has a caption row before it on a
// phone.
constexpr qsizetype kConditionIndexTablet = 2;
constexpr qsizetype kValueIndexTablet = 3;
constexpr qsizetype kConditionIndexPhone = 5;
constexpr qsizetype kValueIndexPhone = 7;

qsizetype conditionIndex()
{
    return DeviceHelper::isIPHONE() ? kConditionIndexPhone : kConditionIndexTablet;
}

qsizetype valueIndex()
{
    return DeviceHelper::isIPHONE() ? kValueIndexPhone : kValueIndexTablet;
}

QString andOrTitle()
{
    return QStringLiteral("%1/%2").arg(LocalizedStrings::And(), LocalizedStrings::Or());
}

QVariantList asItems(const QStringList& texts)
{
    QVariantList items;
    for (const QString& text : texts)
        items << text;
    return items;
}

// The element's image: the type's on a tablet, the blank one beside a phone's caption.
void setElementImage(FormLabelElement& element, const platform::ui::Image& tabletImage)
{
    element.setImage(DeviceHelper::isIPHONE() ? UIImage_Theme::themedimageNamed(kFilterEmptyImage)
                                              : tabletImage);
}

// Adds the element, after its caption row on a phone.
void addWithCaption(FormSection* section, const std::shared_ptr<FormElement>& element,
    const QString& title, const QString& captionType, const QString& captionKey = {})
{
    if (!section)
        return;
    if (DeviceHelper::isIPHONE()) {
        auto caption = GenericFilterDetailViewController::makeCaption(title, captionType);
        caption->setKey(captionKey);
        section->addElement(caption);
    }
    section->addElement(element);
}

} // namespace

GenericFilterDetailViewController::GenericFilterDetailViewController(QObject* parent)
    : QuickDetailViewController(parent)
{
}

GenericFilterDetailViewController::~GenericFilterDetailViewController() = default;

std::shared_ptr<FormRootElement> GenericFilterDetailViewController::createForm()
{
    auto form = std::make_shared<FormRootElement>();
    form->setControllerName(QStringLiteral("GenericFilterDetailViewController"));
    return form;
}

QStringList GenericFilterDetailViewController::allConditions()
{
    return { LocalizedStrings::None(), LocalizedStrings::EqualTo(), LocalizedStrings::NotEqualTo(),
        LocalizedStrings::GreaterThan(), LocalizedStrings::GreaterThanOrEqualTo(),
        LocalizedStrings::LessThan(), LocalizedStrings::LessThanOrEqualTo(),
        LocalizedStrings::Contains(), LocalizedStrings::NotContains() };
}

QStringList GenericFilterDetailViewController::conditionImages(const QStringList& conditions)
{
    const QHash<QString, QString> images {
        { LocalizedStrings::None(), kUnknownImage },
        { LocalizedStrings::EqualTo(), QStringLiteral("filterequald") },
        { LocalizedStrings::NotEqualTo(), QStringLiteral("filternotequald") },
        { LocalizedStrings::GreaterThan(), QStringLiteral("filtergreaterd") },
        { LocalizedStrings::GreaterThanOrEqualTo(), QStringLiteral("filtergreaterequald") },
        { LocalizedStrings::LessThan(), QStringLiteral("filterlessd") },
        { LocalizedStrings::LessThanOrEqualTo(), QStringLiteral("filterlessequald") },
        { LocalizedStrings::Contains(), QStringLiteral("filtercontainsd") },
        { LocalizedStrings::NotContains(), QStringLiteral("filternotcontainsd") },
    };
    QStringList names;
    for (const QString& condition : conditions)
        names << images.value(condition, kUnknownImage);
    return names;
}

QStringList GenericFilterDetailViewController::andOrItems()
{
    return { LocalizedStrings::None(), LocalizedStrings::And(), LocalizedStrings::Or() };
}

QStringList GenericFilterDetailViewController::andOrImages()
{
    return { kUnknownImage, QStringLiteral("filterandd"), QStringLiteral("filterord") };
}

std::shared_ptr<FormElement> GenericFilterDetailViewController::makeCaption(
    const QString& title, const QString& type)
{
    auto caption = FormLabelElement::initWithTitle(title, QVariant());
    caption->setImage(TemplateColumn::imageForType(type));
    return caption;
}

std::shared_ptr<FormRadioElement> GenericFilterDetailViewController::makeColumnsElement(
    const QList<TemplateColumn*>& columns, const QString& title)
{
    QStringList names { LocalizedStrings::None() };
    QStringList images { kUnknownImage };
    for (const TemplateColumn* column : columns) {
        // A Protected column's values are never compared in the clear.
        if (!column || TypeConstants::isProtected(column->typeName()))
            continue;
        names << column->name().toString();
        images << column->typeImageName();
    }
    auto element = FormRadioElement::initWithItems(asItems(names), -1, title, images);
    element->setBind(QStringLiteral("selectedItem:Header"));
    setElementImage(*element, TemplateColumn::imageForType(TypeConstants::List));
    return element;
}

QList<TemplateColumn*> GenericFilterDetailViewController::tableColumns() const
{
    BaseViewController* list = callingScreen();
    const auto link = list ? list->parentLink() : nullptr;
    const auto rowsController = link ? link->dataController.lock() : nullptr;
    const auto* table = dynamic_cast<const RowFormDataController*>(rowsController.get());
    return table ? table->Columns() : QList<TemplateColumn*>();
}

void GenericFilterDetailViewController::loadData(const QVariant& record)
{
    if (const auto filter = RowObject::record<FilterExtended>(record)) {
        m_edited = RecordCopy::copy(*filter);
        QuickDetailViewController::loadData(RowObject::fromObject(m_edited.get()));
        return;
    }
    QuickDetailViewController::loadData(record);
}

void GenericFilterDetailViewController::createFields()
{
    FormRootElement* form = root();
    if (!form)
        return;
    const QString title
        = QStringLiteral("%1 - %2").arg(LocalizedStrings::Filter(), getAddEditPrefix());
    form->setGrouped(true);
    form->setTitle(title);
    setTitle(title);

    const QList<TemplateColumn*> columns = tableColumns();
    const QString columnId = m_edited ? m_edited->Column() : QString();
    const TemplateColumn* column
        = columnId.isEmpty() ? nullptr : TemplateColumn::getColumnForId(columnId, columns);
    m_shownColumnId = column ? columnId : QString();

    auto fields = std::make_shared<FormSection>();
    fields->setKey(SectionKey);
    createAndOrField(fields.get());
    createColumnsField(columns, fields.get());
    createConditionField(column, fields.get());
    createValueField(column, fields.get());
    form->addSection(fields);
    addSaveSection(*form);
}

std::shared_ptr<FormRadioElement> GenericFilterDetailViewController::createAndOrField(
    FormSection* section)
{
    const QString title = andOrTitle();
    auto element = FormRadioElement::initWithItems(
        asItems(andOrItems()), -1, DeviceHelper::isIPHONE() ? QString() : title, andOrImages());
    element->setBind(QStringLiteral("selectedItem:AndOr"));
    setElementImage(*element, TemplateColumn::imageForType(TypeConstants::List));
    addWithCaption(section, element, title, TypeConstants::List);
    return element;
}

std::shared_ptr<FormRadioElement> GenericFilterDetailViewController::createColumnsField(
    const QList<TemplateColumn*>& columns, FormSection* section)
{
    const QString title = LocalizedStrings::Column();
    auto element = makeColumnsElement(columns, DeviceHelper::isIPHONE() ? QString() : title);
    element->setKey(ColumnsKey);
    QPointer<GenericFilterDetailViewController> self(this);
    element->onSelected = [self] {
        if (self)
            self->columnChanged();
    };
    addWithCaption(section, element, title, TypeConstants::List);
    return element;
}

std::shared_ptr<FormRadioElement> GenericFilterDetailViewController::createConditionField(
    const TemplateColumn* column, FormSection* section)
{
    const QString title = LocalizedStrings::Operator();
    const QStringList conditions = column ? column->availableConditions() : allConditions();
    auto element = FormRadioElement::initWithItems(asItems(conditions), -1,
        DeviceHelper::isIPHONE() ? QString() : title, conditionImages(conditions));
    element->setKey(ConditionsKey);
    element->setBind(QStringLiteral("selectedItem:Operator"));
    setElementImage(*element, TemplateColumn::imageForType(TypeConstants::List));
    addWithCaption(section, element, title, TypeConstants::List);
    return element;
}

std::shared_ptr<FormElement> GenericFilterDetailViewController::createValueField(
    const TemplateColumn* column, FormSection* section)
{
    const QString title = LocalizedStrings::Value();
    std::shared_ptr<FormElement> element;
    if (column) {
        element = FilterValueElement::getEntryElemenet(column);
        if (auto* label = qobject_cast<FormLabelElement*>(element.get())) {
            setElementImage(*label, column->typeImage());
            label->setTitle(DeviceHelper::isIPHONE() ? QString() : title);
        }
    } else {
        auto entry = FormEntryElement::initWithTitle(
            DeviceHelper::isIPHONE() ? QString() : title, QString());
        entry->setBind(QStringLiteral("textValue:%1").arg(QStringLiteral("textValue")));
        setElementImage(*entry, TemplateColumn::imageForType(TypeConstants::Text));
        element = entry;
    }
    addWithCaption(section, element, title, column ? column->typeName() : TypeConstants::Text,
        ValueCaptionKey);
    return element;
}

void GenericFilterDetailViewController::columnChanged()
{
    FormRootElement* form = root();
    FormSection* section = form ? form->sectionWithKey(SectionKey) : nullptr;
    auto* choice
        = form ? qobject_cast<FormRadioElement*>(form->elementWithKey(ColumnsKey)) : nullptr;
    if (!section || !choice)
        return;
    const TemplateColumn* column
        = TemplateColumn::getColumnForName(choice->selectedItem().toString(), tableColumns());
    if (column && TypeConstants::isProtected(column->typeName()))
        column = nullptr;
    const QString columnId = column ? column->id().toString() : QString();
    // Opening the list, or choosing the same column again, keeps what was typed.
    if (columnId == m_shownColumnId)
        return;
    m_shownColumnId = columnId;

    QList<std::shared_ptr<FormElement>> elements = section->elements();
    if (elements.size() <= valueIndex())
        return;
    const auto condition = createConditionField(column, nullptr);
    const auto value = createValueField(column, nullptr);
    elements[conditionIndex()] = condition;
    elements[valueIndex()] = value;
    section->removeAllElements();
    for (const auto& element : std::as_const(elements))
        section->addElement(element);

    QList<FormElement*> changed { condition.get(), value.get() };
    if (auto* caption = qobject_cast<FormLabelElement*>(form->elementWithKey(ValueCaptionKey))) {
        caption->setImage(
            TemplateColumn::imageForType(column ? column->typeName() : TypeConstants::Text));
        changed << caption;
    }
    if (FormTableView* table = formTableView())
        table->reloadCellForElements(changed);
}

bool GenericFilterDetailViewController::Save(const QVariantMap& values)
{
    BaseDataController* controller = callingDataController();
    if (!m_edited || !controller)
        return false;
    RunTime::classFromDictionary(values, m_edited->metaObject(), m_edited.get());
    return controller->saveRow(RowObject::fromRecord(m_edited));
}
