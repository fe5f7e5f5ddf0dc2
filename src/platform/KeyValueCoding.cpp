#include "platform/KeyValueCoding.h"

#include "platform/Exception.h"
#include "platform/MutableDictionary.h"
#include "platform/NumberType.h"

#include <QDate>
#include <QDateTime>
#include <QMetaProperty>
#include <QPointer>
#include <QTime>

#include <cmath>
#include <limits>

namespace platform {

const QString KeyValueCoding::UnknownKeyException = QStringLiteral("NSUnknownKeyException");

namespace {

QString objectName(const QObject* object)
{
    return QStringLiteral("<%1 0x%2>")
        .arg(QString::fromLatin1(object->metaObject()->className()))
        .arg(quintptr(object), 0, 16);
}

Exception undefinedKey(const QObject* object, const char* selector, const QString& key)
{
    return Exception(KeyValueCoding::UnknownKeyException,
        QStringLiteral("[%1 %2]: this class is not key value coding-compliant for the key %3.")
            .arg(objectName(object), QString::fromLatin1(selector), key),
        { { QStringLiteral("NSUnknownUserInfoKey"), key } });
}

Exception notWritable(const QVariant& object, const QString& key)
{
    return Exception(KeyValueCoding::UnknownKeyException,
        QStringLiteral("[%1 setValue:forUndefinedKey:]: this class is not key value "
                       "coding-compliant for the key %2.")
            .arg(KeyValueCoding::description(object), key),
        { { QStringLiteral("NSUnknownUserInfoKey"), key } });
}

bool isScalar(const QMetaProperty& property)
{
    return property.isEnumType() || isNumberType(property.metaType());
}

bool isFloatingPoint(const QMetaType& type)
{
    return type.id() == QMetaType::Double || type.id() == QMetaType::Float;
}

// Text read as a number the way the platform's strings answer intValue, doubleValue and
// boolValue: leading white space, then the longest number at the start; no number is 0.
QString leadingNumber(const QString& text, bool fraction)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    const qsizetype digitsStart = i;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9')
        ++i;
    bool any = i > digitsStart;
    if (fraction) {
        if (i < text.size() && text[i] == u'.') {
            qsizetype j = i + 1;
            while (j < text.size() && text[j] >= u'0' && text[j] <= u'9')
                ++j;
            if (j > i + 1 || any) {
                any = any || j > i + 1;
                i = j;
            }
        }
        if (any && i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
            qsizetype j = i + 1;
            if (j < text.size() && (text[j] == u'+' || text[j] == u'-'))
                ++j;
            const qsizetype exponentStart = j;
            while (j < text.size() && text[j] >= u'0' && text[j] <= u'9')
                ++j;
            if (j > exponentStart)
                i = j;
        }
    }
    return any ? text.mid(start, i - start) : QString();
}

bool textAsFlag(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    while (i < text.size() && text[i] == u'0')
        ++i;
    if (i >= text.size())
        return false;
    const QChar c = text[i];
    return c == u'Y' || c == u'y' || c == u'T' || c == u't' || (c >= u'1' && c <= u'9');
}

qlonglong truncated(double number)
{
    if (std::isnan(number))
        return 0;
    if (number >= 9.2233720368547758e18)
        return std::numeric_limits<qlonglong>::max();
    if (number <= -9.2233720368547758e18)
        return std::numeric_limits<qlonglong>::min();
    return qlonglong(std::trunc(number));
}

// The value as the scalar property's type; nullopt when it is no number, flag or text.
std::optional<QVariant> scalarValue(const QVariant& value, const QMetaProperty& property)
{
    const QMetaType type = property.metaType();
    QVariant number;
    if (value.metaType().id() == QMetaType::QString) {
        const QString text = value.toString();
        if (type.id() == QMetaType::Bool)
            return QVariant(textAsFlag(text));
        const QString lead = leadingNumber(text, isFloatingPoint(type));
        if (isFloatingPoint(type))
            number = QVariant(lead.isEmpty() ? 0.0 : lead.toDouble());
        else
            number = QVariant(lead.isEmpty() ? qlonglong(0) : truncated(lead.toDouble()));
    } else if (isNumber(value)) {
        if (type.id() == QMetaType::Bool)
            return QVariant(value.toDouble() != 0.0);
        if (isFloatingPoint(type))
            number = QVariant(value.toDouble());
        else if (value.metaType().id() == QMetaType::Double
            || value.metaType().id() == QMetaType::Float)
            number = QVariant(truncated(value.toDouble()));
        else if (value.metaType().id() == QMetaType::ULongLong
            || value.metaType().id() == QMetaType::ULong)
            number = QVariant(value.toULongLong());
        else
            number = QVariant(value.toLongLong());
    } else {
        return std::nullopt;
    }
    if (property.isEnumType())
        return QVariant(int(number.toLongLong()));
    if (!number.convert(type))
        return std::nullopt;
    return number;
}

QVariant normalised(const QVariant& value)
{
    return KeyValueCoding::isNil(value) ? QVariant() : value;
}

QVariant readProperty(QObject* object, const QString& key)
{
    const QMetaObject* meta = object->metaObject();
    const int index = meta->indexOfProperty(key.toUtf8().constData());
    if (index < 0 || !meta->property(index).isReadable()) {
        if (auto* hooks = dynamic_cast<KeyValueCoding*>(object))
            return hooks->valueForUndefinedKey(key);
        throw undefinedKey(object, "valueForUndefinedKey:", key);
    }
    return normalised(meta->property(index).read(object));
}

void writeProperty(QObject* object, const QVariant& given, const QString& key)
{
    const QMetaObject* meta = object->metaObject();
    const int index = meta->indexOfProperty(key.toUtf8().constData());
    auto* hooks = dynamic_cast<KeyValueCoding*>(object);
    if (index < 0 || !meta->property(index).isWritable()) {
        if (hooks)
            hooks->setValueForUndefinedKey(given, key);
        else
            throw undefinedKey(object, "setValue:forUndefinedKey:", key);
        return;
    }
    const QMetaProperty property = meta->property(index);
    const QMetaType type = property.metaType();
    QVariant value = given;
    if (type.id() == QMetaType::QVariant) {
        // Stored as it comes, null object included: the owner decides what it means.
        if (!property.write(object, value))
            throw Exception(Exception::InvalidArgument,
                QStringLiteral("Couldn't set the key %1 of %2").arg(key, objectName(object)));
        return;
    }
    if (KeyValueCoding::isNil(value) || KeyValueCoding::isNullObject(value)) {
        if (isScalar(property)) {
            if (hooks)
                hooks->setNilValueForKey(key);
            else
                throw Exception(Exception::InvalidArgument,
                    QStringLiteral("[%1 setNilValueForKey]: could not set nil as the value for "
                                   "the key %2.")
                        .arg(objectName(object), key));
            return;
        }
        value = QVariant(type); // the type's empty value: null text, invalid date, null pointer
    } else if (isScalar(property)) {
        const std::optional<QVariant> scalar = scalarValue(value, property);
        if (!scalar)
            throw Exception(Exception::InvalidArgument,
                QStringLiteral("A value of type %1 can't be set for the key %2 of %3")
                    .arg(QString::fromLatin1(value.typeName()), key, objectName(object)));
        value = *scalar;
    } else if (value.metaType() != type) {
        if (!value.canConvert(type) || !value.convert(type))
            throw Exception(Exception::InvalidArgument,
                QStringLiteral("A value of type %1 can't be set for the key %2 of %3")
                    .arg(QString::fromLatin1(given.typeName()), key, objectName(object)));
    }
    if (!property.write(object, value))
        throw Exception(Exception::InvalidArgument,
            QStringLiteral("Couldn't set the key %1 of %2").arg(key, objectName(object)));
}

} // namespace

KeyValueCoding::~KeyValueCoding() = default;

QVariant KeyValueCoding::valueForUndefinedKey(const QString& key)
{
    throw undefinedKey(dynamic_cast<const QObject*>(this), "valueForUndefinedKey:", key);
}

void KeyValueCoding::setValueForUndefinedKey(const QVariant&, const QString& key)
{
    throw undefinedKey(dynamic_cast<const QObject*>(this), "setValue:forUndefinedKey:", key);
}

void KeyValueCoding::setNilValueForKey(const QString& key)
{
    const auto* object = dynamic_cast<const QObject*>(this);
    throw Exception(Exception::InvalidArgument,
        QStringLiteral("[%1 setNilValueForKey]: could not set nil as the value for the key %2.")
            .arg(object ? objectName(object) : QStringLiteral("<object>"), key));
}

QVariant KeyValueCoding::valueForKey(const QVariant& object, const QString& key)
{
    if (isNil(object) || isNullObject(object))
        return {};
    if (QObject* target = objectOf(object))
        return readProperty(target, key);
    if (object.metaType() == QMetaType::fromType<MutableDictionary>())
        return normalised(object.value<MutableDictionary>().value(key));
    if (object.metaType().id() == QMetaType::QVariantMap)
        return normalised(object.toMap().value(key));
    throw Exception(UnknownKeyException,
        QStringLiteral("[%1 valueForUndefinedKey:]: this class is not key value coding-compliant "
                       "for the key %2.")
            .arg(description(object), key),
        { { QStringLiteral("NSUnknownUserInfoKey"), key } });
}

QVariant KeyValueCoding::valueForKeyPath(const QVariant& object, const QString& keyPath)
{
    QVariant current = object;
    for (const QString& key : keyPath.split(u'.')) {
        current = valueForKey(current, key);
        if (isNil(current))
            return {};
    }
    return current;
}

void KeyValueCoding::setValueForKey(
    const QVariant& object, const QVariant& value, const QString& key)
{
    if (isNil(object) || isNullObject(object))
        return;
    if (QObject* target = objectOf(object)) {
        writeProperty(target, value, key);
        return;
    }
    if (object.metaType() == QMetaType::fromType<MutableDictionary>()) {
        object.value<MutableDictionary>().setValue(key, isNil(value) ? QVariant() : value);
        return;
    }
    throw notWritable(object, key);
}

void KeyValueCoding::setValueForKeyPath(
    const QVariant& object, const QVariant& value, const QString& keyPath)
{
    const qsizetype dot = keyPath.lastIndexOf(u'.');
    if (dot < 0) {
        setValueForKey(object, value, keyPath);
        return;
    }
    setValueForKey(valueForKeyPath(object, keyPath.left(dot)), value, keyPath.mid(dot + 1));
}

QVariant KeyValueCoding::valueForKey(QObject* object, const QString& key)
{
    return valueForKey(wrap(object), key);
}

QVariant KeyValueCoding::valueForKeyPath(QObject* object, const QString& keyPath)
{
    return valueForKeyPath(wrap(object), keyPath);
}

void KeyValueCoding::setValueForKey(QObject* object, const QVariant& value, const QString& key)
{
    setValueForKey(wrap(object), value, key);
}

void KeyValueCoding::setValueForKeyPath(
    QObject* object, const QVariant& value, const QString& keyPath)
{
    setValueForKeyPath(wrap(object), value, keyPath);
}

QVariant KeyValueCoding::wrap(QObject* object)
{
    return object ? QVariant::fromValue(object) : QVariant();
}

QObject* KeyValueCoding::objectOf(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<QPointer<QObject>>())
        return static_cast<const QPointer<QObject>*>(value.constData())->data();
    if (!value.isValid() || !(value.metaType().flags() & QMetaType::PointerToQObject))
        return nullptr;
    return *static_cast<QObject* const*>(value.constData());
}

bool KeyValueCoding::isNil(const QVariant& value)
{
    if (!value.isValid())
        return true;
    switch (value.metaType().id()) {
    case QMetaType::QString:
        return static_cast<const QString*>(value.constData())->isNull();
    case QMetaType::QByteArray:
        return static_cast<const QByteArray*>(value.constData())->isNull();
    case QMetaType::QDateTime:
        return !static_cast<const QDateTime*>(value.constData())->isValid();
    case QMetaType::QDate:
        return !static_cast<const QDate*>(value.constData())->isValid();
    case QMetaType::QTime:
        return !static_cast<const QTime*>(value.constData())->isValid();
    default:
        break;
    }
    if (value.metaType().flags() & QMetaType::PointerToQObject
        || value.metaType() == QMetaType::fromType<QPointer<QObject>>())
        return objectOf(value) == nullptr;
    return false;
}

bool KeyValueCoding::isNullObject(const QVariant& value)
{
    return value.metaType().id() == QMetaType::Nullptr;
}

QVariant KeyValueCoding::nullObject()
{
    return QVariant::fromValue(nullptr);
}

QString KeyValueCoding::description(const QVariant& object)
{
    if (isNil(object))
        return QStringLiteral("(null)");
    if (isNullObject(object))
        return QStringLiteral("<null>");
    if (QObject* target = objectOf(object))
        return objectName(target);
    QVariantMap map;
    if (object.metaType() == QMetaType::fromType<MutableDictionary>())
        map = object.value<MutableDictionary>().toMap();
    else if (object.metaType().id() == QMetaType::QVariantMap)
        map = object.toMap();
    else
        return object.toString();
    QString text = QStringLiteral("{");
    for (auto it = map.constBegin(); it != map.constEnd(); ++it)
        text += QStringLiteral(" %1 = %2;").arg(it.key(), description(it.value()));
    return text + QStringLiteral(" }");
}

} // namespace platform
