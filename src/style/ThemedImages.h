#pragma once

#include "platform/ui/Image.h"
#include "style/Color.h"

#include <QList>
#include <QMarginsF>
#include <QSizeF>
#include <QString>

// Icons in the user's theme colour, and the small image tools the style and the widgets
// draw with. A themed icon is, in this order: a ready-made variant named after the theme
// colour ("database" + "Blue"), the plain image used unchanged, or a black (or red)
// master recoloured in the style's image colour; "unknownBlack" stands in for a name
// with no image at all. Lookups read the settings and the style at the moment of the
// call. Main thread only.
namespace ThemedImages {

using platform::ui::Image;

// The themed icon of the name; null only when not even the fallback master exists.
Image themedimageNamed(const QString& name);
// The image of the name followed by the bar theme, else the image of the name alone.
Image barthemedimageNamed(const QString& name);
// The plain image of the name, else its master recoloured in the style's image colour.
Image themedimageNamed1(const QString& name);
Image themedimageNamed1(const QString& name, const Color& color);
// Forgets the masters recoloured so far (kept by master and colour).
void forgetRecoloured();

// The master's dark parts (on white) in the colour, the rest transparent.
Image maskImageWithWhite(const QString& masterName, const Color& color);
// Every visible pixel in the colour, with the image's own transparency.
Image maskUIImage(const Image& image, const Color& color);
Image maskImage(const QString& name, const Color& color);
// The second image drawn over the first, at the first one's size and scale.
Image drawImages(const Image& image1, const Image& image2);

// A rectangle of the size filled with the colour, at the screen's scale.
Image imageWithColor(const Color& color, const QSizeF& size);
// The image drawn into a rectangle of the size, at the screen's scale.
Image resizeImage(const Image& image, const QSizeF& size);
Image resizeImageNamed(const QString& name, const QSizeF& size);

// Clears to transparent every pixel whose red, green and blue (premultiplied bytes) lie
// within tolerance / 2 of the colour's. A grey counts as the RGB colour of its level; a
// colour with no RGB form (a pattern) matches nothing.
Image replaceColor(const Color& color, const Image& image, float tolerance);
// Pixels inside the ranges (minimum and maximum per component, 0 to 255: red, green,
// blue) show the colour; the others keep the image. The result has scale 1.
Image maskColor(const Image& image, const QList<double>& searchColor, const Color& color);

// The image made stretchable by the cap insets.
Image resizableImageWithCapInsets2(const Image& image, const QMarginsF& insets);

// Names joined the way the lookups join them.
QString joined(const QString& name, const QString& suffix);

// Suffixes of master images, and the master of the last resort.
extern const QString BlackSuffix; // "Black"
extern const QString RedSuffix; // "Red"
extern const QString UnknownMaster; // "unknownBlack"

} // namespace ThemedImages
