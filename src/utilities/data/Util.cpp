#include "utilities/data/Util.h"

#include "utilities/data/RunTime.h"

#include <QMetaProperty>

#include <cmath>

namespace {

bool holdsText(const QVariant& value)
{
    return value.typeId() == QMetaType::QString && !value.toString().isNull();
}

void collectTexts(const QObject* object, const QMetaObject* cls, QVariantMap& into)
{
    for (int i = cls->propertyOffset(); i < cls->propertyCount(); ++i) {
        const QMetaProperty property = cls->property(i);
        const QString name = QString::fromLatin1(property.name());
        if (name == QLatin1String("uid"))
            continue;
        const QVariant value = property.read(object);
        if (holdsText(value))
            into.insert(name, value);
    }
}

bool isNumber(const QVariant& value)
{
    return RunTime::isNumericType(value.typeId());
}

} // namespace

void Util::initObjectWithEmptyString(QObject* object)
{
    if (!object)
        return;
    const QMetaObject* cls = object->metaObject();
    for (int i = cls->propertyOffset(); i < cls->propertyCount(); ++i) {
        const QMetaProperty property = cls->property(i);
        if (property.isWritable() && holdsText(property.read(object)))
            property.write(object, QString(""));
    }
}

QVariantMap Util::ObjectToDictionary(const QObject* object)
{
    QVariantMap dictionary;
    if (!object)
        return dictionary;
    const QMetaObject* cls = object->metaObject();
    collectTexts(object, cls, dictionary);
    if (const QMetaObject* super = cls->superClass())
        collectTexts(object, super, dictionary);
    return dictionary;
}

void Util::DictionaryToObject(const QVariantMap& dictionary, QObject* object)
{
    if (!object)
        return;
    for (auto it = dictionary.begin(); it != dictionary.end(); ++it) {
        const QByteArray key = it.key().toLatin1();
        const QVariant current = object->property(key.constData());
        if (current.typeId() == QMetaType::QString) {
            object->setProperty(key.constData(), it.value().toString());
        } else if (isNumber(current)) {
            // A value that is a number already is taken as it is: its text form is not
            // decimal text of the user's locale.
            const QVariant value = it.value();
            object->setProperty(key.constData(),
                isNumber(value) ? value : RunTime::numberFromText(value.toString()));
        }
    }
}

QString Util::append(std::initializer_list<QString> texts)
{
    QString result;
    for (const QString& text : texts) {
        if (text.isNull())
            break;
        result += text;
    }
    return result;
}

QString Util::GetClassName(const QObject* object)
{
    return object ? QString::fromLatin1(object->metaObject()->className()) : QString();
}

float Util::Round(float value, int fraction)
{
    if (!std::isfinite(value) || fraction < 0)
        return value;
    // Cut the decimal text of the value, as a formatter rounding down would show it.
    const QString text = QString::number(double(value), 'f', 17);
    const qsizetype dot = text.indexOf('.');
    const QString cut = dot < 0 ? text : text.left(fraction == 0 ? dot : dot + 1 + fraction);
    return cut.toFloat();
}
