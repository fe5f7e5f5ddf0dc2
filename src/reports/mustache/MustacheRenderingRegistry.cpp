#include "reports/mustache/MustacheRenderingRegistry.h"

#include "platform/Exception.h"
#include "reports/mustache/MustacheError.h"
#include "reports/mustache/MustacheNilRenderer.h"
#include "reports/mustache/MustacheRendering.h"
#include "reports/mustache/MustacheRenderingBudget.h"
#include "reports/mustache/MustacheRenderingDepth.h"
#include "reports/mustache/MustacheTag.h"
#include "reports/mustache/MustacheValue.h"

#include <QHash>
#include <QReadWriteLock>

namespace {

QReadWriteLock g_lock;
QHash<int, MustacheRenderingRegistry::Implementation>& registered()
{
    static QHash<int, MustacheRenderingRegistry::Implementation> implementations;
    return implementations;
}

bool isBuiltIn(const QVariant& value)
{
    const QMetaType type = value.metaType();
    return !type.isValid() || MustacheValue::isNull(value) || MustacheValue::isNumber(value)
        || MustacheValue::isString(value) || MustacheValue::isDictionary(value)
        || MustacheValue::isEnumerable(value) || type == QMetaType::fromType<MustacheObjectPtr>();
}

std::optional<QString> pushAndRender(const QVariant& value, const MustacheTag& tag,
    const MustacheContextPtr& context, bool* HTMLSafe, platform::Error* error)
{
    return tag.renderContentWithContext(
        MustacheContext::newContextWithParent(context, value), HTMLSafe, error);
}

// A value printed by a variable tag is plain text, still to be escaped.
QString unsafeText(const QString& text, bool* HTMLSafe)
{
    if (HTMLSafe)
        *HTMLSafe = false;
    return text;
}

// The tag's content in the context as it stands when shown, nothing otherwise.
std::optional<QString> renderContentIf(bool shown, const MustacheTag& tag,
    const MustacheContextPtr& context, bool* HTMLSafe, platform::Error* error)
{
    if (!shown)
        return QStringLiteral("");
    return tag.renderContentWithContext(context, HTMLSafe, error);
}

} // namespace

std::optional<QString> MustacheRenderingRegistry::render(const QVariant& value,
    const MustacheTag& tag, const MustacheContextPtr& context, bool* HTMLSafe,
    platform::Error* error)
{
    switch (value.metaType().id()) {
    case QMetaType::UnknownType:
        return MustacheNilRenderer::sharedInstance()->renderForMustacheTag(
            tag, context, HTMLSafe, error);
    case QMetaType::Nullptr:
        return renderNull(tag, context, HTMLSafe, error);
    case QMetaType::QString:
        return renderString(
            *static_cast<const QString*>(value.constData()), tag, context, HTMLSafe, error);
    default:
        break;
    }
    if (MustacheValue::isNumber(value))
        return renderNumber(value, tag, context, HTMLSafe, error);
    if (const MustacheObjectPtr object = MustacheValue::object(value)) {
        if (auto rendering = std::dynamic_pointer_cast<MustacheRendering>(object))
            return rendering->renderForMustacheTag(tag, context, HTMLSafe, error);
        return renderObject(value, tag, context, HTMLSafe, error);
    }
    if (!isBuiltIn(value)) {
        Implementation implementation;
        {
            QReadLocker lock(&g_lock);
            implementation = registered().value(value.metaType().id());
        }
        if (implementation)
            return implementation(value, tag, context, HTMLSafe, error);
    }
    if (MustacheValue::isEnumerable(value))
        return renderEnumerable(value, tag, context, HTMLSafe, error);
    return renderObject(value, tag, context, HTMLSafe, error);
}

bool MustacheRenderingRegistry::rendersItself(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
    case QMetaType::QString:
    case QMetaType::QVariantList:
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash:
        return true;
    default:
        return MustacheValue::isNumber(value);
    }
}

bool MustacheRenderingRegistry::renderSection(const QVariant& value, const MustacheTag& tag,
    const MustacheContextPtr& context, QString& buffer, platform::Error* error)
{
    const bool inverted = tag.type() == MustacheTagType::InvertedSection;
    bool shown = false;
    bool pushed = false;
    switch (value.metaType().id()) {
    case QMetaType::UnknownType:
        shown = tag.type() != MustacheTagType::Section;
        break;
    case QMetaType::Nullptr:
        shown = inverted;
        break;
    case QMetaType::QString:
        shown = static_cast<const QString*>(value.constData())->isEmpty() == inverted;
        pushed = !inverted;
        break;
    case QMetaType::QVariantList: {
        const QVariantList& items = *static_cast<const QVariantList*>(value.constData());
        if (inverted)
            return items.isEmpty() ? tag.appendContentWithContext(context, buffer, error) : true;
        for (const QVariant& item : items)
            if (!tag.appendContentWithContext(
                    MustacheContext::newContextWithParent(context, item), buffer, error))
                return false;
        return true;
    }
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash:
        shown = !inverted;
        pushed = true;
        break;
    default:
        shown = MustacheValue::boolValue(value) != inverted;
        break;
    }
    if (!shown)
        return true;
    return tag.appendContentWithContext(
        pushed ? MustacheContext::newContextWithParent(context, value) : context, buffer, error);
}

bool MustacheRenderingRegistry::registerRenderingImplementation(
    QMetaType type, Implementation implementation)
{
    QVariant probe(type);
    if (isBuiltIn(probe))
        return false;
    QWriteLocker lock(&g_lock);
    if (registered().contains(type.id()))
        return false;
    registered().insert(type.id(), std::move(implementation));
    return true;
}

std::optional<QString> MustacheRenderingRegistry::renderNull(const MustacheTag& tag,
    const MustacheContextPtr& context, bool* HTMLSafe, platform::Error* error)
{
    return renderContentIf(
        tag.type() == MustacheTagType::InvertedSection, tag, context, HTMLSafe, error);
}

std::optional<QString> MustacheRenderingRegistry::renderNumber(const QVariant& value,
    const MustacheTag& tag, const MustacheContextPtr& context, bool* HTMLSafe,
    platform::Error* error)
{
    if (tag.type() == MustacheTagType::Variable)
        return unsafeText(MustacheValue::description(value), HTMLSafe);
    // A number is a condition only: it is not pushed.
    const bool inverted = tag.type() == MustacheTagType::InvertedSection;
    return renderContentIf(
        MustacheValue::boolValue(value) != inverted, tag, context, HTMLSafe, error);
}

std::optional<QString> MustacheRenderingRegistry::renderString(const QString& value,
    const MustacheTag& tag, const MustacheContextPtr& context, bool* HTMLSafe,
    platform::Error* error)
{
    switch (tag.type()) {
    case MustacheTagType::Variable:
        return unsafeText(value, HTMLSafe);
    case MustacheTagType::InvertedSection:
        return renderContentIf(value.isEmpty(), tag, context, HTMLSafe, error);
    default:
        if (!value.isEmpty())
            return pushAndRender(value, tag, context, HTMLSafe, error);
        return QStringLiteral("");
    }
}

std::optional<QString> MustacheRenderingRegistry::renderObject(const QVariant& value,
    const MustacheTag& tag, const MustacheContextPtr& context, bool* HTMLSafe,
    platform::Error* error)
{
    switch (tag.type()) {
    case MustacheTagType::Variable:
        return unsafeText(MustacheValue::description(value), HTMLSafe);
    case MustacheTagType::InvertedSection:
        return QStringLiteral("");
    default:
        return pushAndRender(value, tag, context, HTMLSafe, error);
    }
}

std::optional<QString> MustacheRenderingRegistry::renderEnumerable(const QVariant& value,
    const MustacheTag& tag, const MustacheContextPtr& context, bool* HTMLSafe,
    platform::Error* error)
{
    if (tag.type() == MustacheTagType::InvertedSection)
        return renderContentIf(MustacheValue::isEmptyList(value), tag, context, HTMLSafe, error);
    // Every item is a step, whatever its rendering costs: the items are walked one at a
    // time, and the walk stops where the budget runs out.
    const MustacheRenderingBudget budget;
    bool failed = false;
    const auto step = [&] {
        if (MustacheRenderingBudget::spendSteps())
            return true;
        MustacheRenderingBudget::fail(error);
        failed = true;
        return false;
    };
    QString buffer;
    if (tag.type() != MustacheTagType::Variable) {
        MustacheValue::forEachItem(value, [&](const QVariant& item) {
            if (!step())
                return false;
            std::optional<QString> rendering = pushAndRender(item, tag, context, HTMLSafe, error);
            if (!rendering) {
                failed = true;
                return false;
            }
            buffer += *rendering;
            return true;
        });
        return failed ? std::nullopt : std::optional<QString>(buffer);
    }
    // Lists of lists recurse through here: count the level like a section.
    MustacheRenderingDepth depth;
    if (depth.exceeded()) {
        MustacheError::report(
            MustacheRenderingDepth::error(tag.expression()->token().get()), error);
        return std::nullopt;
    }
    bool anySafe = false;
    bool anyUnsafe = false;
    MustacheValue::forEachItem(value, [&](const QVariant& item) {
        if (!step())
            return false;
        bool itemSafe = false;
        platform::Error itemError;
        std::optional<QString> rendering = render(item, tag, context, &itemSafe, &itemError);
        if (!rendering) {
            if (itemError.isNull())
                return true;
            MustacheError::report(itemError, error);
            failed = true;
            return false;
        }
        if (rendering->isEmpty())
            return true;
        if ((itemSafe && anyUnsafe) || (!itemSafe && anySafe))
            throw platform::Exception(MustacheError::RenderingException,
                QStringLiteral("Inconsistant HTML escaping of items in enumeration"));
        (itemSafe ? anySafe : anyUnsafe) = true;
        buffer += *rendering;
        if (MustacheRenderingBudget::spendCharacters(rendering->size()))
            return true;
        MustacheRenderingBudget::fail(error);
        failed = true;
        return false;
    });
    if (failed)
        return std::nullopt;
    if (HTMLSafe)
        *HTMLSafe = !anyUnsafe;
    return buffer;
}
