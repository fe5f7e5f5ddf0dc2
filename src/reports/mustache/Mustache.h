#pragma once

#include "reports/mustache/MustacheBlockRenderer.h"
#include "reports/mustache/MustacheRendering.h"
#include "reports/mustache/MustacheRenderingRegistry.h"

#include <QString>
#include <QVariantMap>

// The engine's public face: version, standard library, HTML escaping and rendering objects.
class Mustache {
public:
    Mustache() = delete;

    struct Version {
        int major;
        int minor;
        int patch;
    };
    static Version version();

    // The filters, escapers and localizer every template reaches through its base context.
    static const QVariantMap& standardLibrary();
    // Replaces " & ' < > by their entities; gives the very same string when none occurs.
    static QString escapeHTML(const QString& string);
    // Appends the escaped form to the buffer without an intermediate string.
    static void appendEscapedHTML(QString& buffer, QStringView string);

    // The object itself, or the nil renderer for nil.
    static std::shared_ptr<MustacheRendering> renderingObjectForObject(const QVariant& object);
    static std::shared_ptr<MustacheRendering> renderingObjectWithBlock(
        MustacheBlockRenderer::Block block);
    static bool registerRenderingImplementation(
        QMetaType type, MustacheRenderingRegistry::Implementation implementation);
    // Missing keys never raise here; kept for callers written for the shield.
    static void preventNSUndefinedKeyExceptionAttack();
};
