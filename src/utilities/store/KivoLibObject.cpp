#include "utilities/store/KivoLibObject.h"

#include "platform/Exception.h"
#include "platform/coredata/ManagedObject.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/ManagedObjectModel.h"
#include "utilities/shell/DebugHelper.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/store/JSONRecordWriter.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/text/LocalizedStrings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace KivoLib {

const QString ManageObjectNameKey = QStringLiteral("ManageObjectName");

namespace {

bool isNullValue(const QVariant& value)
{
    return !value.isValid() || value.isNull();
}

} // namespace

bool Save(ManagedObject* object)
{
    if (object && !object->managedObjectContext())
        insertEntity(object);
    return commit();
}

bool Delete(ManagedObject* object)
{
    if (ManagedObjectContext* context = currentContext())
        context->deleteObject(object);
    return commit();
}

bool DeleteObjects(const QList<ManagedObject*>& objects)
{
    if (ManagedObjectContext* context = currentContext()) {
        for (ManagedObject* object : objects)
            context->deleteObject(object);
    }
    return commit();
}

bool deleteEntity(const QString& entityName)
{
    FetchRequest request(entityName);
    request.setIncludesPropertyValues(false);
    return DeleteObjects(executeWithErrorHandling(currentContext(), request));
}

bool isDataOK(ManagedObject* object)
{
    // A fault of a batched fetch that was never touched reads its values first: only an
    // object whose row is gone stays a fault.
    if (object)
        object->willAccessValueForKey();
    if (object && !object->isFault())
        return true;
    MessageHelper::ShowMessage(LocalizedStrings::DataHasChanged(), false);
    return false;
}

QVariantMap toDictionary(const ManagedObject* object)
{
    QVariantMap dictionary;
    if (!object)
        return dictionary;
    const auto values = object->values();
    const auto& attributes = object->entity().attributes();
    for (int i = 0; i < attributes.size(); ++i) {
        const QVariant& value = values.value(i);
        dictionary.insert(
            attributes[i].name, isNullValue(value) ? QVariant::fromValue(nullptr) : value);
    }
    dictionary.insert(ManageObjectNameKey, object->entity().name());
    return dictionary;
}

QVariantList arrayFormManagedObjects(const QList<ManagedObject*>& objects)
{
    QVariantList list;
    list.reserve(objects.size());
    for (const ManagedObject* object : objects)
        list << toDictionary(object);
    return list;
}

QByteArray toJSON(const QList<ManagedObject*>& objects)
{
    return JSONRecordWriter::write(objects);
}

ManagedObject* fromDictionary(const QVariantMap& dictionary)
{
    ManagedObject* object = addEntity(dictionary.value(ManageObjectNameKey).toString());
    if (!object)
        return nullptr;
    for (const auto& attribute : object->entity().attributes()) {
        const auto it = dictionary.constFind(attribute.name);
        if (it != dictionary.cend() && !isNullValue(*it))
            object->setValue(attribute.name, *it);
    }
    return object;
}

QList<ManagedObject*> fromJSON(const QByteArray& data)
{
    ManagedObjectContext* context = currentContext();
    const auto model = currentModel();
    const QJsonDocument document = QJsonDocument::fromJson(data);
    if (!context || !model || !document.isArray())
        return {};
    // Refuse the whole file before anything of it enters the context.
    const QJsonArray array = document.array();
    for (const QJsonValue& element : array) {
        if (!element.isObject()
            || !model->entity(element.toObject().value(ManageObjectNameKey).toString()))
            return {};
    }
    QList<ManagedObject*> objects;
    auto takeBack = [&] {
        for (ManagedObject* object : std::as_const(objects))
            context->deleteObject(object);
    };
    try {
        for (const QJsonValue& element : array) {
            ManagedObject* object = fromDictionary(element.toObject().toVariantMap());
            insertEntity(object);
            objects.append(object);
        }
    } catch (const platform::Exception& exception) {
        // A value of the wrong kind: none of the file's objects may be saved later.
        takeBack();
        DebugHelper::singleton().logException(exception, false);
        return {};
    }
    if (!commit()) {
        takeBack();
        return {};
    }
    return objects;
}

} // namespace KivoLib

bool isSubclass(const QMetaObject* cls, const QMetaObject* base)
{
    for (const QMetaObject* current = cls; current; current = current->superClass()) {
        if (current == base)
            return true;
    }
    return false;
}
