#include "platform/ui/View.h"
#include "common/TestSupport.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/Layer.h"
#include "platform/ui/PatternFills.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>

using namespace platform::ui;

TEST(View, AutoresizingSharesTheChangeAmongFlexibleParts)
{
    View parent(QRectF(0, 0, 300, 200));
    auto* stretch = new View(QRectF(10, 10, 280, 180), &parent);
    stretch->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    auto* pinnedRight = new View(QRectF(250, 10, 40, 20), &parent);
    pinnedRight->setAutoresizingMask(AutoresizingFlexibleLeftMargin);
    auto* centred = new View(QRectF(100, 50, 100, 100), &parent);
    centred->setAutoresizingMask(AutoresizingFlexibleLeftMargin | AutoresizingFlexibleRightMargin);
    auto* fixed = new View(QRectF(5, 5, 10, 10), &parent);

    parent.setFrame(QRectF(0, 0, 400, 260));
    EXPECT_EQ(stretch->frame(), QRectF(10, 10, 380, 240));
    EXPECT_EQ(pinnedRight->frame(), QRectF(350, 10, 40, 20));
    // Both margins were 100: each takes half of the extra 100.
    EXPECT_EQ(centred->frame(), QRectF(150, 50, 100, 100));
    EXPECT_EQ(fixed->frame(), QRectF(5, 5, 10, 10));

    parent.setAutoresizesSubviews(false);
    parent.setFrame(QRectF(0, 0, 100, 100));
    EXPECT_EQ(stretch->frame(), QRectF(10, 10, 380, 240));
}

namespace {

struct CountingView : View {
    using View::View;
    int layouts = 0;
    void layoutSubviews() override { ++layouts; }
};

// Keeps the area it was last asked to paint.
struct PaintRecordingView : View {
    using View::View;
    QRect painted;
    void paintEvent(QPaintEvent* event) override
    {
        painted = event->region().boundingRect();
        View::paintEvent(event);
    }
};

} // namespace

// A resize lays out at once; the layout asked for before it is then done and not run again.
TEST(View, ALayoutAskedForIsDoneOnceEvenWhenAResizeLaysOutFirst)
{
    CountingView view(QRectF(0, 0, 100, 100));
    view.setNeedsLayout();
    view.setNeedsLayout();
    view.setFrame(QRectF(0, 0, 200, 100));
    EXPECT_EQ(view.layouts, 1);
    testsupport::processEvents(3);
    EXPECT_EQ(view.layouts, 1);
    // Asked again after the resize, it lays out again.
    view.setNeedsLayout();
    testsupport::processEvents(3);
    EXPECT_EQ(view.layouts, 2);
    // A move without a resize leaves the layout to the queue.
    view.setNeedsLayout();
    view.setFrame(QRectF(10, 10, 200, 100));
    EXPECT_EQ(view.layouts, 2);
    testsupport::processEvents(3);
    EXPECT_EQ(view.layouts, 3);
}

// With a shadow path the view and its subviews draw straight, the shadow below them in
// the path's shape; without one the shadow follows what they drew.
TEST(View, AShadowOfAPathOrOfTheDrawingFallsOutsideTheView)
{
    for (const bool withPath : { true, false }) {
        SCOPED_TRACE(withPath);
        View parent(QRectF(0, 0, 200, 200));
        parent.setBackgroundColor(Qt::white);
        auto* panel = new View(QRectF(50, 50, 100, 100), &parent);
        panel->setBackgroundColor(Qt::red);
        auto* inner = new View(QRectF(10, 10, 20, 20), panel);
        inner->setBackgroundColor(Qt::blue);
        if (withPath) {
            QPainterPath outline;
            outline.addRect(QRectF(0, 0, 100, 100));
            panel->layer()->setShadowPath(outline);
        }
        panel->layer()->setShadowColor(Qt::black);
        panel->layer()->setShadowOffset(QPointF(0, 4));
        panel->layer()->setShadowRadius(4);
        panel->layer()->setShadowOpacity(0.8);
        const QImage shot = parent.snapshot();
        const qreal r = shot.devicePixelRatio();
        auto at = [&](double x, double y) { return shot.pixelColor(int(x * r), int(y * r)); };
        EXPECT_EQ(at(100, 100), QColor(Qt::red));
        EXPECT_EQ(at(70, 70), QColor(Qt::blue));
        EXPECT_LT(at(100, 152).lightness(), at(100, 190).lightness() - 20);
        EXPECT_EQ(at(100, 190), QColor(Qt::white));
    }
}

TEST(View, AFrameStaysWithinWhatIntegerGeometryHolds)
{
    View parent(QRectF(0, 0, 200, 200));
    auto* child = new View(QRectF(0, 0, 10, 10), &parent);
    const double far = View::MaximumCoordinate;
    child->setFrame(QRectF(5, 6, 100, 1e300));
    EXPECT_EQ(child->frame(), QRectF(5, 6, 100, QWIDGETSIZE_MAX));
    EXPECT_EQ(child->geometry(), QRect(5, 6, 100, QWIDGETSIZE_MAX));
    child->setFrame(QRectF(-1e300, 1e300, 1e20, 10));
    EXPECT_EQ(child->frame(), QRectF(-far, far, QWIDGETSIZE_MAX, 10));
    EXPECT_EQ(child->geometry(), QRect(-int(far), int(far), QWIDGETSIZE_MAX, 10));
    // Not a number anywhere: the frame stays.
    child->setFrame(QRectF(0, std::nan(""), 10, 10));
    EXPECT_EQ(child->frame(), QRectF(-far, far, QWIDGETSIZE_MAX, 10));
    // An ordinary frame is kept as it is.
    child->setFrame(QRectF(-20.5, 30.25, 40, 50));
    EXPECT_EQ(child->frame(), QRectF(-20.5, 30.25, 40, 50));
}

// Qt holds back the move of a hidden widget until it shows; the frame is not rounded then.
TEST(View, AFrameSetWhileHiddenIsKeptWhenTheViewShows)
{
    View parent(QRectF(0, 0, 800, 200));
    parent.show();
    auto* child = new View(QRectF(0, 0, 10, 10), &parent);
    child->setHidden(true);
    child->setFrame(QRectF(351.33, 15.25, 321.33, 90));
    child->setHidden(false);
    EXPECT_EQ(child->frame(), QRectF(351.33, 15.25, 321.33, 90));
    EXPECT_EQ(child->geometry(), QRect(351, 15, 321, 90));
    // Moved by Qt itself, shown or hidden, the frame follows.
    child->move(20, 30);
    EXPECT_EQ(child->frame(), QRectF(20, 30, 321.33, 90));
    child->setHidden(true);
    child->move(40, 50);
    child->setHidden(false);
    EXPECT_EQ(child->frame(), QRectF(40, 50, 321.33, 90));
}

// A view with an effect is rendered only where its superviews show it, taking the scale
// into account; the rest would make a pixmap far larger than any screen.
TEST(View, AnEffectRendersOnlyWhatItsSuperviewsShow)
{
    View parent(QRectF(0, 0, 200, 200));
    parent.setBackgroundColor(Qt::white);
    auto* tall = new PaintRecordingView(QRectF(0, -1000, 200, 100000), &parent);
    tall->setBackgroundColor(Qt::red);
    auto* stripe = new View(QRectF(0, 1000, 200, 20), tall);
    stripe->setBackgroundColor(Qt::blue);
    tall->setAlpha(0.5);
    QImage shot = parent.snapshot();
    const qreal r = shot.devicePixelRatio();
    auto at = [&](double x, double y) { return shot.pixelColor(int(x * r), int(y * r)); };
    EXPECT_EQ(tall->painted, QRect(0, 1000, 200, 200));
    EXPECT_NEAR(at(100, 10).blue(), 255, 2);
    EXPECT_NEAR(at(100, 10).red(), 128, 2);
    EXPECT_NEAR(at(100, 100).red(), 255, 2);
    EXPECT_NEAR(at(100, 100).blue(), 128, 2);

    // Scaled to half about its centre (at 100, 100 in the parent), the view shows the
    // 400 points around its middle; the stripe 200 above the middle lands 100 higher.
    tall->setAlpha(1);
    tall->setFrame(QRectF(0, -400, 200, 1000));
    stripe->setFrame(QRectF(0, 300, 200, 20));
    tall->setScale(0.5);
    shot = parent.snapshot();
    EXPECT_EQ(tall->painted, QRect(0, 300, 200, 400));
    EXPECT_EQ(at(100, 5), QColor(Qt::blue));
    EXPECT_EQ(at(100, 100), QColor(Qt::red));
    EXPECT_EQ(at(20, 100), QColor(Qt::white)) << "narrower by half";
}

// A view faded out entirely (an overlay before it fades in) is not rendered at all: its
// pixmap would cover its whole visible area and show nothing.
TEST(View, AViewFadedOutIsNotRenderedNorItsShadowDrawn)
{
    View parent(QRectF(0, 0, 200, 200));
    parent.setBackgroundColor(Qt::white);
    auto* overlay = new PaintRecordingView(QRectF(0, 0, 200, 200), &parent);
    overlay->setBackgroundColor(Qt::red);
    overlay->layer()->setShadowOpacity(1);
    overlay->layer()->setShadowRadius(4);
    overlay->setAlpha(0);
    QImage shot = parent.snapshot();
    EXPECT_TRUE(overlay->painted.isEmpty());
    EXPECT_EQ(shot.pixelColor(100, 100), QColor(Qt::white));

    // Fading in, it shows again (over its shadow).
    overlay->setAlpha(0.5);
    shot = parent.snapshot();
    EXPECT_FALSE(overlay->painted.isEmpty());
    const QColor shown = shot.pixelColor(100, 100);
    EXPECT_GT(shown.red(), shown.green() + 100) << qPrintable(shown.name());
}

TEST(View, FindsByTagDepthFirstAndConvertsCoordinates)
{
    View root(QRectF(0, 0, 200, 200));
    auto* a = new View(QRectF(10, 20, 100, 100), &root);
    auto* b = new View(QRectF(5, 5, 50, 50), a);
    auto* c = new View(QRectF(120, 0, 50, 50), &root);
    b->setTag(7);
    c->setTag(7);
    root.setTag(1);
    EXPECT_EQ(root.viewWithTag(1), &root);
    EXPECT_EQ(root.viewWithTag(7), b); // first in subview order, depth first
    EXPECT_EQ(c->viewWithTag(7), c);
    EXPECT_EQ(root.viewWithTag(99), nullptr);
    EXPECT_EQ(b->convertPointToView(QPointF(1, 1), &root), QPointF(16, 26));
    EXPECT_EQ(c->convertPointFromView(QPointF(16, 26), &root), QPointF(-104, 26));
    EXPECT_EQ(root.hitTest(QPointF(17, 27)), b);
    b->setUserInteractionEnabled(false);
    EXPECT_EQ(root.hitTest(QPointF(17, 27)), a);
}

TEST(View, AnimationsEndOnTheModelValueAndAlwaysComplete)
{
    Animation::setInstant(false);
    View view(QRectF(0, 0, 100, 100));
    bool finished = false;
    int calls = 0;
    Animation::animate(
        0.05,
        [&] {
            view.setAlpha(0.25);
            view.setFrame(QRectF(10, 10, 50, 50));
        },
        [&](bool done) {
            finished = done;
            ++calls;
        });
    // The model takes the value at once; what is shown follows over the duration.
    EXPECT_DOUBLE_EQ(view.alpha(), 0.25);
    EXPECT_EQ(view.frame(), QRectF(10, 10, 50, 50));
    ASSERT_TRUE(testsupport::waitUntil([&] { return calls == 1; }));
    EXPECT_TRUE(finished);
    EXPECT_EQ(QRectF(view.geometry()), QRectF(10, 10, 50, 50));

    // A second animation of the same property cuts the first short.
    bool firstFinished = true;
    Animation::animate(
        0.5, [&] { view.setAlpha(1.0); }, [&](bool done) { firstFinished = done; });
    Animation::animate(0.02, 0, AnimationOptionBeginFromCurrentState, [&] { view.setAlpha(0.5); });
    ASSERT_TRUE(testsupport::waitUntil([&] { return !firstFinished; }));

    // Zero duration and an empty block still complete, later.
    calls = 0;
    Animation::animate(
        0, [] {}, [&](bool) { ++calls; });
    EXPECT_EQ(calls, 0);
    ASSERT_TRUE(testsupport::waitUntil([&] { return calls == 1; }));
    Animation::setInstant(true);
}

TEST(Label, ShrinksToFitDownToTheMinimumSize)
{
    Label label(QRectF(0, 0, 120, 30));
    label.setFont(Font::system(20));
    label.setText("A rather long title for a tile");
    EXPECT_EQ(label.fontForDrawing().pixelSize(), 20); // shrinking is off
    label.setAdjustsFontSizeToFitWidth(true);
    label.setMinimumFontSize(8);
    const int shrunk = label.fontForDrawing().pixelSize();
    EXPECT_LT(shrunk, 20);
    EXPECT_GE(shrunk, 8);
    EXPECT_LE(Font::measure(label.text(), label.fontForDrawing()).width(), 121);
    label.setMinimumFontSize(16);
    EXPECT_EQ(label.fontForDrawing().pixelSize(), 16); // never below the minimum
    label.setText("Short");
    EXPECT_EQ(label.fontForDrawing().pixelSize(), 20);
}

TEST(Label, SeveralLinesBreakBetweenWordsAndAWordTooLongForTheLineAnywhere)
{
    Label label;
    label.setNumberOfLines(0);
    const QFontMetricsF metrics(label.font());
    const double line = metrics.lineSpacing();
    const double width = metrics.horizontalAdvance(QStringLiteral("word word")) + 2;
    label.setText(QStringLiteral("word word word"));
    EXPECT_NEAR(label.sizeThatFits(QSizeF(width, 0)).height(), 2 * line, 1);
    // Forty letters without a space, four times the line: broken over four lines or more,
    // none wider than the line.
    const QString word(40, u'y');
    label.setText(word);
    const double narrow = metrics.horizontalAdvance(word) / 4;
    const QSizeF size = label.sizeThatFits(QSizeF(narrow, 0));
    EXPECT_GE(size.height(), 4 * line - 1);
    EXPECT_LE(size.width(), std::ceil(narrow));
    // Drawn the same way: the last line is inked, nothing past the right edge.
    label.setFrame(QRectF(0, 0, narrow, size.height()));
    label.setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
    label.setBackgroundColor(Qt::white);
    const QImage shot = label.snapshot();
    const qreal r = shot.devicePixelRatio();
    bool lastLineInked = false;
    for (int x = 0; x < int(narrow * r); ++x)
        lastLineInked = lastLineInked
            || shot.pixelColor(x, int((size.height() - line / 2) * r)).lightness() < 128;
    EXPECT_TRUE(lastLineInked);
}

TEST(View, KeptBackgroundsFollowColourPatternAndShape)
{
    View parent(QRectF(0, 0, 100, 60));
    parent.setBackgroundColor(Qt::white);
    auto* tile = new View(QRectF(10, 10, 80, 40));
    parent.addSubview(tile);
    tile->setBackgroundColor(Qt::red);
    tile->layer()->setCornerRadius(10);
    auto pixel = [&](int x, int y) { return parent.grab().toImage().pixelColor(x, y); };
    EXPECT_EQ(pixel(50, 30), QColor(Qt::red));
    EXPECT_EQ(pixel(11, 11), QColor(Qt::white)); // outside the rounded corner

    // A new colour or a square corner is painted, not the fill kept from before.
    tile->setBackgroundColor(Qt::blue);
    EXPECT_EQ(pixel(50, 30), QColor(Qt::blue));
    tile->layer()->setCornerRadius(0);
    EXPECT_EQ(pixel(11, 11), QColor(Qt::blue));

    // A pattern is tiled from the view's origin, and replaced when another is set.
    QImage stripes(2, 1, QImage::Format_ARGB32);
    stripes.setPixelColor(0, 0, Qt::green);
    stripes.setPixelColor(1, 0, Qt::black);
    tile->setBackgroundPattern(Image(stripes, 1.0));
    EXPECT_EQ(pixel(10, 30), QColor(Qt::green));
    EXPECT_EQ(pixel(11, 30), QColor(Qt::black));
    stripes.setPixelColor(0, 0, Qt::yellow);
    tile->setBackgroundPattern(Image(stripes, 1.0));
    EXPECT_EQ(pixel(10, 30), QColor(Qt::yellow));
}

// Views showing the same pattern share one small tile of it, however large they are, and
// each shows exactly the pixels a fill of its own would have; the tile goes with the last
// view that shows it. A pattern that does not repeat after whole pixels shares one fill as
// large as the largest view instead.
TEST(View, ViewsShowingOnePatternShareOneTileWithTheSamePixels)
{
    QImage tile(3, 2, QImage::Format_ARGB32);
    const QColor colours[]
        = { Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan, QColor(255, 0, 255, 128) };
    for (int i = 0; i < 6; ++i)
        tile.setPixelColor(i % 3, i / 3, colours[i]);
    // What the view drew into a fill of its own.
    auto own = [&](const Image& pattern, const QSize& size) {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.fillRect(QRectF(QPointF(0, 0), QSizeF(size)), pattern.patternBrush());
        return image;
    };
    auto shot = [](View* view) {
        return view->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    const qint64 before = PatternFills::keptPixels();
    const Image pattern(tile, 2.0); // a period of one and a half pixels across
    const QSize tileSize = PatternFills::tile(pattern, 1.0).size();
    const qint64 tilePixels = qint64(tileSize.width()) * tileSize.height();
    EXPECT_EQ(tileSize.width() % 3, 0);
    EXPECT_GE(tileSize.width(), PatternFills::MinTileSide);
    EXPECT_GE(tileSize.height(), PatternFills::MinTileSide);

    View screen(QRectF(0, 0, 1024, 768));
    auto* small = new View(QRectF(10, 10, 50, 40), &screen);
    small->setBackgroundPattern(pattern);
    EXPECT_EQ(shot(small), own(pattern, QSize(50, 40)));

    // The screen-sized view shows the same tile, side by side, and keeps nothing larger.
    screen.setBackgroundPattern(pattern);
    const QImage whole = shot(&screen);
    const QImage expected = own(pattern, QSize(1024, 768));
    for (const QRect& part : { QRect(0, 0, 10, 768), QRect(0, 0, 1024, 10), QRect(60, 50, 964, 718),
             QRect(1000, 700, 24, 68) })
        EXPECT_EQ(whole.copy(part), expected.copy(part)) << part.x() << "," << part.y();
    EXPECT_EQ(shot(small), own(pattern, QSize(50, 40)));
    EXPECT_EQ(PatternFills::keptPixels() - before, tilePixels);
    EXPECT_LT(tilePixels, 1024 * 768 / 8);

    // A part of the screen repainted alone shows the same pixels.
    screen.repaint(QRect(300, 200, 77, 33));
    EXPECT_EQ(shot(&screen).copy(300, 200, 77, 33), expected.copy(300, 200, 77, 33));

    // A rounded view keeps a fill of its own.
    auto* rounded = new View(QRectF(100, 100, 50, 50), &screen);
    rounded->layer()->setCornerRadius(8);
    rounded->setBackgroundPattern(pattern);
    shot(rounded);
    EXPECT_EQ(PatternFills::keptPixels() - before, tilePixels);

    // A view showing another pattern lets go of it; the last view gone takes it along.
    screen.setBackgroundPattern(Image());
    shot(&screen);
    EXPECT_EQ(PatternFills::keptPixels() - before, tilePixels);
    delete small;
    EXPECT_EQ(PatternFills::keptPixels(), before);

    // Shown at a third of a pixel per pattern pixel, the period is no whole number of
    // pixels: the views share one fill, as large as the largest.
    const Image thirds(tile, 3.0);
    EXPECT_TRUE(PatternFills::tile(thirds, 1.0).isNull());
    auto* part = new View(QRectF(0, 0, 300, 200), &screen);
    part->setBackgroundPattern(thirds);
    EXPECT_EQ(shot(part), own(thirds, QSize(300, 200)));
    EXPECT_EQ(PatternFills::keptPixels() - before, 300 * 200);
}

TEST(View, ClaimsToBeOpaqueOnlyWhenItsBackgroundCoversEveryPixel)
{
    View parent(QRectF(0, 0, 200, 100));
    auto* view = new View(QRectF(0, 0, 100, 50));
    parent.addSubview(view);
    auto opaque = [&] { return view->testAttribute(Qt::WA_OpaquePaintEvent); };
    EXPECT_FALSE(opaque()); // no background
    view->setBackgroundColor(Qt::red);
    EXPECT_TRUE(opaque());
    view->setBackgroundColor(QColor(255, 0, 0, 128));
    EXPECT_FALSE(opaque());
    view->setBackgroundColor(Qt::red);
    view->layer()->setCornerRadius(4);
    EXPECT_FALSE(opaque());
    view->layer()->setCornerRadius(0);
    view->setAlpha(0.5);
    EXPECT_FALSE(opaque());
    view->setAlpha(1);
    EXPECT_TRUE(opaque());
    // A frame rounded up to the next pixel leaves that pixel partly covered.
    view->setFrame(QRectF(0, 0, 100.6, 50));
    EXPECT_FALSE(opaque());
    view->setFrame(QRectF(0, 0, 100.4, 50));
    EXPECT_TRUE(opaque());

    QImage clear(2, 2, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    view->setBackgroundPattern(Image(clear, 1.0));
    EXPECT_FALSE(opaque());
    clear.fill(Qt::gray);
    view->setBackgroundPattern(Image(clear, 1.0));
    EXPECT_TRUE(opaque());
}

TEST(Label, PaintsAgainWhatChangedSinceTheLastPaint)
{
    Label label(QRectF(0, 0, 120, 30));
    label.setFont(Font::system(20));
    label.setAdjustsFontSizeToFitWidth(true);
    label.setMinimumFontSize(8);
    label.setText("A rather long title for a tile");
    const int narrow = label.fontForDrawing().pixelSize();
    const QImage first = label.grab().toImage();

    // A wider label fits the text at a larger size again.
    label.setFrame(QRectF(0, 0, 400, 30));
    EXPECT_GT(label.fontForDrawing().pixelSize(), narrow);

    // Same size, new text or font: the paint shows the new one, not the kept one.
    label.setFrame(QRectF(0, 0, 120, 30));
    EXPECT_EQ(label.grab().toImage(), first);
    label.setText("Other words in this tile");
    EXPECT_NE(label.grab().toImage(), first);
    label.setText("A rather long title for a tile");
    EXPECT_EQ(label.grab().toImage(), first);
    label.setFont(Font::boldSystem(20));
    EXPECT_NE(label.grab().toImage(), first);
}

TEST(View, PartsDrawnByTheirSuperviewShowInItsPaintAndKeepTheirTouches)
{
    View parent(QRectF(0, 0, 100, 60));
    parent.setBackgroundColor(Qt::white);
    auto* part = new View(QRectF(10, 10, 30, 20));
    part->setBackgroundColor(Qt::red);
    part->setTag(7);
    part->setUserInteractionEnabled(false);
    part->setDrawnBySuperview(true);
    parent.addSubview(part);
    auto* label = new Label(QRectF(50, 0, 50, 60));
    label->setDrawnBySuperview(true);
    label->setTextColor(Qt::black);
    parent.addSubview(label);
    auto pixel = [&](int x, int y) { return parent.grab().toImage().pixelColor(x, y); };
    auto inked = [&](const QRect& area) {
        const QImage shot = parent.grab().toImage();
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (shot.pixelColor(x, y).lightness() < 128)
                    return true;
        return false;
    };

    // Not widgets of their own (nothing takes touches), yet drawn and found as before.
    EXPECT_FALSE(part->isVisibleTo(&parent));
    EXPECT_FALSE(part->isHidden());
    EXPECT_EQ(parent.viewWithTag(7), part);
    EXPECT_EQ(pixel(20, 20), QColor(Qt::red));
    EXPECT_EQ(pixel(45, 20), QColor(Qt::white));
    EXPECT_FALSE(inked(QRect(50, 0, 50, 60)));
    label->setText("Ab");
    EXPECT_TRUE(inked(QRect(50, 0, 50, 60)));

    // What changes shows at the next paint: colour, place, alpha, hiding.
    part->setBackgroundColor(Qt::blue);
    EXPECT_EQ(pixel(20, 20), QColor(Qt::blue));
    part->setFrame(QRectF(0, 30, 30, 20));
    EXPECT_EQ(pixel(20, 20), QColor(Qt::white));
    EXPECT_EQ(pixel(5, 40), QColor(Qt::blue));
    part->setAlpha(0.5);
    EXPECT_NEAR(pixel(5, 40).blueF(), 1.0, 0.01);
    EXPECT_NEAR(pixel(5, 40).redF(), 0.5, 0.02);
    part->setHidden(true);
    EXPECT_EQ(pixel(5, 40), QColor(Qt::white));
    EXPECT_FALSE(part->isVisibleTo(&parent));

    // One that takes touches stays a widget there, painting nothing itself.
    part->setHidden(false);
    part->setAlpha(1);
    part->setUserInteractionEnabled(true);
    EXPECT_TRUE(part->isVisibleTo(&parent));
    EXPECT_EQ(parent.childAt(5, 40), part);
    EXPECT_FALSE(part->testAttribute(Qt::WA_OpaquePaintEvent));
    EXPECT_EQ(pixel(5, 40), QColor(Qt::blue));
    part->setHidden(true);
    EXPECT_FALSE(part->isVisibleTo(&parent));
    EXPECT_EQ(pixel(5, 40), QColor(Qt::white));

    // Back to a view of its own.
    part->setHidden(false);
    part->setDrawnBySuperview(false);
    EXPECT_TRUE(part->isVisibleTo(&parent));
    EXPECT_TRUE(part->testAttribute(Qt::WA_OpaquePaintEvent));
    EXPECT_EQ(pixel(5, 40), QColor(Qt::blue));
}

namespace {

// A part that writes with whatever font the painter holds.
class PainterFontText : public View {
public:
    using View::View;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override
    {
        painter.setPen(Qt::black);
        painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Wg"));
    }
};

} // namespace

TEST(View, APartThatSetsTheFontLeavesTheNextPartItsSuperviewsFont)
{
    View parent(QRectF(0, 0, 200, 60));
    parent.setBackgroundColor(Qt::white);
    auto* label = new Label(QRectF(0, 0, 100, 60));
    label->setNumberOfLines(2);
    label->setFont(Font::boldSystem(40));
    label->setText("Big");
    label->setDrawnBySuperview(true);
    parent.addSubview(label);
    auto* text = new PainterFontText(QRectF(100, 0, 100, 60));
    text->setDrawnBySuperview(true);
    parent.addSubview(text);
    auto textArea = [&] { return parent.grab().toImage().copy(100, 0, 100, 60); };

    label->setHidden(true);
    const QImage alone = textArea();
    label->setHidden(false);
    EXPECT_EQ(textArea(), alone);
}

// A part kept as a widget for its touches costs its superview's paint nothing more; one
// holding a widget that paints itself is painted as before, so the widget still shows.
TEST(View, APartTakingTouchesIsPassedByWhenItsSuperviewPaints)
{
    View parent(QRectF(0, 0, 100, 60));
    parent.setBackgroundColor(Qt::white);
    auto* part = new PaintRecordingView(QRectF(10, 10, 30, 20));
    part->setBackgroundColor(Qt::red);
    part->setDrawnBySuperview(true);
    parent.addSubview(part);
    const auto pixel = [&](int x, int y) { return parent.grab().toImage().pixelColor(x, y); };

    ASSERT_TRUE(part->isVisibleTo(&parent));
    EXPECT_EQ(pixel(20, 20), QColor(Qt::red));
    EXPECT_TRUE(part->painted.isNull());
    EXPECT_EQ(parent.childAt(20, 20), part);

    // A subview painting itself.
    auto* own = new PaintRecordingView(QRectF(5, 5, 10, 10));
    own->setBackgroundColor(Qt::blue);
    part->addSubview(own);
    EXPECT_EQ(pixel(20, 20), QColor(Qt::blue));
    EXPECT_FALSE(own->painted.isNull());
    EXPECT_EQ(pixel(12, 12), QColor(Qt::red));

    // Drawn by the part instead, it needs no paint of either.
    own->setDrawnBySuperview(true);
    part->painted = own->painted = QRect();
    EXPECT_EQ(pixel(20, 20), QColor(Qt::blue));
    EXPECT_TRUE(part->painted.isNull());
    EXPECT_TRUE(own->painted.isNull());

    // Nor when it lies a level deeper, in a part of the part, until it paints itself.
    auto* inner = new View(QRectF(0, 0, 20, 20));
    inner->setDrawnBySuperview(true);
    part->addSubview(inner);
    own->setParent(inner);
    own->setDrawnBySuperview(false);
    own->show();
    own->painted = QRect();
    EXPECT_EQ(pixel(20, 20), QColor(Qt::blue));
    EXPECT_FALSE(own->painted.isNull());
    own->setDrawnBySuperview(true);
    part->painted = own->painted = QRect();
    EXPECT_EQ(pixel(20, 20), QColor(Qt::blue));
    EXPECT_TRUE(own->painted.isNull());
    EXPECT_TRUE(part->painted.isNull());

    // Gone, and the part its own view again: it paints itself.
    delete inner;
    EXPECT_EQ(pixel(20, 20), QColor(Qt::red));
    part->setDrawnBySuperview(false);
    EXPECT_EQ(pixel(20, 20), QColor(Qt::red));
    EXPECT_FALSE(part->painted.isNull());
}

TEST(Image, MaskTintsOpaquePixelsAndKeepsTransparency)
{
    QImage source(4, 2, QImage::Format_ARGB32_Premultiplied);
    source.fill(Qt::transparent);
    source.setPixelColor(0, 0, QColor(0, 0, 0, 255));
    source.setPixelColor(1, 0, QColor(255, 255, 255, 255));
    source.setPixelColor(2, 0, QColor(0, 0, 0, 128));
    const Image tinted = Image::masked(Image(source), QColor(0, 144, 223));
    const QImage out = tinted.image().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(out.pixelColor(0, 0), QColor(0, 144, 223));
    EXPECT_EQ(out.pixelColor(1, 0), QColor(0, 144, 223));
    EXPECT_EQ(out.pixelColor(2, 0).alpha(), 128);
    EXPECT_NEAR(out.pixelColor(2, 0).green(), 144, 2);
    EXPECT_EQ(out.pixelColor(3, 0).alpha(), 0);
    EXPECT_EQ(out.pixelColor(0, 1).alpha(), 0);
    EXPECT_TRUE(Image::masked(Image(), Qt::red).isNull());
}

TEST(Image, DrawnAtOtherSizesInTurnItLooksAsThePainterDrawsIt)
{
    // A ramp on either side of a sharp split down the middle.
    QImage source(100, 100, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            source.setPixelColor(
                x, y, x < 50 ? QColor(255, 2 * x, 0) : QColor(0, 2 * (x - 50), 255));
    const Image icon(source, 2.0);
    auto drawn = [&](const QSizeF& size, bool byImage) {
        QImage canvas(120, 120, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        painter.translate(7, 9);
        const QRectF target(QPointF(0, 0), size);
        if (byImage) {
            icon.draw(painter, target);
        } else {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(target, source);
        }
        return canvas;
    };
    auto largestDifference = [](const QImage& a, const QImage& b) {
        int largest = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) {
                const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
                largest = std::max({ largest, std::abs(p.red() - q.red()),
                    std::abs(p.green() - q.green()), std::abs(p.blue() - q.blue()) });
            }
        return largest;
    };
    // More sizes than are kept at once, then the first again; a size of part pixels is
    // drawn from the image's own pixels.
    const QList<QSizeF> sizes { { 50, 50 }, { 30, 30 }, { 20, 40 }, { 80, 60 }, { 10, 10 },
        { 50, 50 }, { 30, 30 } };
    for (const QSizeF& size : sizes)
        EXPECT_LE(largestDifference(drawn(size, true), drawn(size, false)), 6) << size.width();
    EXPECT_EQ(drawn(QSizeF(33.5, 33.5), true), drawn(QSizeF(33.5, 33.5), false));
}

TEST(Image, NinePatchKeepsTheCaps)
{
    QImage source(30, 30, QImage::Format_ARGB32_Premultiplied);
    source.fill(Qt::blue);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 10; ++x)
            source.setPixelColor(x, y, Qt::red); // the left cap
    const Image resizable = Image(source).resizableWithCapInsets(QMarginsF(10, 10, 10, 10));
    QImage canvas(100, 30, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    resizable.draw(painter, QRectF(0, 0, 100, 30));
    painter.end();
    EXPECT_EQ(canvas.pixelColor(9, 15), QColor(Qt::red)); // the cap keeps its width
    EXPECT_EQ(canvas.pixelColor(50, 15), QColor(Qt::blue)); // the centre stretches
}

namespace {

// Notes the touches it is given and passes none on.
class TouchedView : public View {
public:
    using View::View;
    QStringList touches;

protected:
    void touchesBegan(const QPointF& point, QMouseEvent* event) override
    {
        touches << QString("began %1,%2").arg(point.x()).arg(point.y());
        event->accept();
    }
    void touchesMoved(const QPointF& point, QMouseEvent*) override
    {
        touches << QString("moved %1,%2").arg(point.x()).arg(point.y());
    }
    void touchesEnded(const QPointF& point, QMouseEvent*) override
    {
        touches << QString("ended %1,%2").arg(point.x()).arg(point.y());
    }
};

} // namespace

TEST(View, TouchesComeFromTheMouseAndGoUpToTheSuperviewByDefault)
{
    TouchedView outer(QRectF(0, 0, 200, 200));
    auto* inner = new View(QRectF(50, 50, 100, 100), &outer);
    outer.show();
    QTest::mousePress(inner, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(inner, QPoint(20, 15));
    QTest::mouseRelease(inner, Qt::LeftButton, {}, QPoint(20, 15));
    EXPECT_EQ(outer.touches, QStringList({ "began 60,60", "moved 70,65", "ended 70,65" }));
}
