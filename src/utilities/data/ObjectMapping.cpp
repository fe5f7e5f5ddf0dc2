#include "utilities/data/ObjectMapping.h"

#include "utilities/data/JSONConverter.h"

namespace ObjectMapping {

QByteArray ToJSON(const QObject& receiver)
{
    return JSONConverter::ToJSON(&receiver);
}

QByteArray ToJSON(const QVariantMap& receiver)
{
    return JSONConverter::ToJSON(receiver);
}

std::unique_ptr<QObject> FromJSON(
    const QObject& receiver, const QByteArray& data, platform::Error* error)
{
    return JSONConverter::FromJSON(data, receiver.metaObject(), error);
}

std::optional<QVariantMap> FromJSON(
    const QVariantMap&, const QByteArray& data, platform::Error* error)
{
    return JSONConverter::FromJSONDictionary(data, error);
}

std::unique_ptr<QObject> FromDictionary(const QObject& receiver, const QVariantMap& dictionary)
{
    return JSONConverter::FromDictionary(dictionary, receiver.metaObject());
}

QVariantMap FromDictionary(const QVariantMap&, const QVariantMap& dictionary)
{
    return dictionary;
}

} // namespace ObjectMapping
