#pragma once

#include "platform/Error.h"

#include <QByteArray>
#include <QObject>
#include <QVariantMap>

#include <memory>
#include <optional>
#include <span>

// JSON in and out of model objects and dictionaries. Output is pretty-printed: indented,
// one member per line.
class JSONConverter {
public:
    JSONConverter() = delete;

    // JSON of the dictionary itself; a null QByteArray when a value has no JSON form.
    [[nodiscard]] static QByteArray ToJSON(const QVariantMap& dictionary);
    // A member of a dictionary written otherwise: `of` is the address of its value in the
    // dictionary, `by` what is written instead, or nullopt to leave the member out.
    struct Replacement {
        const QVariant* of = nullptr;
        std::optional<QVariant> by;
    };
    // JSON of the dictionary with some of its members replaced, as if they had been
    // replaced in a copy of it.
    [[nodiscard]] static QByteArray ToJSON(
        const QVariantMap& dictionary, std::span<const Replacement> replacements);
    // JSON of the object's declared properties (RunTime::dictionaryFromClass); a null
    // QByteArray when a value has no JSON form (another object, a date, binary data).
    [[nodiscard]] static QByteArray ToJSON(const QObject* object);

    // Parses the data into a dictionary. Data that is not a JSON object gives nothing,
    // and `error` (when given) says why.
    [[nodiscard]] static std::optional<QVariantMap> FromJSONDictionary(
        const QByteArray& data, platform::Error* error = nullptr);
    // A new instance of the class filled from the parsed data. Unparsable data gives a
    // fresh empty instance (as an empty dictionary would) and sets `error` when given.
    [[nodiscard]] static std::unique_ptr<QObject> FromJSON(
        const QByteArray& data, const QMetaObject* cls, platform::Error* error = nullptr);
    [[nodiscard]] static std::unique_ptr<QObject> FromDictionary(
        const QVariantMap& dictionary, const QMetaObject* cls);

    template<class T>
    [[nodiscard]] static std::unique_ptr<T> FromJSON(
        const QByteArray& data, platform::Error* error = nullptr)
    {
        auto object = FromJSON(data, &T::staticMetaObject, error);
        return std::unique_ptr<T>(static_cast<T*>(object.release()));
    }

    // Error domain and code for data that does not parse as a JSON object.
    static const QString ErrorDomain;
    enum { ErrorInvalidJSON = 3840 };
};
