#pragma once

#include "platform/coredata/ManagedObject.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>

// Accessors of one stored attribute of an entity class (the Q_PROPERTY is declared
// beside it, for the object mapping).
#define KIVO_ATTRIBUTE(name, setter)                                                       \
    QVariant name() const { return value(QStringLiteral(#name)); }                         \
    void setter(const QVariant& newValue) { setValue(QStringLiteral(#name), newValue); }

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

    // A new id: a random UUID in upper-case 8-4-4-4-12 form.
    static QString newId();
    // The current Unix time, with fractions.
    static double now();
    // A stored number read as a 32-bit integer (0 when unset).
    static int intValue(const QVariant& value);
};
