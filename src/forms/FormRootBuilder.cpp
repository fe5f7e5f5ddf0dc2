#include "forms/FormRootBuilder.h"

#include "forms/FormClassRegistry.h"
#include "forms/FormElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "platform/Exception.h"
#include "platform/KeyValueCoding.h"
#include "utilities/text/LocalizedStrings.h"

#include <QHash>
#include <QStringList>

#include <mutex>
#include <optional>

namespace {

thread_local FormRootBuilder::BuildLimit* t_limit = nullptr;

const QString kType = QStringLiteral("type");
const QString kSections = QStringLiteral("sections");
const QString kElements = QStringLiteral("elements");
const QString kBind = QStringLiteral("bind");

bool isText(const QVariant& value)
{
    return value.metaType().id() == QMetaType::QString;
}

bool isArray(const QVariant& value)
{
    return value.metaType().id() == QMetaType::QVariantList
        || value.metaType().id() == QMetaType::QStringList;
}

// The dictionaries of a "sections" or "elements" array; anything else in it describes
// nothing.
QVariantList descriptionsIn(const QVariant& value)
{
    QVariantList descriptions;
    if (!isArray(value))
        return descriptions;
    for (const QVariant& item : value.toList())
        if (item.metaType().id() == QMetaType::QVariantMap)
            descriptions.append(item);
    return descriptions;
}

using Mapping = QHash<QString, int>;

struct Mappings {
    std::mutex mutex;
    std::optional<QHash<QString, Mapping>> table;
};

// Builds may run on a form thread while another builds on the main thread.
Mappings& mappings()
{
    static Mappings shared;
    return shared;
}

QHash<QString, Mapping> makeMappings()
{
    return {
        { "presentationMode",
            { { "Normal", 0 }, { "Popover", 1 }, { "NavigationInPopover", 2 }, { "ModalForm", 3 },
                { "ModalFullScreen", 4 }, { "ModalPage", 5 } } },
        { "autocapitalizationType",
            { { "None", 0 }, { "Words", 1 }, { "Sentences", 2 }, { "AllCharacters", 3 } } },
        { "autocorrectionType", { { "Default", 0 }, { "No", 1 }, { "Yes", 2 } } },
        { "cellStyle", { { "Default", 0 }, { "Value1", 1 }, { "Value2", 2 }, { "Subtitle", 3 } } },
        { "keyboardType",
            { { "Default", 0 }, { "ASCIICapable", 1 }, { "NumbersAndPunctuation", 2 }, { "URL", 3 },
                { "NumberPad", 4 }, { "PhonePad", 5 }, { "NamePhonePad", 6 }, { "EmailAddress", 7 },
                { "DecimalPad", 8 }, { "Twitter", 9 }, { "Alphabet", 1 } } },
        { "keyboardAppearance", { { "Default", 0 }, { "Alert", 1 } } },
        { "indicatorViewStyle", { { "WhiteLarge", 0 }, { "White", 1 }, { "Gray", 2 } } },
        { "accessoryType",
            { { "None", 0 }, { "DisclosureIndicator", 1 }, { "DetailDisclosureButton", 2 },
                { "Checkmark", 3 } } },
        { "mode", { { "Time", 0 }, { "Date", 1 }, { "DateAndTime", 2 } } },
        { "returnKeyType",
            { { "Default", 0 }, { "Go", 1 }, { "Google", 2 }, { "Join", 3 }, { "Next", 4 },
                { "Route", 5 }, { "Search", 6 }, { "Send", 7 }, { "Yahoo", 8 }, { "Done", 9 },
                { "EmergencyCall", 10 } } },
        { "labelingPolicy", { { "trimTitle", 1 }, { "trimValue", 0 } } },
        { "source", { { "photoLibrary", 0 }, { "camera", 1 }, { "savedPhotosAlbum", 2 } } },
    };
}

// The names of the property, when the table exists and maps it.
std::optional<Mapping> mappingFor(const QString& property)
{
    Mappings& shared = mappings();
    std::lock_guard lock(shared.mutex);
    if (!shared.table)
        return std::nullopt;
    const auto it = shared.table->constFind(property);
    if (it == shared.table->constEnd())
        return std::nullopt;
    return it.value();
}

} // namespace

const QString FormRootBuilder::TooManyElementsException
    = QStringLiteral("FormTooManyElementsException");

FormRootBuilder::BuildLimit::BuildLimit(qsizetype limit)
    : m_limit(limit)
    , m_outer(t_limit)
{
    t_limit = this;
}

FormRootBuilder::BuildLimit::~BuildLimit()
{
    t_limit = m_outer;
}

void FormRootBuilder::requireRoomFor(qsizetype count)
{
    const BuildLimit* limit = t_limit;
    if (limit && count > limit->m_limit - limit->m_built)
        throw platform::Exception(TooManyElementsException,
            QStringLiteral("The form would have more than %1 rows").arg(limit->m_limit),
            { { QStringLiteral("limit"), limit->m_limit } });
}

void FormRootBuilder::willBuild(qsizetype count)
{
    requireRoomFor(count);
    if (t_limit)
        t_limit->m_built += count;
}

void FormRootBuilder::initializeMappings()
{
    Mappings& shared = mappings();
    std::lock_guard lock(shared.mutex);
    if (!shared.table)
        shared.table = makeMappings();
}

bool FormRootBuilder::hasMappings()
{
    Mappings& shared = mappings();
    std::lock_guard lock(shared.mutex);
    return shared.table.has_value();
}

void FormRootBuilder::resetMappings()
{
    Mappings& shared = mappings();
    std::lock_guard lock(shared.mutex);
    shared.table.reset();
}

void FormRootBuilder::trySetProperty(
    const QString& property, QObject* object, const QVariant& value, bool localized)
{
    using platform::KeyValueCoding;
    const bool localize = localized && property != kBind && property != kType;
    QVariant set = value;
    if (KeyValueCoding::isNil(value) || KeyValueCoding::isNullObject(value)) {
        set = QVariant();
    } else if (isText(value)) {
        if (const std::optional<Mapping> names = mappingFor(property)) {
            const auto number = names->constFind(value.toString());
            // A name the table lacks would read as 0, a real value: keep what was set.
            if (number == names->constEnd()) {
                qWarning("Unknown value %s for property %s", qUtf8Printable(value.toString()),
                    qUtf8Printable(property));
                return;
            }
            set = number.value();
        } else if (localize)
            set = LocalizedStrings::getLocalizedString(value.toString());
    } else if (isArray(value)) {
        QVariantList copy = value.toList();
        if (localize) {
            for (QVariant& item : copy) {
                if (!isText(item))
                    continue;
                try {
                    item = LocalizedStrings::getLocalizedString(item.toString());
                } catch (const std::exception& exception) {
                    qWarning("Exception: %s", exception.what());
                }
            }
        }
        set = copy;
    }
    KeyValueCoding::setValueForKeyPath(object, set, property);
}

void FormRootBuilder::updateObject(QObject* object, const QVariantMap& description)
{
    for (auto it = description.constBegin(); it != description.constEnd(); ++it) {
        if (it.key() == kType || it.key() == kSections || it.key() == kElements)
            continue;
        trySetProperty(it.key(), object, it.value(), true);
    }
}

std::shared_ptr<FormRootElement> FormRootBuilder::buildWithObject(const QVariantMap& description)
{
    initializeMappings();
    auto root = std::make_shared<FormRootElement>();
    updateObject(root.get(), description);
    for (const QVariant& section : descriptionsIn(description.value(kSections)))
        buildSectionWithObject(section.toMap(), root.get());
    return root;
}

std::shared_ptr<FormElement> FormRootBuilder::buildElementWithObject(const QVariantMap& description)
{
    willBuild();
    const QString type = description.value(kType).toString();
    std::shared_ptr<FormElement> element(qobject_cast<FormElement*>(
        FormClassRegistry::create(type, &FormElement::staticMetaObject)));
    if (!element) {
        qWarning("Couldn't build element for type %s", qUtf8Printable(type));
        return nullptr;
    }
    updateObject(element.get(), description);
    if (auto* root = qobject_cast<FormRootElement*>(element.get())) {
        for (const QVariant& section : descriptionsIn(description.value(kSections)))
            buildSectionWithObject(section.toMap(), root);
    }
    return element;
}

std::shared_ptr<FormSection> FormRootBuilder::buildSectionWithObject(const QVariantMap& description)
{
    willBuild();
    std::shared_ptr<FormSection> section;
    if (description.contains(kType)) {
        const QString type = description.value(kType).toString();
        section.reset(qobject_cast<FormSection*>(
            FormClassRegistry::create(type, &FormSection::staticMetaObject)));
        if (!section) {
            qWarning("Couldn't build section for type %s", qUtf8Printable(type));
            return nullptr;
        }
    } else {
        section = std::make_shared<FormSection>();
    }
    updateObject(section.get(), description);
    return section;
}

void FormRootBuilder::buildSectionWithObject(const QVariantMap& description, FormRootElement* root)
{
    std::shared_ptr<FormSection> section = buildSectionWithObject(description);
    if (!section)
        return;
    root->addSection(section);
    for (const QVariant& item : descriptionsIn(description.value(kElements))) {
        if (std::shared_ptr<FormElement> element = buildElementWithObject(item.toMap()))
            section->addElement(element);
    }
}
