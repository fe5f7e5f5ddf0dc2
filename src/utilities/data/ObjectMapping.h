#pragma once

#include "platform/Error.h"

#include <QByteArray>
#include <QObject>
#include <QVariantMap>

#include <memory>
#include <optional>
#include <type_traits>

// The mapping helpers every object answers: JSON of the receiver, and new objects of the
// receiver's own class from JSON or a dictionary. The receiver itself is never changed.
namespace ObjectMapping {

// JSONConverter::ToJSON of the receiver: its declared properties, or the dictionary itself.
[[nodiscard]] QByteArray ToJSON(const QObject& receiver);
[[nodiscard]] QByteArray ToJSON(const QVariantMap& receiver);

// A new object of the receiver's class filled from the JSON (JSONConverter::FromJSON).
// Unparsable data gives a fresh empty object and sets `error` when given; null when the
// class cannot be made.
[[nodiscard]] std::unique_ptr<QObject> FromJSON(
    const QObject& receiver, const QByteArray& data, platform::Error* error = nullptr);
// A dictionary receiver gives the parsed dictionary itself; nothing for unparsable data.
[[nodiscard]] std::optional<QVariantMap> FromJSON(
    const QVariantMap& receiver, const QByteArray& data, platform::Error* error = nullptr);

// A new object of the receiver's class filled from the dictionary; null when the class
// cannot be made.
[[nodiscard]] std::unique_ptr<QObject> FromDictionary(
    const QObject& receiver, const QVariantMap& dictionary);
// A dictionary receiver gives the very dictionary passed.
[[nodiscard]] QVariantMap FromDictionary(
    const QVariantMap& receiver, const QVariantMap& dictionary);

// The typed forms, for a receiver known to be at least a T (its class may derive from T).
template<class T>
[[nodiscard]] std::unique_ptr<T> FromJSON(
    const T& receiver, const QByteArray& data, platform::Error* error = nullptr)
{
    static_assert(std::is_base_of_v<QObject, T>);
    const QObject& object = receiver;
    return std::unique_ptr<T>(static_cast<T*>(FromJSON(object, data, error).release()));
}

template<class T>
[[nodiscard]] std::unique_ptr<T> FromDictionary(const T& receiver, const QVariantMap& dictionary)
{
    static_assert(std::is_base_of_v<QObject, T>);
    const QObject& object = receiver;
    return std::unique_ptr<T>(static_cast<T*>(FromDictionary(object, dictionary).release()));
}

} // namespace ObjectMapping
