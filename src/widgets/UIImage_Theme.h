#pragma once

#include "style/ThemedImages.h"

// The themed icons and image tools under the names the widgets and screens call them
// by; the style layer holds the work, so the model's type icons use the same lookup.
namespace UIImage_Theme {

using ThemedImages::barthemedimageNamed;
using ThemedImages::drawImages;
using ThemedImages::imageWithColor;
using ThemedImages::maskColor;
using ThemedImages::maskImage;
using ThemedImages::maskImageWithWhite;
using ThemedImages::maskUIImage;
using ThemedImages::replaceColor;
using ThemedImages::resizableImageWithCapInsets2;
using ThemedImages::resizeImage;
using ThemedImages::resizeImageNamed;
using ThemedImages::themedimageNamed;
using ThemedImages::themedimageNamed1;

} // namespace UIImage_Theme
