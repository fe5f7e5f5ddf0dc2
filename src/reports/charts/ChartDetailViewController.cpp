#include "reports/charts/ChartDetailViewController.h"

#include "forms/FormAutoEntryElement.h"
#include "forms/FormButtonElement.h"
#include "forms/FormClassRegistry.h"
#include "forms/FormDateTimeInlineElement.h"
#include "forms/FormDecimalElement.h"
#include "forms/FormLabelElement.h"
#include "forms/FormRadioElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormTableView.h"
#include "forms/RowFormDataController.h"
#include "grid/BaseDataController.h"
#include "grid/DetailFormRegistry.h"
#include "model/ModelRegistry.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "model/UserTemplate.h"
#include "platform/plot/Theme.h"
#include "reports/GenericTemplateDataControllerProtocol.h"
#include "reports/charts/ChartDataController.h"
#include "style/Theme.h"
#include "style/UIColor_Expanded.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/UIImage_Theme.h"

#include <QPointer>

const QString ChartDetailViewController::XSectionKey = QStringLiteral("section1");

namespace {

const QString kControllerName = QStringLiteral("ChartDetailViewController");

GenericTemplateDataControllerProtocol* tableOf(BaseDataController* controller)
{
    return dynamic_cast<GenericTemplateDataControllerProtocol*>(controller);
}

QVariantList namesOf(const QList<TemplateColumn*>& columns, QStringList* images)
{
    QVariantList names;
    for (TemplateColumn* column : columns) {
        names << column->name().toString();
        if (images)
            *images << column->typeImageName();
    }
    return names;
}

} // namespace

ChartDetailViewController::ChartDetailViewController(QObject* parent)
    : QuickDetailViewController(parent)
{
}

ChartDetailViewController::~ChartDetailViewController() = default;

std::shared_ptr<FormRootElement> ChartDetailViewController::createForm()
{
    auto form = std::make_shared<FormRootElement>();
    form->setControllerName(kControllerName);
    return form;
}

void ChartDetailViewController::registerForm()
{
    FormClassRegistry::registerClass<ChartDetailViewController>();
    DetailFormRegistry::FormClass entry;
    entry.createForm = [](const QString&) -> std::shared_ptr<QObject> { return createForm(); };
    entry.controllerForRoot = [](const std::shared_ptr<QObject>& root) -> BaseViewController* {
        auto form = std::dynamic_pointer_cast<FormRootElement>(root);
        return form ? FormController::controllerForRoot(form) : nullptr;
    };
    DetailFormRegistry::registerForm(kControllerName, std::move(entry));
}

QList<TemplateColumn*> ChartDetailViewController::xColumns() const
{
    QList<TemplateColumn*> eligible;
    auto* table = tableOf(callingDataController());
    if (!table)
        return eligible;
    for (TemplateColumn* column : table->Columns()) {
        const QString type = column->typeName();
        if ((TypeConstants::isText(type) && !TypeConstants::isProtected(type))
            || TypeConstants::isDate(type) || TypeConstants::isNumber(type))
            eligible << column;
    }
    return eligible;
}

QList<TemplateColumn*> ChartDetailViewController::yColumns() const
{
    QList<TemplateColumn*> eligible;
    auto* table = tableOf(callingDataController());
    if (!table)
        return eligible;
    for (TemplateColumn* column : table->Columns()) {
        if (TypeConstants::isNumber(column->typeName()))
            eligible << column;
    }
    return eligible;
}

QString ChartDetailViewController::defaultTheme()
{
    ::Theme* style = ::Theme::current();
    const bool light = style && UIColor_Expanded::luminance(style->imageColor()) > 0.8;
    return light ? platform::plot::Theme::PlainBlack : platform::plot::Theme::PlainWhite;
}

qsizetype ChartDetailViewController::minimumPosition()
{
    return DeviceHelper::isIPHONE() ? 3 : 1;
}

qsizetype ChartDetailViewController::maximumPosition()
{
    return DeviceHelper::isIPHONE() ? 5 : 2;
}

FormRadioElement* ChartDetailViewController::addChoice(FormSection* section,
    const QVariantList& items, qsizetype selected, const QString& title, const QString& image,
    const QStringList& itemImages, const QString& key)
{
    const bool phone = DeviceHelper::isIPHONE();
    if (phone) {
        auto caption = FormLabelElement::initWithTitle(title, QVariant());
        caption->setImage(UIImage_Theme::themedimageNamed(image));
        section->addElement(caption);
    }
    auto choice
        = FormRadioElement::initWithItems(items, selected, phone ? QString() : title, itemImages);
    choice->setBind(QStringLiteral("selectedItem:%1").arg(key));
    choice->setKey(key);
    if (itemImages.isEmpty() || selected < 0)
        choice->setImage(UIImage_Theme::themedimageNamed(phone ? QStringLiteral("empty") : image));
    section->addElement(choice);
    return choice.get();
}

FormRadioElement* ChartDetailViewController::createChartTypeField(FormSection* section)
{
    return addChoice(section,
        { LocalizedStrings::Line(), LocalizedStrings::Bar(), LocalizedStrings::Pie() }, 0,
        LocalizedStrings::Type(), QStringLiteral("charttype"),
        { QStringLiteral("linechartd"), QStringLiteral("barchartd"), QStringLiteral("piechartd") },
        QStringLiteral("type"));
}

FormRadioElement* ChartDetailViewController::createChartTheme(FormSection* section)
{
    QVariantList themes;
    for (const QString& name : platform::plot::Theme::names())
        themes << name;
    return addChoice(section, themes, themes.indexOf(defaultTheme()), LocalizedStrings::Style(),
        QStringLiteral("chartstyle"), {}, QStringLiteral("theme"));
}

FormRadioElement* ChartDetailViewController::createXAxisField(
    BaseDataController*, FormSection* section)
{
    QStringList images;
    const QVariantList names = namesOf(xColumns(), &images);
    FormRadioElement* choice = addChoice(section, names, names.isEmpty() ? -1 : 0,
        LocalizedStrings::Column(), QStringLiteral("chartxaxis"), images, QStringLiteral("xaxis"));
    QPointer<ChartDetailViewController> self(this);
    choice->onSelected = [self] {
        if (self)
            self->EnableDisable(true);
    };
    return choice;
}

FormRadioElement* ChartDetailViewController::createYAxisField(
    BaseDataController*, FormSection* section)
{
    QStringList images;
    const QVariantList names = namesOf(yColumns(), &images);
    return addChoice(section, names, names.isEmpty() ? -1 : 0, LocalizedStrings::Column(),
        QStringLiteral("chartyaxis"), images, QStringLiteral("yaxis"));
}

FormRadioElement* ChartDetailViewController::createFunctionField(FormSection* section)
{
    return addChoice(section,
        { LocalizedStrings::Sum(), LocalizedStrings::Minimum(), LocalizedStrings::Maximum(),
            LocalizedStrings::Average(), LocalizedStrings::Count() },
        0, LocalizedStrings::Calculate(), QStringLiteral("chartcalculate"),
        { QStringLiteral("calcsumd"), QStringLiteral("calcminimumd"),
            QStringLiteral("calcmaximumd"), QStringLiteral("calcaveraged"),
            QStringLiteral("calccountd") },
        QStringLiteral("function"));
}

FormRadioElement* ChartDetailViewController::createGroupingsField(FormSection* section)
{
    return addChoice(section,
        { LocalizedStrings::None(), LocalizedStrings::Daily(), LocalizedStrings::Monthly(),
            LocalizedStrings::Yearly() },
        0, LocalizedStrings::Grouping(), QStringLiteral("chartgrouping"),
        { QStringLiteral("chartgrouping"), QStringLiteral("groupdailyd"),
            QStringLiteral("groupmonthlyd"), QStringLiteral("groupyearlyd") },
        QStringLiteral("grouping"));
}

void ChartDetailViewController::createFields()
{
    FormRootElement* form = root();
    if (!form)
        return;
    const QString title = LocalizedStrings::ChartData();
    form->setGrouped(true);
    form->setTitle(title);
    setTitle(title);
    BaseDataController* controller = callingDataController();
    const bool phone = DeviceHelper::isIPHONE();

    auto chart = std::make_shared<FormSection>();
    chart->setTitle(LocalizedStrings::Chart());
    createChartTypeField(chart.get());
    createChartTheme(chart.get());
    form->addSection(chart);

    auto x = std::make_shared<FormSection>();
    x->setTitle(LocalizedStrings::XAxis());
    x->setKey(XSectionKey);
    createXAxisField(controller, x.get());
    // Stand-ins until EnableDisable puts fields of the x column's kind in their place.
    const QList<QPair<QString, QString>> bounds { { LocalizedStrings::MinimumValue(),
                                                      QStringLiteral("calcminimumd") },
        { LocalizedStrings::MaximumValue(), QStringLiteral("calcmaximumd") } };
    for (const auto& [caption, image] : bounds) {
        if (phone) {
            auto label = FormLabelElement::initWithTitle(caption, QVariant());
            label->setImage(UIImage_Theme::themedimageNamed(image));
            x->addElement(label);
        }
        x->addElement(FormEntryElement::initWithTitle(phone ? QString() : caption, QString()));
    }
    createGroupingsField(x.get());
    form->addSection(x);

    auto y = std::make_shared<FormSection>();
    y->setTitle(LocalizedStrings::YAxis());
    createYAxisField(controller, y.get());
    createFunctionField(y.get());
    form->addSection(y);

    auto plot = std::make_shared<FormSection>();
    auto button = FormButtonElement::initWithTitle(LocalizedStrings::PlotChart());
    button->setControllerAction(QStringLiteral("onSave:"));
    plot->addElement(button);
    form->addSection(plot);
}

FormSection* ChartDetailViewController::xSection() const
{
    FormRootElement* form = root();
    return form ? form->sectionWithKey(XSectionKey) : nullptr;
}

void ChartDetailViewController::EnableDisable(bool reload)
{
    FormRootElement* form = root();
    auto* table = tableOf(callingDataController());
    if (!form || !table)
        return;
    auto* choice = qobject_cast<FormRadioElement*>(form->elementWithKey(QStringLiteral("xaxis")));
    QVariant name = choice ? choice->selectedItem() : QVariant();
    if (!name.isValid() && choice && !choice->items().isEmpty())
        name = choice->items().first();
    // Choosing the same column again keeps what was typed.
    if (reload && name.toString() == m_shownX)
        return;
    m_shownX = name.toString();
    TemplateColumn* column = TemplateColumn::getColumnForName(name.toString(), table->Columns());
    const QList<std::shared_ptr<FormElement>> fields = createMinMaxFields(nullptr, column);
    auto* grouping
        = qobject_cast<FormRadioElement*>(form->elementWithKey(QStringLiteral("grouping")));
    if (grouping)
        grouping->setEnabled(column && TypeConstants::isDate(column->typeName()));
    if (reload && !fields.isEmpty()) {
        if (FormTableView* view = formTableView()) {
            QList<FormElement*> changed { fields[0].get(), fields[1].get() };
            if (grouping)
                changed << grouping;
            view->reloadCellForElements(changed);
        }
    }
}

QList<std::shared_ptr<FormElement>> ChartDetailViewController::createMinMaxFields(
    FormSection* section, TemplateColumn* column)
{
    if (!section)
        section = xSection();
    if (!section || !column)
        return {};
    const bool phone = DeviceHelper::isIPHONE();
    QList<std::shared_ptr<FormElement>> fields
        = getMinMaxFields(column, phone ? QString() : LocalizedStrings::MinimumValue(),
            phone ? QString() : LocalizedStrings::MaximumValue());
    if (fields.size() != 2)
        return {};
    QList<std::shared_ptr<FormElement>> elements = section->elements();
    const qsizetype low = minimumPosition();
    const qsizetype high = maximumPosition();
    if (elements.size() <= high)
        return {};
    elements[low] = fields[0];
    elements[high] = fields[1];
    section->removeAllElements();
    for (const auto& element : std::as_const(elements))
        section->addElement(element);
    return fields;
}

QVariantList ChartDetailViewController::getMinMaxValue(TemplateColumn* column)
{
    BaseDataController* controller = callingDataController();
    auto* table = tableOf(controller);
    const QString type = column ? column->typeName() : QString();
    if (table && table->userTemplate() && column
        && !ChartDataController::lacksPassword(controller)) {
        const auto rows = ChartDataController::readRows(table->userTemplate()->id().toString(),
            table->Columns(), controller->filters(), table->secret(), column, nullptr, QVariant(),
            QVariant(), nullptr);
        if (rows && !rows->isEmpty())
            return { rows->first().x, rows->last().x };
    }
    if (TypeConstants::isDate(type)) {
        const QDateTime now = QDateTime::currentDateTime();
        return { now, now };
    }
    if (TypeConstants::isNumber(type))
        return { QVariant(), QVariant() };
    return { QString(), QString() };
}

QList<std::shared_ptr<FormElement>> ChartDetailViewController::getMinMaxFields(
    TemplateColumn* column, const QString& minTitle, const QString& maxTitle)
{
    const QVariantList ends = getMinMaxValue(column);
    const QString type = column->typeName();
    const bool phone = DeviceHelper::isIPHONE();
    const QString image = phone ? QStringLiteral("empty") : column->typeImageName();
    const QStringList keys { QStringLiteral("minValue"), QStringLiteral("maxValue") };
    const QStringList titles { minTitle, maxTitle };
    QList<std::shared_ptr<FormElement>> fields;
    QStringList completions;
    if (TypeConstants::isText(type)) {
        if (auto* rows = dynamic_cast<RowFormDataController*>(callingDataController())) {
            for (const QVariant& value : rows->getAutoCompleteValues(column->id().toString()))
                completions << value.toString();
        }
    }
    for (int i = 0; i < 2; ++i) {
        std::shared_ptr<FormElement> field;
        if (TypeConstants::isDate(type)) {
            const int mode = type == TypeConstants::Time
                ? FormDateTimeInlineElement::Time
                : (type == TypeConstants::DateTime ? FormDateTimeInlineElement::DateAndTime
                                                   : FormDateTimeInlineElement::Date);
            auto date
                = FormDateTimeInlineElement::initWithTitle(titles[i], ends[i].toDateTime(), mode);
            date->setBind(QStringLiteral("dateValue:%1").arg(keys[i]));
            field = date;
        } else if (TypeConstants::isNumber(type)) {
            auto number = FormDecimalElement::initWithTitle(titles[i], ends[i]);
            number->setBind(QStringLiteral("numberValue:%1").arg(keys[i]));
            number->setFractionDigits(
                qulonglong(std::max(0, ModelRegistry::intValue(column->precision()))));
            field = number;
        } else {
            auto text = FormAutoEntryElement::initWithTitle(titles[i], ends[i].toString());
            text->setBind(QStringLiteral("textValue:%1").arg(keys[i]));
            text->setAutoCompleteValues(completions);
            if (::Theme* style = ::Theme::current())
                text->autoCompleteColor = style->imageColor();
            field = text;
        }
        field->setKey(keys[i]);
        if (auto* labelled = dynamic_cast<FormLabelElement*>(field.get()))
            labelled->setImage(UIImage_Theme::themedimageNamed(image));
        fields << field;
    }
    return fields;
}

void ChartDetailViewController::Save(const QVariantMap& values, QObject*)
{
    BaseDataController* controller = callingDataController();
    if (!controller)
        return;
    controller->saveRow(QVariant(values));
    if (DeviceHelper::isIPAD())
        afterSave(false);
}

QSizeF ChartDetailViewController::popupContentSize() const
{
    return QSizeF(600, calculateHeight(10));
}
