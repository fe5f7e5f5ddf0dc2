#include "utilities/JSONConverter.h"

#include "utilities/RunTime.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

const QString JSONConverter::ErrorDomain = QStringLiteral("NSCocoaErrorDomain");

namespace {

std::optional<QJsonValue> toJsonValue(const QVariant& value);

std::optional<QJsonObject> toJsonObject(const QVariantMap& map)
{
    QJsonObject object;
    for (auto it = map.begin(); it != map.end(); ++it) {
        auto member = toJsonValue(it.value());
        if (!member)
            return std::nullopt;
        object.insert(it.key(), *member);
    }
    return object;
}

// Only what JSON can hold passes: texts, finite numbers, flags, null, and lists and
// maps of those.
std::optional<QJsonValue> toJsonValue(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QJsonValue(QJsonValue::Null);
    switch (value.typeId()) {
    case QMetaType::QString: return QJsonValue(value.toString());
    case QMetaType::Bool: return QJsonValue(value.toBool());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::UShort: return QJsonValue(value.toLongLong());
    case QMetaType::ULongLong:
    case QMetaType::ULong: return QJsonValue(double(value.toULongLong()));
    case QMetaType::Double:
    case QMetaType::Float: {
        const double number = value.toDouble();
        if (!std::isfinite(number))
            return std::nullopt;
        return QJsonValue(number);
    }
    case QMetaType::QVariantMap: {
        auto object = toJsonObject(value.toMap());
        if (!object)
            return std::nullopt;
        return QJsonValue(*object);
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        QJsonArray array;
        for (const QVariant& item : value.toList()) {
            auto element = toJsonValue(item);
            if (!element)
                return std::nullopt;
            array.append(*element);
        }
        return QJsonValue(array);
    }
    default:
        return std::nullopt;
    }
}

} // namespace

QByteArray JSONConverter::ToJSON(const QVariantMap& dictionary)
{
    const auto object = toJsonObject(dictionary);
    if (!object)
        return QByteArray();
    return QJsonDocument(*object).toJson(QJsonDocument::Indented);
}

QByteArray JSONConverter::ToJSON(const QObject* object)
{
    if (!object)
        return QByteArray();
    return ToJSON(RunTime::dictionaryFromClass(object));
}

std::optional<QVariantMap> JSONConverter::FromJSONDictionary(const QByteArray& data, platform::Error* error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    QString problem;
    if (parseError.error != QJsonParseError::NoError)
        problem = QStringLiteral("The data couldn\u2019t be read because it isn\u2019t in the correct format (%1 at offset %2).")
                      .arg(parseError.errorString())
                      .arg(parseError.offset);
    else if (!document.isObject())
        problem = QStringLiteral("The data couldn\u2019t be read because it is not a JSON object.");
    if (!problem.isEmpty()) {
        if (error)
            *error = platform::Error::withDescription(ErrorDomain, ErrorInvalidJSON, problem);
        return std::nullopt;
    }
    return document.object().toVariantMap();
}

std::unique_ptr<QObject> JSONConverter::FromJSON(const QByteArray& data, const QMetaObject* cls,
                                                 platform::Error* error)
{
    const auto dictionary = FromJSONDictionary(data, error);
    return FromDictionary(dictionary.value_or(QVariantMap()), cls);
}

std::unique_ptr<QObject> JSONConverter::FromDictionary(const QVariantMap& dictionary, const QMetaObject* cls)
{
    return RunTime::classFromDictionary(dictionary, cls);
}
