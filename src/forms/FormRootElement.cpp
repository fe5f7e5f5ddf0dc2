#include "forms/FormRootElement.h"

#include "forms/FormBindingEvaluator.h"
#include "forms/FormControllerProtocol.h"
#include "forms/FormEntryElement.h"
#include "forms/FormRootBuilder.h"
#include "forms/FormSection.h"
#include "forms/FormTableViewCell.h"
#include "platform/Folders.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonParseError>

namespace {

enum class ReadLog { Quiet, Logged };

// The parsed content of the bundle's "<name>.json"; nil when it cannot be read or parsed.
QVariant readJSONResource(const QString& name, ReadLog log)
{
    const QString path = platform::Folders::resourcePath(name, QStringLiteral("json"));
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        if (log == ReadLog::Logged)
            qWarning("Couldn't read any data for JSON file named: %s", qUtf8Printable(name));
        return {};
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError) {
        if (log == ReadLog::Logged)
            qWarning("Parsing error: %s", qUtf8Printable(error.errorString()));
        return {};
    }
    return document.toVariant();
}

} // namespace

FormRootElement::FormRootElement() = default;

FormRootElement::~FormRootElement() = default;

std::shared_ptr<FormRootElement> FormRootElement::initWithJSONFile(const QString& name)
{
    return initWithJSONFile(name, QVariant());
}

std::shared_ptr<FormRootElement> FormRootElement::initWithJSONFile(
    const QString& name, const QVariant& data)
{
    return initWithJSON(readJSONResource(name, ReadLog::Logged), data);
}

std::shared_ptr<FormRootElement> FormRootElement::initWithJSON(
    const QVariant& description, const QVariant& data)
{
    const QVariantMap map = description.metaType().id() == QMetaType::QVariantMap
        ? description.toMap()
        : QVariantMap();
    std::shared_ptr<FormRootElement> root = FormRootBuilder().buildWithObject(map);
    if (data.isValid())
        root->bindToObject(data);
    return root;
}

std::shared_ptr<FormRootElement> FormRootElement::initWithJSONFileAndDataJSONFile(
    const QString& name, const QString& dataName)
{
    return initWithJSONFile(name, readJSONResource(dataName, ReadLog::Quiet));
}

std::shared_ptr<FormRootElement> FormRootElement::rootForJSON(const QString& name)
{
    return initWithJSONFile(name);
}

std::shared_ptr<FormRootElement> FormRootElement::rootForJSON(
    const QString& name, const QVariant& object)
{
    std::shared_ptr<FormRootElement> root = rootForJSON(name);
    root->setObject(object);
    return root;
}

void FormRootElement::addSection(std::shared_ptr<FormSection> section)
{
    if (!section)
        return;
    m_hasSections = true;
    section->setRootElement(this);
    m_sections.append(std::move(section));
    m_visibleSectionsMadeAt = 0;
}

void FormRootElement::removeAllSections()
{
    m_sections.clear();
    m_visibleSectionsMadeAt = 0;
}

void FormRootElement::dropSections()
{
    m_sections.clear();
    m_hasSections = false;
    m_visibleSectionsMadeAt = 0;
}

const std::vector<FormSection*>& FormRootElement::visibleSections() const
{
    const quint64 changes = FormSection::visibilityChanges();
    if (m_visibleSectionsMadeAt != changes) {
        m_visibleSections.clear();
        for (const auto& section : m_sections)
            if (!section->hidden())
                m_visibleSections.push_back(section.get());
        m_visibleSectionsMadeAt = changes;
    }
    return m_visibleSections;
}

FormSection* FormRootElement::getSectionForIndex(qsizetype index) const
{
    return index >= 0 && index < m_sections.size() ? m_sections[index].get() : nullptr;
}

FormSection* FormRootElement::getVisibleSectionForIndex(qsizetype index) const
{
    const std::vector<FormSection*>& visible = visibleSections();
    return index >= 0 && size_t(index) < visible.size() ? visible[size_t(index)] : nullptr;
}

qsizetype FormRootElement::visibleNumberOfSections() const
{
    return qsizetype(visibleSections().size());
}

qsizetype FormRootElement::getVisibleIndexForSection(const FormSection* section) const
{
    qsizetype visible = 0;
    for (const auto& candidate : m_sections) {
        if (candidate.get() == section)
            return visible;
        if (!candidate->hidden())
            ++visible;
    }
    return FormNotFound;
}

double FormRootElement::titleWidth(const QFont& font) const
{
    MeasuredTitle& measured = m_measuredTitle;
    if (measured.width < 0 || measured.title != m_title || measured.font != font) {
        measured.width = platform::ui::Font::measure(m_title, font).width();
        measured.title = m_title;
        measured.font = font;
    }
    return measured.width;
}

platform::ui::TableViewCell* FormRootElement::getCellForTableView(
    FormTableView* tableView, FormControllerProtocol* controller)
{
    platform::ui::TableViewCell* cell = FormElement::getCellForTableView(tableView, controller);
    cell->setSelectionStyle(platform::ui::TableViewCell::SelectionStyle::Blue);
    if (!m_title.isNull())
        cell->textLabel()->setText(m_title);
    return cell;
}

void FormRootElement::selected(FormTableView* tableView, FormControllerProtocol* controller,
    const platform::ui::IndexPath& indexPath)
{
    FormElement::selected(tableView, controller, indexPath);
    if (m_hasSections && controller)
        controller->displayViewControllerForRoot(this);
}

void FormRootElement::handleEditingChanged()
{
    if (onValueChanged)
        onValueChanged(this);
}

FormSection* FormRootElement::sectionWithKey(const QString& key) const
{
    for (const auto& section : m_sections)
        if (section->key() == key)
            return section.get();
    return nullptr;
}

FormElement* FormRootElement::elementWithKey(const QString& key) const
{
    for (const auto& section : m_sections) {
        for (const auto& element : section->elements()) {
            if (element->key() == key)
                return element.get();
            if (auto* root = qobject_cast<FormRootElement*>(element.get())) {
                if (FormElement* found = root->elementWithKey(key))
                    return found;
            }
        }
    }
    return nullptr;
}

FormEntryElement* FormRootElement::findElementToFocusOnBefore(const FormElement* element) const
{
    FormEntryElement* previous = nullptr;
    for (const auto& section : m_sections) {
        for (const auto& candidate : section->elements()) {
            if (candidate.get() == element)
                return previous;
            auto* entry = qobject_cast<FormEntryElement*>(candidate.get());
            if (entry && !section->hidden() && entry->canTakeFocus())
                previous = entry;
        }
    }
    return nullptr;
}

FormEntryElement* FormRootElement::findElementToFocusOnAfter(const FormElement* element) const
{
    bool passed = element == nullptr;
    for (const auto& section : m_sections) {
        for (const auto& candidate : section->elements()) {
            if (!passed) {
                passed = candidate.get() == element;
                continue;
            }
            auto* entry = qobject_cast<FormEntryElement*>(candidate.get());
            if (entry && !section->hidden() && entry->canTakeFocus())
                return entry;
        }
    }
    return nullptr;
}

void FormRootElement::bindToObject(const QVariant& data)
{
    if (!FormBindingEvaluator::stringIsEmpty(bind()) && bind().contains(u"iterate")) {
        removeAllSections();
        FormBindingEvaluator().bindObject(this, data);
        return;
    }
    // A binding may rebuild a section's rows; the list is walked on a copy.
    const QList<std::shared_ptr<FormSection>> sections = m_sections;
    for (const auto& section : sections)
        section->bindToObject(data);
    FormBindingEvaluator().bindObject(this, data);
}

void FormRootElement::fetchValueIntoObject(const QVariant& target)
{
    for (const auto& section : m_sections)
        section->fetchValueIntoObject(target);
}

void FormRootElement::fetchValueUsingBindingsIntoObject(const QVariant& target)
{
    FormElement::fetchValueUsingBindingsIntoObject(target);
    for (const auto& section : m_sections)
        section->fetchValueUsingBindingsIntoObject(target);
}
