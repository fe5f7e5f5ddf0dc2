#pragma once

#include <QString>
#include <QVariant>

#include <optional>

namespace platform::coredata {

// The kinds of value an attribute holds. Every attribute is optional: a null QVariant
// means unset.
enum class AttributeType { String, Integer, Double, Boolean };

struct AttributeDescription {
    QString name;
    AttributeType type = AttributeType::String;

    // The value in this attribute's own type (QString, qlonglong, double or bool), a null
    // QVariant for a null or invalid one, or nullopt when the value is of a kind the
    // attribute cannot hold (text for a number, a number for text, ...).
    [[nodiscard]] std::optional<QVariant> coerce(const QVariant& value) const;

    // Text name of a type as the model file writes it ("String", "Integer", ...).
    static QString typeName(AttributeType type);
    [[nodiscard]] static std::optional<AttributeType> typeFromName(const QString& name);
};

} // namespace platform::coredata
