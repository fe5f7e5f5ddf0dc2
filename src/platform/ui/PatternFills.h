#pragma once

#include <QPixmap>
#include <QSize>

namespace platform::ui {

class Image;

// Pattern backgrounds drawn once for every view that shows the same pattern at the same
// scale: a screen and the grid on it show the same pattern, and a pixmap of each would
// cost a screen's worth of memory twice. A pixel's colour depends only on its place, so
// one fill as large as the largest view serves the smaller ones with its top left part.
// Where the pattern repeats after a whole number of pixels, a tile of a few of its
// periods serves every view, however large. Used from the GUI thread only, as views are.
class PatternFills {
public:
    // The pattern tiled from the origin over a whole number of its periods, at least
    // MinTileSide pixels each way (drawn side by side from the origin, such tiles give the
    // pattern's own pixels); null when the pattern does not repeat after a whole number of
    // pixels at that device pixel ratio, or would be sampled inexactly.
    static QPixmap tile(const Image& pattern, double ratio);
    // The pattern tiled from the origin over at least pixels, at that device pixel
    // ratio; null when a fill serving it and the views already served would be too large.
    static QPixmap fill(const Image& pattern, const QSize& pixels, double ratio);
    // Lets go of the fills no view holds any more; views call it when they drop one.
    static void forgetUnused();
    // The pixels kept, every pattern together.
    static qint64 keptPixels();
    // Fills larger than this are not kept.
    static constexpr qint64 MostPixels = 4096 * 4096;
    static constexpr int MinTileSide = 128;
};

} // namespace platform::ui
