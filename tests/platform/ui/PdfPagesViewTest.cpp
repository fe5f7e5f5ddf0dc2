#include "platform/ui/PdfPagesView.h"
#include "common/TestSupport.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using platform::ui::PdfPagesView;

namespace {

struct PageSpec {
    double width; // points
    double height;
    QByteArray content; // page description operators; may be empty
};

// A PDF written out by hand, as small as a hostile one is: a catalogue, a page tree, the
// pages and the content streams of those that have one, with an exact cross-reference
// table.
QByteArray pdfOf(const QList<PageSpec>& pages)
{
    QList<QByteArray> objects { "<</Type/Catalog/Pages 2 0 R>>", {} };
    QByteArray kids;
    QList<QByteArray> contents;
    const qsizetype firstContent = 3 + pages.size();
    for (const PageSpec& page : pages) {
        kids += QByteArray::number(objects.size() + 1) + " 0 R ";
        QByteArray object = "<</Type/Page/Parent 2 0 R/MediaBox[0 0 "
            + QByteArray::number(page.width, 'g', 10) + " "
            + QByteArray::number(page.height, 'g', 10) + "]";
        if (!page.content.isEmpty()) {
            object += "/Contents " + QByteArray::number(firstContent + contents.size()) + " 0 R";
            contents << "<</Length " + QByteArray::number(page.content.size()) + ">>stream\n"
                    + page.content + "\nendstream";
        }
        objects << object + ">>";
    }
    objects[1] = "<</Type/Pages/Kids[" + kids.trimmed() + "]/Count "
        + QByteArray::number(pages.size()) + ">>";
    objects << contents;
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (int i = 0; i < objects.size(); ++i) {
        offsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer<</Size " + QByteArray::number(objects.size() + 1) + "/Root 1 0 R>>\nstartxref\n"
        + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

// An A4 page with a blue square in its bottom right corner: a page drawn whole shows it.
const PageSpec a4 { 595, 842, "0 0 1 rg 545 0 50 50 re f" };

// The most this process has held, in MB.
qint64 peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() / 1024;
    return -1;
}

struct PdfPages : ::testing::Test {
    QTemporaryDir folder;
    std::unique_ptr<PdfPagesView> view;

    bool open(const QList<PageSpec>& pages, int width, int height = 600)
    {
        const QString path = folder.filePath("pages.pdf");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write(pdfOf(pages));
        file.close();
        view = std::make_unique<PdfPagesView>();
        view->resize(width, height);
        view->show();
        testsupport::processEvents();
        return view->load(path);
    }

    // The page scrolled into sight and drawn as a person would see it.
    QImage shown(int index)
    {
        view->scrollToPage(index);
        return view->viewport()->grab().toImage();
    }

    int available() const { return view->viewport()->width() - 2 * PdfPagesView::Spacing; }
};

} // namespace

TEST_F(PdfPages, SliverPagesAreLaidOutInOrderWithinTheirBoundsAndStillDraw)
{
    // A thousandth of a point wide and the longest a page may be, four more that together
    // pass what an int holds at this width, and a normal page after them.
    QList<PageSpec> pages { { 0.001, 14400, {} } };
    for (int i = 0; i < 4; ++i)
        pages << PageSpec { 0.01, 14400, "0 0 0 rg 0 0 0.01 14400 re f" };
    pages << a4;
    ASSERT_TRUE(open(pages, 400));
    ASSERT_EQ(view->pageCount(), 6);

    double bottom = 0;
    for (int i = 0; i < view->pageCount(); ++i) {
        const QRectF rect = view->pageRect(i);
        EXPECT_EQ(rect.top(), bottom + PdfPagesView::Spacing) << i;
        EXPECT_GE(rect.width(), 1) << i;
        EXPECT_LE(rect.width(), available()) << i;
        EXPECT_GE(rect.left(), PdfPagesView::Spacing) << i;
        EXPECT_LE(rect.right(), PdfPagesView::Spacing + available()) << i;
        bottom = rect.bottom();
    }
    // The slivers are as tall as a page may be, narrower than the view and centred.
    for (int i = 0; i < 5; ++i) {
        const QRectF rect = view->pageRect(i);
        EXPECT_EQ(rect.height(), PdfPagesView::MaximumPageHeight) << i;
        EXPECT_NEAR(rect.center().x(), PdfPagesView::Spacing + available() / 2.0, 1) << i;
    }
    EXPECT_EQ(view->pageRect(1).width(), 1);
    // The normal page keeps the view's width and its own proportions.
    EXPECT_EQ(view->pageRect(5).width(), available());
    EXPECT_EQ(view->pageRect(5).height(), std::round(available() * 842.0 / 595));

    for (int i = 0; i < view->pageCount(); ++i) {
        const QImage image = shown(i);
        EXPECT_TRUE(view->visiblePages().contains(i)) << i;
        EXPECT_TRUE(view->renderedPages().contains(i));
        EXPECT_LE(double(view->renderedSize(i).width()) * view->renderedSize(i).height(),
            PdfPagesView::MaximumPagePixels)
            << i;
        if (i == 1) {
            // The black sliver shows as a line down the middle of the view.
            const QRect rect = view->pageRect(1).toRect();
            EXPECT_EQ(image.pixelColor(rect.left(), 300), QColor(Qt::black));
            EXPECT_NE(image.pixelColor(rect.left() - 20, 300), QColor(Qt::black));
        }
    }
    // Far down the content, the page under a point is still found.
    view->scrollToPage(5);
    EXPECT_EQ(view->linkAt(QPoint(200, 100)), QUrl());
}

TEST_F(PdfPages, ATallPageRendersWithinThePixelBudgetAndANormalPageWhole)
{
    const qint64 before = peakMegabytes();
    // A few hundred bytes that asked for almost half a gigabyte, twice, at this width.
    ASSERT_TRUE(open({ { 10, 8000, "1 0 0 rg 0 0 10 10 re f" }, a4 }, 400));
    ASSERT_EQ(view->pageCount(), 2);
    const QRectF tall = view->pageRect(0);
    EXPECT_EQ(tall.height(), PdfPagesView::MaximumPageHeight);
    EXPECT_EQ(tall.width(), std::round(10 * PdfPagesView::MaximumPageHeight / 8000.0));
    // Its red foot is drawn, at its bottom.
    view->verticalScrollBar()->setValue(int(tall.bottom()) - 300);
    const QImage foot = view->viewport()->grab().toImage();
    EXPECT_EQ(foot.pixelColor(int(tall.center().x()), 298), QColor(Qt::red));
    EXPECT_EQ(view->renderedSize(0), tall.size().toSize());

    const QImage page = shown(1);
    const QRectF rect = view->pageRect(1);
    EXPECT_EQ(view->renderedSize(1), rect.size().toSize()); // nothing lost
    const int top = int(rect.top()) - view->verticalScrollBar()->value();
    EXPECT_EQ(page.pixelColor(int(rect.right()) - 3, top + 300).lightness(), 255);
    ASSERT_LE(top + rect.height(), page.height());
    EXPECT_EQ(
        page.pixelColor(int(rect.right()) - 3, top + int(rect.height()) - 3), QColor(Qt::blue));
    EXPECT_LT(peakMegabytes() - before, 200);
}

TEST_F(PdfPages, AtTheWidestViewANormalPageKeepsEveryPixelAndALongOneIsScaledDown)
{
    // A4 and Legal at over 4000 pixels wide are drawn in full; a page eight times as tall
    // as wide would pass the budget there, and is drawn smaller.
    ASSERT_TRUE(open({ a4, { 612, 1008, {} }, { 595, 8 * 595, {} } }, 4200, 800));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(view->pageRect(i).width(), available()) << i;
        shown(i);
        EXPECT_EQ(view->renderedSize(i), view->pageRect(i).size().toSize()) << i;
    }
    const QRectF longPage = view->pageRect(2);
    EXPECT_LT(longPage.width(), available());
    EXPECT_NEAR(longPage.height() / longPage.width(), 8, 0.01);
    EXPECT_LE(longPage.width() * longPage.height(), PdfPagesView::MaximumPagePixels);
    EXPECT_GT(longPage.width() * longPage.height(), 0.99 * PdfPagesView::MaximumPagePixels);
    shown(2);
    EXPECT_EQ(view->renderedSize(2), longPage.size().toSize());
}

TEST_F(PdfPages, ContentTallerThanAnIntScrollsToItsLastPage)
{
    // Seventy thousand pages as tall as a page may be: over two billion points of content.
    QList<PageSpec> pages(70000, PageSpec { 1, 14400, {} });
    pages.last() = PageSpec { 1, 14400, "0 0 1 rg 0 0 1 14400 re f" };
    ASSERT_TRUE(open(pages, 400));
    ASSERT_EQ(view->pageCount(), 70000);
    const QRectF last = view->pageRect(69999);
    EXPECT_GT(last.top(), double(std::numeric_limits<int>::max()));
    EXPECT_EQ(
        last.top(), PdfPagesView::Spacing + 69999.0 * (last.height() + PdfPagesView::Spacing));

    const QImage image = shown(69999);
    EXPECT_TRUE(view->visiblePages().contains(69999));
    EXPECT_FALSE(view->visiblePages().contains(0));
    EXPECT_EQ(image.pixelColor(int(last.center().x()), image.height() - 20), QColor(Qt::blue));
    shown(35000);
    EXPECT_TRUE(view->visiblePages().contains(35000));
}

// A phone turned on its side: the view grows wider and shorter, and a page taller. What
// the reader was reading stays in sight, the top of the view having lain on a margin or not.
TEST_F(PdfPages, WiderAndShorterTheViewShowsTheFirstLineOfThePageMostInSightAtItsTop)
{
    // A black line a third of the way down each page, the only thing drawn on them.
    const PageSpec lined { 595, 842, "0 0 0 rg 100 560 400 20 re f" };
    const double line = (842.0 - 580) / 842;
    ASSERT_TRUE(open({ lined, lined, lined }, 300, 600));
    const auto shownAt = [&](int index, double down) {
        const QRectF page = view->pageRect(index);
        return page.top() + down * page.height() - view->scrollOffset().y();
    };

    // The top of the view on the empty foot of the first page; the second fills the rest.
    view->verticalScrollBar()->setValue(int(view->pageRect(1).top()) - 150);
    view->viewport()->repaint();
    ASSERT_EQ(view->visiblePages().first(), 0);
    ASSERT_GT(shownAt(1, line), 250);
    view->resize(900, 300);
    testsupport::processEvents();
    EXPECT_GE(shownAt(1, line), 0);
    EXPECT_LE(shownAt(1, line), PdfPagesView::Spacing + 1);
    const QImage image = view->viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(int(view->pageRect(1).center().x()), int(shownAt(1, line)) + 3),
        QColor(Qt::black));

    // The top of the view on the line itself: that point of it stays at the top.
    const QRectF second = view->pageRect(1);
    view->verticalScrollBar()->setValue(int(second.top() + line * second.height()) + 4);
    view->viewport()->repaint();
    const double down = (view->scrollOffset().y() - second.top()) / second.height();
    view->resize(300, 600);
    testsupport::processEvents();
    EXPECT_NEAR(shownAt(1, down), 0, 1);
}

TEST_F(PdfPages, ZoomedPastTheBudgetAPageIsRenderedAroundWhatIsInSightAndInItsPlace)
{
    ASSERT_TRUE(open({ a4, a4 }, 1000, 700));
    testsupport::processEvents();
    const QRectF fitted = view->pageRect(0);
    ASSERT_EQ(fitted.width(), available());
    view->setZoom(PdfPagesView::MaximumZoom, QPointF(0, 0));
    testsupport::processEvents(PdfPagesView::SharpenDelay + 100);
    const QRectF page = view->pageRect(0);
    EXPECT_NEAR(page.width(), fitted.width() * PdfPagesView::MaximumZoom, 1);
    ASSERT_GT(page.width() * page.height(), PdfPagesView::WholePagePixels);
    EXPECT_GT(view->horizontalScrollBar()->maximum(), 0);

    // The page's top left corner: white, and only about a view's worth of it rendered.
    QImage image = view->viewport()->grab().toImage();
    EXPECT_EQ(view->scrollOffset(), QPoint(0, 0));
    EXPECT_EQ(image.pixelColor(int(page.left()) + 30, int(page.top()) + 30), QColor(Qt::white));
    const QSize held = view->renderedSize(0);
    EXPECT_LE(double(held.width()) * held.height(), 4.0 * 1000 * 700);

    // Its bottom right corner, where the blue square is, drawn where the page is.
    view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum());
    view->verticalScrollBar()->setValue(int(page.bottom()) - view->viewport()->height() + 4);
    image = view->viewport()->grab().toImage();
    const QPoint corner = (page.bottomRight() - QPointF(view->scrollOffset())).toPoint();
    const double square = 50 * page.width() / 595;
    EXPECT_EQ(image.pixelColor(corner - QPoint(int(square) - 8, 8)), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(corner - QPoint(int(square) + 8, 8)), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(corner - QPoint(8, int(square) + 8)), QColor(Qt::white));

    // The keys go back step by step, and Ctrl+0 fits the width again.
    QTest::keyClick(view.get(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_NEAR(view->zoom(), PdfPagesView::MaximumZoom / PdfPagesView::ZoomStep, 1e-9);
    QTest::keyClick(view.get(), Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_NEAR(view->zoom(), PdfPagesView::MaximumZoom, 1e-9);
    QTest::keyClick(view.get(), Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(view->zoom(), 1.0);
    EXPECT_EQ(view->pageRect(0), fitted);
    EXPECT_EQ(view->horizontalScrollBar()->maximum(), 0);
    testsupport::processEvents(PdfPagesView::SharpenDelay + 100);
    view->viewport()->grab();
    EXPECT_EQ(view->renderedSize(view->visiblePages().first()),
        view->pageRect(view->visiblePages().first()).size().toSize());
}

// Ctrl with the wheel or a key zooms a step: a page whose left edge, where its lines begin,
// is in sight keeps that edge where it is; scrolled across, the wheel zooms at the pointer.
TEST_F(PdfPages, TheWheelAndTheKeysKeepAPagesLeftEdgeWhereItIsWhileItIsInSight)
{
    ASSERT_TRUE(open({ a4, a4 }, 400, 600));
    testsupport::processEvents();
    QWidget* sheet = view->viewport();
    const QPointF pointer(300, 200);
    const auto wheel = [&](int delta) {
        QWheelEvent event(pointer, sheet->mapToGlobal(pointer), QPoint(), QPoint(0, delta),
            Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(sheet, &event);
    };
    const auto leftEdge = [&] { return view->pageRect(0).left() - view->scrollOffset().x(); };
    // The point of the first page under the pointer, as shares of its width and height.
    const auto under = [&] {
        const QRectF page = view->pageRect(0);
        const QPointF content = pointer + QPointF(view->scrollOffset());
        return QPointF(
            (content.x() - page.left()) / page.width(), (content.y() - page.top()) / page.height());
    };

    const QPointF before = under();
    wheel(120);
    wheel(120);
    EXPECT_NEAR(view->zoom(), PdfPagesView::ZoomStep * PdfPagesView::ZoomStep, 1e-9);
    EXPECT_EQ(leftEdge(), PdfPagesView::Spacing);
    EXPECT_NEAR(under().y(), before.y(), 0.005);
    EXPECT_GT(view->horizontalScrollBar()->maximum(), 0);
    QTest::keyClick(view.get(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(leftEdge(), PdfPagesView::Spacing);
    wheel(-120);
    EXPECT_NEAR(view->zoom(), PdfPagesView::ZoomStep * PdfPagesView::ZoomStep, 1e-9);
    EXPECT_EQ(leftEdge(), PdfPagesView::Spacing);

    view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum() / 2);
    ASSERT_LT(leftEdge(), 0);
    const QPointF across = under();
    wheel(120);
    EXPECT_NEAR(under().x(), across.x(), 0.005);
    EXPECT_NEAR(under().y(), across.y(), 0.005);
}

TEST_F(PdfPages, ATouchpadPinchZoomsAtTheFingersAndOneFingerPansAndDoubleTapsFit)
{
    ASSERT_TRUE(open({ a4, a4 }, 400, 600));
    testsupport::processEvents();
    const QRectF fitted = view->pageRect(0);
    QWidget* sheet = view->viewport();
    sheet->repaint();

    // A touchpad's pinch: each step says how much the scale grew.
    static const QPointingDevice* const touchpad = QPointingDevice::primaryPointingDevice();
    const QPointF at(100, 200);
    const auto gesture = [&](Qt::NativeGestureType type, double value) {
        QNativeGestureEvent event(type, touchpad, 2, at, at, sheet->mapToGlobal(at), value, {});
        QApplication::sendEvent(sheet, &event);
    };
    const int renders = view->renderCount();
    gesture(Qt::BeginNativeGesture, 0);
    for (int i = 0; i < 5; ++i)
        gesture(Qt::ZoomNativeGesture, 0.1);
    view->viewport()->repaint();
    // Drawn scaled while the fingers move: nothing rendered anew yet.
    EXPECT_EQ(view->renderCount(), renders);
    gesture(Qt::EndNativeGesture, 0);
    EXPECT_NEAR(view->zoom(), std::pow(1.1, 5), 1e-9);
    EXPECT_NEAR(view->pageRect(0).width(), fitted.width() * std::pow(1.1, 5), 1);
    testsupport::processEvents(PdfPagesView::SharpenDelay + 100);
    view->viewport()->repaint();
    EXPECT_GT(view->renderCount(), renders);
    EXPECT_EQ(view->renderedSize(0), view->pageRect(0).size().toSize());

    // One finger drags the page the way it moves.
    static QPointingDevice* const finger = QTest::createTouchDevice();
    const QPoint before = view->scrollOffset();
    QTest::touchEvent(sheet, finger).press(0, QPoint(200, 300), sheet);
    QTest::touchEvent(sheet, finger).move(0, QPoint(180, 270), sheet);
    QTest::touchEvent(sheet, finger).move(0, QPoint(160, 240), sheet);
    QTest::touchEvent(sheet, finger).release(0, QPoint(160, 240), sheet);
    EXPECT_EQ(view->scrollOffset(), before + QPoint(40, 60));
    EXPECT_NEAR(view->zoom(), std::pow(1.1, 5), 1e-9);

    // Two quick taps fit the width again.
    for (int tap = 0; tap < 2; ++tap) {
        QTest::touchEvent(sheet, finger).press(0, QPoint(150, 150), sheet);
        QTest::touchEvent(sheet, finger).release(0, QPoint(150, 150), sheet);
    }
    EXPECT_EQ(view->zoom(), 1.0);
    EXPECT_EQ(view->pageRect(0), fitted);

    // Zoom stays between the fitted width and its most.
    view->setZoom(100);
    EXPECT_EQ(view->zoom(), PdfPagesView::MaximumZoom);
    view->setZoom(0.1);
    EXPECT_EQ(view->zoom(), 1.0);
}
