#include "reports/mustache/MustacheContext.h"

#include "platform/Exception.h"
#include "reports/mustache/MustacheExpression.h"
#include "reports/mustache/MustacheExpressionParser.h"
#include "reports/mustache/MustacheKeyAccess.h"
#include "reports/mustache/MustacheRenderingBudget.h"
#include "reports/mustache/MustacheTagDelegate.h"
#include "reports/mustache/MustacheTemplateOverride.h"
#include "reports/mustache/MustacheValue.h"

#include <algorithm>
#include <typeinfo>

namespace {

// The contexts one walk went through, counted as steps of the rendering's budget when it
// ends, whichever way it ends: sections nested deep make every lookup inside them dearer.
// A lookup has no way to fail; the rendering stops at the next step it takes.
struct Walked {
    qint64 contexts = 0;
    Walked() = default;
    Walked(const Walked&) = delete;
    Walked& operator=(const Walked&) = delete;
    ~Walked() { MustacheRenderingBudget::spendSteps(contexts); }
};

} // namespace

MustacheContext::MustacheContext() = default;
MustacheContext::~MustacheContext() = default;

MustacheContextPtr MustacheContext::context()
{
    return std::make_shared<MustacheContext>();
}

MustacheContextPtr MustacheContext::contextWithObject(const QVariant& object)
{
    if (auto context = MustacheValue::objectAs<MustacheContext>(object)) {
        const MustacheContext base;
        if (!base.isSuperclassOf(*context))
            throw platform::Exception(platform::Exception::InvalidArgument,
                QStringLiteral("%1 is not a subclass of %2: can not extend context.")
                    .arg(context->className(), base.className()));
        return context;
    }
    auto context = std::make_shared<MustacheContext>();
    context->m_contextObject = object;
    context->m_tagDelegate = MustacheValue::objectAs<MustacheTagDelegate>(object);
    return context;
}

MustacheContextPtr MustacheContext::contextWithProtectedObject(const QVariant& object)
{
    auto context = std::make_shared<MustacheContext>();
    context->m_protectedContextObject = object;
    return context;
}

MustacheContextPtr MustacheContext::contextWithTagDelegate(
    const std::shared_ptr<MustacheTagDelegate>& delegate)
{
    auto context = std::make_shared<MustacheContext>();
    context->m_tagDelegate = delegate;
    return context;
}

MustacheContextPtr MustacheContext::self() const
{
    return std::dynamic_pointer_cast<MustacheContext>(
        const_cast<MustacheContext*>(this)->shared_from_this());
}

MustacheContextPtr MustacheContext::copyWithParent(const MustacheContextPtr& parent) const
{
    MustacheContextPtr copy = newInstance();
    copy->m_contextParent = parent;
    copy->m_contextObject = m_contextObject;
    copy->m_managedPropertiesStore = m_managedPropertiesStore;
    copy->m_protectedContextParent = m_protectedContextParent;
    copy->m_protectedContextObject = m_protectedContextObject;
    copy->m_hiddenContextParent = m_hiddenContextParent;
    copy->m_hiddenContextObject = m_hiddenContextObject;
    copy->m_tagDelegateParent = m_tagDelegateParent;
    copy->m_tagDelegate = m_tagDelegate;
    copy->m_templateOverrideParent = m_templateOverrideParent;
    copy->m_templateOverride = m_templateOverride;
    return copy;
}

MustacheContextPtr MustacheContext::contextByAddingObject(const QVariant& object) const
{
    return newContextWithParent(self(), object);
}

MustacheContextPtr MustacheContext::contextByAddingProtectedObject(const QVariant& object) const
{
    if (!object.isValid())
        return self();
    MustacheContextPtr receiver = self();
    MustacheContextPtr context = copyWithParent(receiver);
    context->m_protectedContextObject = object;
    context->m_protectedContextParent
        = m_protectedContextObject.isValid() ? receiver : m_protectedContextParent;
    return context;
}

MustacheContextPtr MustacheContext::contextByAddingHiddenObject(const QVariant& object) const
{
    if (!object.isValid())
        return self();
    MustacheContextPtr receiver = self();
    MustacheContextPtr context = copyWithParent(receiver);
    context->m_hiddenContextObject = object;
    context->m_hiddenContextParent
        = m_hiddenContextObject.isValid() ? receiver : m_hiddenContextParent;
    return context;
}

MustacheContextPtr MustacheContext::contextByAddingTagDelegate(
    const std::shared_ptr<MustacheTagDelegate>& delegate) const
{
    if (!delegate)
        return self();
    MustacheContextPtr receiver = self();
    MustacheContextPtr context = copyWithParent(receiver);
    context->m_tagDelegate = delegate;
    context->m_tagDelegateParent = m_tagDelegate ? receiver : m_tagDelegateParent;
    return context;
}

MustacheContextPtr MustacheContext::contextByAddingTemplateOverride(
    const std::shared_ptr<const MustacheTemplateOverride>& templateOverride) const
{
    if (!templateOverride)
        return self();
    MustacheContextPtr receiver = self();
    MustacheContextPtr context = copyWithParent(receiver);
    context->m_templateOverride = templateOverride;
    context->m_templateOverrideParent = m_templateOverride ? receiver : m_templateOverrideParent;
    return context;
}

MustacheContextPtr MustacheContext::newContextWithParent(
    const MustacheContextPtr& parent, const QVariant& object)
{
    if (!object.isValid())
        return parent;
    if (auto added = MustacheValue::objectAs<MustacheContext>(object)) {
        MustacheContextPtr built = parent;
        for (const MustacheContextPtr& ancestor : added->ancestors()) {
            if (!built->isSuperclassOf(*ancestor))
                throw platform::Exception(platform::Exception::InvalidArgument,
                    QStringLiteral("%1 is not a subclass of %2: can not extend context.")
                        .arg(ancestor->className(), built->className()));
            built = ancestor->copyWithParent(built);
        }
        return built;
    }
    MustacheContextPtr context = parent->newInstance();
    context->m_contextParent = parent;
    context->m_contextObject = object;
    context->m_protectedContextParent = parent->m_protectedContextParent;
    context->m_protectedContextObject = parent->m_protectedContextObject;
    context->m_hiddenContextParent = parent->m_hiddenContextParent;
    context->m_hiddenContextObject = parent->m_hiddenContextObject;
    context->m_templateOverrideParent = parent->m_templateOverrideParent;
    context->m_templateOverride = parent->m_templateOverride;
    if (auto delegate = MustacheValue::objectAs<MustacheTagDelegate>(object)) {
        context->m_tagDelegate = delegate;
        context->m_tagDelegateParent = parent->m_tagDelegate ? parent : nullptr;
    } else {
        context->m_tagDelegate = parent->m_tagDelegate;
        context->m_tagDelegateParent = parent->m_tagDelegateParent;
    }
    return context;
}

bool MustacheContext::isHidden(const QVariant& object, qint64& walked) const
{
    for (const MustacheContext* context = this; context;
         context = context->m_hiddenContextParent.get()) {
        ++walked;
        if (context->m_hiddenContextObject.isValid()
            && MustacheValue::isIdentical(context->m_hiddenContextObject, object))
            return true;
    }
    return false;
}

QVariant MustacheContext::valueForMustacheKey(const QString& key, bool* isProtected) const
{
    Walked walked;
    for (const MustacheContext* context = this; context;
         context = context->m_protectedContextParent.get()) {
        ++walked.contexts;
        if (!context->m_protectedContextObject.isValid())
            continue;
        QVariant value
            = MustacheKeyAccess::valueForMustacheKey(key, context->m_protectedContextObject);
        if (value.isValid()) {
            if (isProtected)
                *isProtected = true;
            return value;
        }
    }
    if (isProtected)
        *isProtected = false;

    const bool anyHidden = m_hiddenContextObject.isValid() || m_hiddenContextParent;
    QString propertyName;
    bool propertyNameKnown = false;
    for (const MustacheContext* context = this; context; context = context->m_contextParent.get()) {
        ++walked.contexts;
        if (anyHidden && context->m_contextObject.isValid()
            && isHidden(context->m_contextObject, walked.contexts))
            continue;
        if (context->m_contextObject.isValid()) {
            QVariant value = MustacheKeyAccess::valueForMustacheKey(key, context->m_contextObject);
            if (value.isValid())
                return value;
        }
        if (!context->m_managedPropertiesStore.isEmpty()) {
            if (!propertyNameKnown) {
                const auto property = managedPropertyForGetter(key);
                propertyName = property ? property->name : key;
                propertyNameKnown = true;
            }
            QVariant value = context->m_managedPropertiesStore.value(propertyName);
            if (value.isValid())
                return value;
        }
    }

    if (const auto property = managedPropertyForGetter(key))
        return property->kind == MustacheManagedProperty::Kind::Number
                || property->kind == MustacheManagedProperty::Kind::Other
            ? property->zero
            : QVariant();
    return valueForUndefinedMustacheKey(key);
}

const QVariant* MustacheContext::peekDictionaryValueForKey(const QString& key) const
{
    if (m_protectedContextObject.isValid() || m_protectedContextParent
        || m_hiddenContextObject.isValid() || m_hiddenContextParent)
        return nullptr;
    Walked walked;
    for (const MustacheContext* context = this; context; context = context->m_contextParent.get()) {
        ++walked.contexts;
        if (!context->m_managedPropertiesStore.isEmpty())
            return nullptr;
        const QVariant& object = context->m_contextObject;
        if (!object.isValid())
            continue;
        if (object.metaType().id() != QMetaType::QVariantMap)
            return nullptr;
        const QVariantMap& map = *static_cast<const QVariantMap*>(object.constData());
        const auto it = map.constFind(key);
        if (it != map.constEnd())
            return it->isValid() ? &*it : nullptr;
    }
    return nullptr;
}

QVariant MustacheContext::valueForUndefinedMustacheKey(const QString&) const
{
    return {};
}

QVariant MustacheContext::topMustacheObject() const
{
    Walked walked;
    for (const MustacheContext* context = this; context; context = context->m_contextParent.get()) {
        ++walked.contexts;
        if (context->m_contextObject.isValid())
            return context->m_contextObject;
    }
    return {};
}

bool MustacheContext::hasValueForMustacheExpression(
    QVariant* value, const QString& expression, platform::Error* error) const
{
    platform::Error parseError;
    bool empty = false;
    std::shared_ptr<MustacheExpression> parsed
        = MustacheExpressionParser().parseExpression(expression, &empty, &parseError);
    if (!parsed) {
        if (error)
            *error = parseError;
        return false;
    }
    bool isProtected = false;
    return parsed->hasValue(value, self(), &isProtected, error);
}

QVariant MustacheContext::valueForMustacheExpression(
    const QString& expression, platform::Error* error) const
{
    QVariant value;
    if (hasValueForMustacheExpression(&value, expression, error)) {
        if (error)
            *error = platform::Error();
        return value;
    }
    return {};
}

bool MustacheContext::hasTagDelegates() const
{
    // Asked for every tag rendered: the plain context class skips the cast.
    return m_tagDelegate || m_tagDelegateParent
        || (typeid(*this) != typeid(MustacheContext)
            && dynamic_cast<const MustacheTagDelegate*>(this));
}

std::vector<std::shared_ptr<MustacheTagDelegate>> MustacheContext::tagDelegateStack() const
{
    std::vector<std::shared_ptr<MustacheTagDelegate>> stack;
    Walked walked;
    for (const MustacheContext* context = this; context;
         context = context->m_tagDelegateParent.get()) {
        ++walked.contexts;
        if (context->m_tagDelegate)
            stack.push_back(context->m_tagDelegate);
    }
    if (dynamic_cast<const MustacheTagDelegate*>(this))
        stack.push_back(std::dynamic_pointer_cast<MustacheTagDelegate>(self()));
    std::reverse(stack.begin(), stack.end());
    return stack;
}

std::shared_ptr<MustacheTemplateComponent> MustacheContext::resolveTemplateComponent(
    const std::shared_ptr<MustacheTemplateComponent>& component) const
{
    std::shared_ptr<MustacheTemplateComponent> resolved = component;
    Walked walked;
    for (const MustacheContext* context = this; context;
         context = context->m_templateOverrideParent.get()) {
        ++walked.contexts;
        if (context->m_templateOverride)
            resolved = context->m_templateOverride->resolveTemplateComponent(resolved);
    }
    return resolved;
}

QHash<const MustacheContext*, int> MustacheContext::depthsForAncestors() const
{
    std::call_once(m_depthsOnce, [this] {
        QHash<const MustacheContext*, int> depths;
        depths.insert(this, 0);
        for (const MustacheContext* parent :
            { m_contextParent.get(), m_protectedContextParent.get(), m_hiddenContextParent.get(),
                m_tagDelegateParent.get(), m_templateOverrideParent.get() }) {
            if (!parent)
                continue;
            const QHash<const MustacheContext*, int> parentDepths = parent->depthsForAncestors();
            for (auto it = parentDepths.begin(); it != parentDepths.end(); ++it) {
                int& depth = depths[it.key()];
                depth = std::max(depth, it.value() + 1);
            }
        }
        m_depthsForAncestors = depths;
    });
    return m_depthsForAncestors;
}

std::vector<MustacheContextPtr> MustacheContext::ancestors() const
{
    const QHash<const MustacheContext*, int> depths = depthsForAncestors();
    std::vector<std::pair<int, const MustacheContext*>> sorted;
    for (auto it = depths.begin(); it != depths.end(); ++it)
        sorted.emplace_back(it.value(), it.key());
    std::stable_sort(sorted.begin(), sorted.end(),
        [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<MustacheContextPtr> result;
    for (const auto& entry : sorted)
        result.push_back(entry.second->self());
    return result;
}

QList<MustacheManagedProperty> MustacheContext::managedProperties() const
{
    return {};
}

std::optional<MustacheManagedProperty> MustacheContext::managedPropertyForGetter(
    const QString& key) const
{
    const QList<MustacheManagedProperty> properties = managedProperties();
    if (properties.isEmpty())
        return std::nullopt;
    QString alternative;
    if (key.size() > 2 && key.startsWith(QLatin1String("is")) && key.at(2).isUpper())
        alternative = key.at(2).toLower() + key.mid(3);
    else if (!key.isEmpty())
        alternative = QStringLiteral("is") + key.at(0).toUpper() + key.mid(1);
    for (const MustacheManagedProperty& property : properties) {
        const QString getter = property.getter.isEmpty() ? property.name : property.getter;
        if (getter == key || getter == alternative)
            return property;
    }
    return std::nullopt;
}

QVariant MustacheContext::valueForKey(const QString& key) const
{
    if (const auto property = managedPropertyForGetter(key))
        return valueForMustacheKey(property->name);
    return {};
}

void MustacheContext::setValue(const QVariant& value, const QString& key)
{
    const auto found = managedPropertyForGetter(key);
    if (!found || found->readOnly)
        return;
    const MustacheManagedProperty& property = *found;
    if (property.kind == MustacheManagedProperty::Kind::Number) {
        if (!value.isValid())
            throw platform::Exception(platform::Exception::InvalidArgument,
                QStringLiteral(
                    "[<%1> setNilValueForKey]: could not set nil as the value for the key %2.")
                    .arg(className(), key));
        if (!MustacheValue::isNumber(value))
            return;
    }
    m_managedPropertiesStore.insert(property.name, value);
}

QString MustacheContext::className() const
{
    return QStringLiteral("MustacheContext");
}

MustacheContextPtr MustacheContext::newInstance() const
{
    return std::make_shared<MustacheContext>();
}

bool MustacheContext::isSuperclassOf(const MustacheContext&) const
{
    return true;
}
