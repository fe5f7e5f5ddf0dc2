#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QVariant>

#include <memory>

// What the foundation needs of the colour and style layer above it: palette colours by
// name and the current style's button colours. The style layer installs the one
// implementation when it makes its first style; until then the answers are empty.
class StyleServices {
public:
    virtual ~StyleServices();

    // The palette colour of the theme name ("Blue" gives the palette's blue), as a
    // QVariant holding the style layer's colour value; invalid for an unknown name.
    virtual QVariant themeColor(const QString& name) const = 0;
    // The current style's button-title colour and font.
    virtual QColor buttonTitleColor() const = 0;
    virtual QFont buttonTitleFont() const = 0;

    // The installed services, or null.
    static StyleServices* instance();
    static void install(std::unique_ptr<StyleServices> services);
};
