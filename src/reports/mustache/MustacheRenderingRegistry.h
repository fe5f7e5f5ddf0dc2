#pragma once

#include "platform/Error.h"
#include "reports/mustache/MustacheContext.h"

#include <QMetaType>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

class MustacheTag;

// How each kind of value renders in each kind of tag: truthiness, iteration over lists
// and pushing a value on the context are decided here. Value types of one's own get their
// rendering through registerRenderingImplementation; the built-in kinds keep theirs.
class MustacheRenderingRegistry {
public:
    MustacheRenderingRegistry() = delete;

    using Implementation = std::function<std::optional<QString>(
        const QVariant&, const MustacheTag&, const MustacheContextPtr&, bool*, platform::Error*)>;

    static std::optional<QString> render(const QVariant& value, const MustacheTag& tag,
        const MustacheContextPtr& context, bool* HTMLSafe, platform::Error* error);
    // False when the type already renders in its own way (the built-in kinds, or a type
    // registered before).
    static bool registerRenderingImplementation(QMetaType type, Implementation implementation);

    // True for the kinds whose rendering is the engine's own (nil, null, numbers, strings,
    // lists, dictionaries and plain values), not a rendering object's.
    static bool rendersItself(const QVariant& value);
    // The value table's section columns, appending the content to the buffer.
    static bool renderSection(const QVariant& value, const MustacheTag& tag,
        const MustacheContextPtr& context, QString& buffer, platform::Error* error);

    // The rows of the value table, for implementations that build on them.
    static std::optional<QString> renderNull(const MustacheTag& tag,
        const MustacheContextPtr& context, bool* HTMLSafe, platform::Error* error);
    static std::optional<QString> renderNumber(const QVariant& value, const MustacheTag& tag,
        const MustacheContextPtr& context, bool* HTMLSafe, platform::Error* error);
    static std::optional<QString> renderString(const QString& value, const MustacheTag& tag,
        const MustacheContextPtr& context, bool* HTMLSafe, platform::Error* error);
    static std::optional<QString> renderObject(const QVariant& value, const MustacheTag& tag,
        const MustacheContextPtr& context, bool* HTMLSafe, platform::Error* error);
    static std::optional<QString> renderEnumerable(const QVariant& value, const MustacheTag& tag,
        const MustacheContextPtr& context, bool* HTMLSafe, platform::Error* error);
};
