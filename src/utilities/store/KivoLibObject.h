#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

namespace platform::coredata {
class ManagedObject;
}

// Store operations of a managed object: saving and deleting through one commit of the
// current context, the liveness check, and the JSON record form: one JSON object per
// object with a member per attribute (unset as null) and "ManageObjectName" naming the
// entity; an entity file is a pretty-printed array of them.
namespace KivoLib {

using platform::coredata::ManagedObject;

extern const QString ManageObjectNameKey; // "ManageObjectName"

// Inserts the object into the current context when it is in none, then commits.
[[nodiscard]] bool Save(ManagedObject* object);
[[nodiscard]] bool Delete(ManagedObject* object);
// Deletes each in order, then commits once (also for none).
[[nodiscard]] bool DeleteObjects(const QList<ManagedObject*>& objects);
// Deletes every object of the entity, then commits once.
[[nodiscard]] bool deleteEntity(const QString& entityName);
// False, after telling the user, when synchronisation has changed or deleted the object.
[[nodiscard]] bool isDataOK(ManagedObject* object);

QVariantMap toDictionary(const ManagedObject* object);
QVariantList arrayFormManagedObjects(const QList<ManagedObject*>& objects);
// Pretty-printed UTF-8 JSON of the records; a null QByteArray when a value has no JSON form.
[[nodiscard]] QByteArray toJSON(const QList<ManagedObject*>& objects);
// A new, uninserted object of the entity the record names, with the record's non-null
// attribute members set; other members are ignored. Null for a record naming no entity.
[[nodiscard]] ManagedObject* fromDictionary(const QVariantMap& dictionary);
// Restores an entity file: every record becomes an object inserted into the current
// context, then one commit. Input that is not an array of records is refused whole.
// When the commit fails nothing of it stays in the context. Empty on any failure.
[[nodiscard]] QList<ManagedObject*> fromJSON(const QByteArray& data);

} // namespace KivoLib

// Whether the class is the base class or derives from it. False for a null class.
bool isSubclass(const QMetaObject* cls, const QMetaObject* base);
