#include "utilities/data/RunTime.h"

#include "platform/Exception.h"

#include <QDateTime>
#include <QLocale>
#include <QMetaProperty>

#include <cmath>

namespace {

const QString kNumber = QStringLiteral("NSNumber");

bool isNumberValue(const QVariant& value)
{
    return RunTime::isNumericType(value.typeId()) || value.typeId() == QMetaType::Bool;
}

QStringList declaredNumberProperties(const QMetaObject* cls)
{
    QStringList names;
    for (int i = cls->classInfoOffset(); i < cls->classInfoCount(); ++i) {
        const QMetaClassInfo info = cls->classInfo(i);
        if (kNumber == QLatin1String(info.name()))
            for (const QString& name : QString::fromLatin1(info.value()).split(','))
                names << name.trimmed();
    }
    return names;
}

// The type part ("T@\"NSString\"", "TB", ...) of a property.
QString typePart(const QMetaObject* cls, const QMetaProperty& property)
{
    const int typeId = property.metaType().id();
    if (RunTime::isNumericType(typeId))
        return QStringLiteral("T@\"NSNumber\"");
    switch (typeId) {
    case QMetaType::Bool:
        return QStringLiteral("TB");
    case QMetaType::QString:
        return QStringLiteral("T@\"NSString\"");
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash:
        return QStringLiteral("T@\"NSDictionary\"");
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
        return QStringLiteral("T@\"NSArray\"");
    case QMetaType::QDateTime:
    case QMetaType::QDate:
        return QStringLiteral("T@\"NSDate\"");
    case QMetaType::QByteArray:
        return QStringLiteral("T@\"NSData\"");
    case QMetaType::QVariant:
        if (declaredNumberProperties(cls).contains(QString::fromLatin1(property.name())))
            return QStringLiteral("T@\"NSNumber\"");
        return QStringLiteral("T@");
    default:
        break;
    }
    if (property.metaType().flags() & QMetaType::PointerToQObject) {
        QString name = QString::fromLatin1(property.metaType().name());
        name.remove('*');
        return QStringLiteral("T@\"%1\"").arg(name.section("::", -1));
    }
    return QStringLiteral("T") + QString::fromLatin1(property.metaType().name());
}

QString typeNameFromPart(const QString& part)
{
    if (part.isEmpty())
        return QString();
    if (part == QLatin1String("T@"))
        return QStringLiteral("id");
    if (part.startsWith(QLatin1String("T@\"")))
        return part.mid(3, part.size() - 4);
    return part.mid(1);
}

QMetaProperty findProperty(const QMetaObject* cls, const QString& name)
{
    if (!cls)
        return {};
    const int index = cls->indexOfProperty(name.toLatin1().constData());
    return index >= 0 ? cls->property(index) : QMetaProperty();
}

bool holdsNothing(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return true;
    if (value.metaType().flags() & QMetaType::PointerToQObject)
        return value.value<QObject*>() == nullptr;
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString().isNull();
    case QMetaType::QByteArray:
        return value.toByteArray().isNull();
    case QMetaType::QDateTime:
        return value.toDateTime().isNull();
    default:
        return false;
    }
}

} // namespace

namespace RunTime {

bool isNumericType(int typeId)
{
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

QVariantMap propertiesOfClass(const QMetaObject* cls)
{
    QVariantMap table;
    if (!cls)
        return table;
    for (int i = cls->propertyOffset(); i < cls->propertyCount(); ++i) {
        const QMetaProperty property = cls->property(i);
        table.insert(
            QString::fromLatin1(property.name()), typeNameFromPart(typePart(cls, property)));
    }
    return table;
}

QVariantMap dictionaryFromClass(const QObject* object)
{
    QVariantMap dictionary;
    if (!object)
        return dictionary;
    const QMetaObject* cls = object->metaObject();
    for (int i = cls->propertyOffset(); i < cls->propertyCount(); ++i) {
        const QMetaProperty property = cls->property(i);
        const QVariant value = property.read(object);
        if (!holdsNothing(value))
            dictionary.insert(QString::fromLatin1(property.name()), value);
    }
    return dictionary;
}

std::unique_ptr<QObject> classFromDictionary(const QVariantMap& dictionary, const QMetaObject* cls)
{
    if (!cls)
        return nullptr;
    std::unique_ptr<QObject> object(cls->newInstance());
    if (!object)
        return nullptr;
    classFromDictionary(dictionary, cls, object.get());
    return object;
}

QVariant numberFromText(const QString& text)
{
    const QLocale locale;
    bool ok = false;
    const QString trimmed = text.trimmed();
    const qlonglong whole = locale.toLongLong(trimmed, &ok);
    if (ok)
        return whole;
    const double value = locale.toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return QVariant();
    return value;
}

QObject* classFromDictionary(const QVariantMap& dictionary, const QMetaObject* cls, QObject* object)
{
    if (!object)
        return object;
    const QVariantMap types = propertiesOfClass(cls);
    const QMetaObject* objectClass = object->metaObject();
    for (auto it = dictionary.begin(); it != dictionary.end(); ++it) {
        const QByteArray key = it.key().toLatin1();
        const int index = objectClass->indexOfProperty(key.constData());
        if (index < 0)
            continue;
        const QMetaProperty property = objectClass->property(index);
        if (!property.isWritable())
            continue;
        QVariant value = it.value();
        if (types.value(it.key()).toString() == kNumber) {
            if (isNumberValue(value))
                ; // used as it is
            else if (value.typeId() == QMetaType::QString)
                value = numberFromText(value.toString());
            else
                value = 0;
        }
        // An invalid value writes the property's empty state (null for QVariant, 0 for
        // numbers); a value of another kind is converted the way Qt converts it.
        property.write(object, value);
    }
    return object;
}

} // namespace RunTime

namespace Introspection {

bool hasProperties(const QMetaObject* cls)
{
    return cls && cls->propertyCount() > cls->propertyOffset();
}

bool hasPropertyNamed(const QMetaObject* cls, const QString& name)
{
    return findProperty(cls, name).isValid();
}

bool hasPropertyNamed(const QMetaObject* cls, const QString& name, const QString& wantedTypePart)
{
    const QMetaProperty property = findProperty(cls, name);
    if (!property.isValid())
        return false;
    const QString part = typePart(property.enclosingMetaObject(), property);
    return !part.isEmpty() && part == wantedTypePart;
}

bool hasPropertyForKVCKey(const QMetaObject* cls, const QString& key)
{
    return hasPropertyNamed(cls, key) || hasPropertyNamed(cls, propertyStyleString(key));
}

QString typeOfPropertyNamed(const QMetaObject* cls, const QString& name)
{
    const QMetaProperty property = findProperty(cls, name);
    if (!property.isValid())
        return QString();
    return typePart(property.enclosingMetaObject(), property);
}

QString getterForPropertyNamed(const QMetaObject* cls, const QString& name)
{
    const QMetaProperty property = findProperty(cls, name);
    if (!property.isValid())
        return QString();
    if (!property.isReadable())
        throw platform::Exception(platform::Exception::InternalInconsistency,
            QStringLiteral("%1 has property '%2' with no custom getter, but does not respond to "
                           "the default getter")
                .arg(QString::fromLatin1(cls->className()), name));
    return name;
}

QString setterForPropertyNamed(const QMetaObject* cls, const QString& name)
{
    const QMetaProperty property = findProperty(cls, name);
    if (!property.isValid())
        return QString();
    const QString setter = QStringLiteral("set") + name.left(1).toUpper() + name.mid(1) + ":";
    if (!property.isWritable())
        throw platform::Exception(platform::Exception::InternalInconsistency,
            QStringLiteral("%1 has property '%2' with no custom setter, but does not respond to "
                           "the default setter")
                .arg(QString::fromLatin1(cls->className()), setter));
    return setter;
}

QString retentionMethodOfPropertyNamed(const QMetaObject* cls, const QString& name)
{
    const QMetaProperty property = findProperty(cls, name);
    if (!property.isValid())
        return QString();
    // Texts, lists and maps are values in C++: they behave as copies. Object pointers
    // are held; everything else is a plain value.
    const QString part = typePart(property.enclosingMetaObject(), property);
    if (part == QLatin1String("T@\"NSString\"") || part == QLatin1String("T@\"NSArray\"")
        || part == QLatin1String("T@\"NSDictionary\""))
        return QStringLiteral("copy");
    if (part.startsWith(QLatin1String("T@")))
        return QStringLiteral("retain");
    return QStringLiteral("assign");
}

QStringList propertyNames(const QMetaObject* cls)
{
    QStringList names;
    if (!cls)
        return names;
    for (int i = cls->propertyOffset(); i < cls->propertyCount(); ++i)
        names << QString::fromLatin1(cls->property(i).name());
    return names;
}

QString propertyStyleString(const QString& text)
{
    if (text.isEmpty())
        return text;
    return text.left(1).toLower() + text.mid(1);
}

} // namespace Introspection
