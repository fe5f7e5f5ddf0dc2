#pragma once

#include "platform/Error.h"
#include "reports/mustache/MustacheManagedProperty.h"
#include "reports/mustache/MustacheObject.h"

#include <QHash>
#include <QList>
#include <QVariant>
#include <QVariantMap>

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class MustacheTagDelegate;
class MustacheTemplateComponent;
class MustacheTemplateOverride;
class MustacheContext;
using MustacheContextPtr = std::shared_ptr<MustacheContext>;

// The immutable stack a rendering walks: every extension makes a new context linked to
// the old one. Beside the ordinary stack it keeps protected objects (looked up first),
// hidden objects (skipped), tag delegates and template overrides.
//
// Subclasses declare managed properties (managedProperties) and override newInstance and
// isSuperclassOf (MUSTACHE_CONTEXT_SUBCLASS does both).
class MustacheContext : public virtual MustacheObject {
public:
    MustacheContext();
    ~MustacheContext() override;

    static MustacheContextPtr context();
    static MustacheContextPtr contextWithObject(const QVariant& object);
    static MustacheContextPtr contextWithProtectedObject(const QVariant& object);
    static MustacheContextPtr contextWithTagDelegate(
        const std::shared_ptr<MustacheTagDelegate>& delegate);

    MustacheContextPtr contextByAddingObject(const QVariant& object) const;
    MustacheContextPtr contextByAddingProtectedObject(const QVariant& object) const;
    MustacheContextPtr contextByAddingHiddenObject(const QVariant& object) const;
    MustacheContextPtr contextByAddingTagDelegate(
        const std::shared_ptr<MustacheTagDelegate>& delegate) const;
    MustacheContextPtr contextByAddingTemplateOverride(
        const std::shared_ptr<const MustacheTemplateOverride>& templateOverride) const;
    // A context of the parent's class one level deeper with the object on top; a context
    // object is replayed on top of the parent; nil gives the parent itself.
    static MustacheContextPtr newContextWithParent(
        const MustacheContextPtr& parent, const QVariant& object);

    QVariant valueForMustacheKey(const QString& key, bool* isProtected = nullptr) const;
    virtual QVariant valueForUndefinedMustacheKey(const QString& key) const;
    // The value a plain lookup finds in a dictionary of the ordinary stack, without copying
    // it; null whenever the lookup needs more (protected or hidden objects, managed
    // properties, other kinds of objects on the way, or nothing found).
    const QVariant* peekDictionaryValueForKey(const QString& key) const;
    QVariant topMustacheObject() const;
    bool hasValueForMustacheExpression(
        QVariant* value, const QString& expression, platform::Error* error) const;
    QVariant valueForMustacheExpression(const QString& expression, platform::Error* error) const;
    // Outermost first; empty when there is none.
    std::vector<std::shared_ptr<MustacheTagDelegate>> tagDelegateStack() const;
    bool hasTagDelegates() const;
    bool hasTemplateOverrides() const { return m_templateOverride != nullptr; }
    std::shared_ptr<MustacheTemplateComponent> resolveTemplateComponent(
        const std::shared_ptr<MustacheTemplateComponent>& component) const;

    QHash<const MustacheContext*, int> depthsForAncestors() const;
    // Every ancestor through the five stacks, deepest first, the receiver last.
    std::vector<MustacheContextPtr> ancestors() const;

    // Managed properties, for subclasses.
    virtual QList<MustacheManagedProperty> managedProperties() const;
    QVariant valueForKey(const QString& key) const;
    void setValue(const QVariant& value, const QString& key);
    virtual QString className() const;

protected:
    virtual MustacheContextPtr newInstance() const;
    // Whether the candidate is of this context's class or a subclass of it.
    virtual bool isSuperclassOf(const MustacheContext& candidate) const;

private:
    MustacheContextPtr copyWithParent(const MustacheContextPtr& parent) const;
    MustacheContextPtr self() const;
    std::optional<MustacheManagedProperty> managedPropertyForGetter(const QString& key) const;
    // Counts the hidden contexts it walks into `walked`.
    bool isHidden(const QVariant& object, qint64& walked) const;

    MustacheContextPtr m_contextParent;
    QVariant m_contextObject;
    QVariantMap m_managedPropertiesStore;
    MustacheContextPtr m_protectedContextParent;
    QVariant m_protectedContextObject;
    MustacheContextPtr m_hiddenContextParent;
    QVariant m_hiddenContextObject;
    MustacheContextPtr m_tagDelegateParent;
    std::shared_ptr<MustacheTagDelegate> m_tagDelegate;
    MustacheContextPtr m_templateOverrideParent;
    std::shared_ptr<const MustacheTemplateOverride> m_templateOverride;
    mutable std::once_flag m_depthsOnce;
    mutable QHash<const MustacheContext*, int> m_depthsForAncestors;
};

#define MUSTACHE_CONTEXT_SUBCLASS(Class)                                                           \
public:                                                                                            \
    QString className() const override                                                             \
    {                                                                                              \
        return QStringLiteral(#Class);                                                             \
    }                                                                                              \
                                                                                                   \
protected:                                                                                         \
    MustacheContextPtr newInstance() const override                                                \
    {                                                                                              \
        return std::make_shared<Class>();                                                          \
    }                                                                                              \
    bool isSuperclassOf(const MustacheContext& candidate) const override                           \
    {                                                                                              \
        return dynamic_cast<const Class*>(&candidate) != nullptr;                                  \
    }                                                                                              \
                                                                                                   \
private:
