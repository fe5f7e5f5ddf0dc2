#pragma once

#include "platform/coredata/ManagedObject.h"
#include "utilities/store/KivoLibContext.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>

// Accessors of one stored attribute of an entity class (the Q_PROPERTY is declared
// beside it, for the object mapping). The attribute's position is looked up once per
// entity description rather than by name at every call: rows are decoded by the
// hundred thousand.
#define KIVO_ATTRIBUTE(name, setter)                                                               \
    QVariant name() const                                                                          \
    {                                                                                              \
        static ModelRegistry::AttributeIndex index;                                                \
        const int at = index.of(*this, QStringLiteral(#name));                                     \
        return at >= 0 ? value(at) : value(QStringLiteral(#name));                                 \
    }                                                                                              \
    void setter(const QVariant& newValue)                                                          \
    {                                                                                              \
        static ModelRegistry::AttributeIndex index;                                                \
        const int at = index.of(*this, QStringLiteral(#name));                                     \
        if (at >= 0)                                                                               \
            setValue(at, newValue);                                                                \
        else                                                                                       \
            setValue(QStringLiteral(#name), newValue);                                             \
    }

// The model's entity classes made known to the store, and small helpers they share.
class ModelRegistry {
public:
    ModelRegistry() = delete;

    // Makes the store give back objects of Database, UserTemplate, Template,
    // TemplateColumn and Rows. Call once before the first fetch (the application's
    // delegate does where it loads the model); later calls do nothing. The entity
    // classes' own fetches call it too.
    static void registerClasses();

    // The objects as instances of T; objects of another class are left out.
    template<class T>
    static QList<T*> cast(const QList<platform::coredata::ManagedObject*>& objects)
    {
        QList<T*> result;
        result.reserve(objects.size());
        for (auto* object : objects) {
            if (auto* typed = qobject_cast<T*>(object))
                result.append(typed);
        }
        return result;
    }

    // The named fetch of the current context (KivoLib::executchFetchRequest) as objects of
    // T, with the entity classes made known first.
    template<class T> static QList<T*> fetch(const QString& name)
    {
        registerClasses();
        return cast<T>(KivoLib::executchFetchRequest(name));
    }
    template<class T>
    static QList<T*> fetch(const QString& name, const QVariantMap& substitutionVariables)
    {
        registerClasses();
        return cast<T>(KivoLib::executchFetchRequest(name, substitutionVariables));
    }
    template<class T>
    static QList<T*> fetch(const QString& name,
        const std::optional<QVariantMap>& substitutionVariables,
        const std::optional<QList<platform::coredata::SortDescriptor>>& sortDescriptors,
        quint64 fetchLimit)
    {
        registerClasses();
        return cast<T>(KivoLib::executchFetchRequest(
            name, substitutionVariables, sortDescriptors, fetchLimit));
    }

    // A new id: a random UUID in upper-case 8-4-4-4-12 form.
    static QString newId();
    // The current Unix time, with fractions.
    static double now();
    // A stored number read as a 32-bit integer (0 when unset).
    static int intValue(const QVariant& value);
    // Stamps `mtimestamp` with the current time and commits the whole context (inserting
    // the object when new); with `checkFirst`, returns false and changes nothing when
    // synchronisation changed or deleted the object underneath.
    [[nodiscard]] static bool saveStamped(
        platform::coredata::ManagedObject* object, bool checkFirst = true);

    // The position of one attribute, remembered for the last entity description asked
    // about (models are loaded once; tests that load several just look it up again).
    // Used on the main thread, as the context is.
    class AttributeIndex {
    public:
        int of(const platform::coredata::ManagedObject& object, const QString& name)
        {
            const platform::coredata::EntityDescription* entity = &object.entity();
            if (entity != m_entity) {
                m_index = entity->indexOfAttribute(name);
                m_entity = m_index >= 0 ? entity : nullptr;
            }
            // -1 for an unknown name; the caller then goes by name, which raises.
            return m_index;
        }

    private:
        const platform::coredata::EntityDescription* m_entity = nullptr;
        int m_index = -1;
    };
};
