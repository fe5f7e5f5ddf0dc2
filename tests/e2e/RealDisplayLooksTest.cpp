#include "AppFixture.h"

#include "grid/KivoPreviewController.h"
#include "model/KivotabPrefernces.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/PdfPagesView.h"
#include "style/Theme.h"

#include <poppler-qt6.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPointingDevice>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextDocument>
#include <QWheelEvent>
#include <QWindow>

// What a person sees on a real X server, read back from the server: icons on a selected
// tile, and the user guide's contents followed with the mouse.
namespace e2e {
namespace {

constexpr int kHomeHelpButton = 25;
const QString kColourValue = QStringLiteral("3472FACA-51AD-40A3-8CFB-F4CCFF726593");
const QString kBooksDefinition = QStringLiteral("69905CFA-4BDD-4FED-91B9-D7B1EB140839");

struct RealDisplayLooks : AppTest {
    void SetUp() override
    {
        if (QGuiApplication::platformName() != "xcb")
            GTEST_SKIP() << "needs a real X server (QT_QPA_PLATFORM=xcb)";
        AppTest::SetUp();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window()->windowHandle()));
        settle(100);
    }

    static QRect inWindow(platform::ui::View* view)
    {
        return view->convertRectToView(view->bounds(), nullptr).toAlignedRect();
    }
};

// The pixels of the area that a person tells from the colour around them.
int standingOut(const QImage& shot, const QRect& area, const QColor& around)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (std::max({ std::abs(c.red() - around.red()), std::abs(c.green() - around.green()),
                    std::abs(c.blue() - around.blue()) })
                > 100)
                ++count;
        }
    return count;
}

// The pixels of the area of about that colour.
int alike(const QImage& shot, const QRect& area, const QColor& colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (std::max({ std::abs(c.red() - colour.red()), std::abs(c.green() - colour.green()),
                    std::abs(c.blue() - colour.blue()) })
                <= 24)
                ++count;
        }
    return count;
}

TEST_P(RealDisplayLooks, ASelectedTileKeepsItsIconsUnderAPurpleTheme)
{
    // Purple bars and icons: the highlight is a lighter purple.
    KivotabPrefernces* preferences = delegate->kivotabPreferences();
    const QVariantMap purple { { kColourValue, "{0.4196, 0.1294, 0.4706, 1.0000}" } };
    preferences->setImagethemeColor(purple);
    preferences->setBarthemeColor(purple);
    Theme::reloadStyle();
    ApplicationScreen* databases = top();
    ASSERT_TRUE(addDatabase(databases, "Household", "Things at home"));
    const int at = int(titles(databases).indexOf("Household"));
    ASSERT_GE(at, 0);
    GestureSynthesizer::tap(tileView(databases, at, 3000));
    const QImage shot = server();
    ASSERT_EQ(databases->selectedRow(), at);
    const QColor highlight(Theme::current()->RowHighLightColor().toQColor().rgb());
    // The tile shows the highlight, and its icon and arrow stand out on it.
    const QRect title = inWindow(tileView(databases, at, 3000));
    EXPECT_EQ(shot.pixelColor(title.right() - 2, title.top() + 2), highlight);
    EXPECT_GT(standingOut(shot, inWindow(tileView(databases, at, 4000)), highlight), 40);
    EXPECT_GT(standingOut(shot, inWindow(tileView(databases, at, 2000)), highlight), 20);
    ASSERT_TRUE(saveShot(QString("real-selected-tile-purple-%1.png").arg(GetParam())));
}

// The prompt of a protected table takes the touch on the tile's arrow from the grid: the
// tile must let go of its pressed look all the same, once another tile is chosen.
TEST_P(RealDisplayLooks, ATileLetsGoOfItsPressWhenItsPasswordPromptIsCancelled)
{
    ApplicationScreen* databases = top();
    ASSERT_TRUE(addDatabase(databases, "Household", "Things at home"));
    ASSERT_TRUE(open(databases, "Household"));
    ApplicationScreen* home = top();
    ASSERT_NE(home, databases);
    ASSERT_TRUE(addTable(home, "Books", kBooksDefinition, true));
    ASSERT_TRUE(addTable(home, "Films", kBooksDefinition));
    const int books = int(titles(home).indexOf("Books"));
    const int films = int(titles(home).indexOf("Films"));
    ASSERT_GE(books, 0);
    ASSERT_GE(films, 0);

    GestureSynthesizer::tap(tileView(home, books, 2000));
    settle(100);
    platform::ui::AlertView* prompt = alertTitled("Create Password");
    ASSERT_NE(prompt, nullptr);
    prompt->dismissWithClickedButtonIndex(prompt->cancelButtonIndex(), false);
    settle(100);
    EXPECT_EQ(top(), home);
    GestureSynthesizer::tap(tileView(home, films, 3000));
    const QImage shot = server();
    ASSERT_EQ(home->selectedRow(), films);

    auto* cell = home->collectionView()->cellForItemAtIndexPath(platform::ui::IndexPath(books, 0));
    ASSERT_NE(cell, nullptr);
    EXPECT_FALSE(cell->isHighlighted());
    EXPECT_FALSE(cell->isSelected());
    // Its icon and arrow are drawn as on any tile not chosen: the theme's colour, not the
    // light one of a highlight.
    const QColor highlight(Theme::current()->RowHighLightColor().toQColor().rgb());
    for (int tag : { 4000, 2000 }) {
        auto* icon = qobject_cast<platform::ui::ImageView*>(tileView(home, books, tag));
        ASSERT_NE(icon, nullptr) << tag;
        EXPECT_FALSE(icon->isHighlighted()) << tag;
        EXPECT_LT(alike(shot, inWindow(icon), Qt::white), 3) << tag;
    }
    const QRect title = inWindow(tileView(home, books, 3000));
    EXPECT_NE(shot.pixelColor(title.right() - 2, title.top() + 2), highlight);
    ASSERT_TRUE(saveShot(QString("real-prompt-cancelled-tile-%1.png").arg(GetParam())));
}

// The log as a person reads it in the preview: its long lines wrap at the screen's edge,
// nothing of them is off to the side.
TEST_P(RealDisplayLooks, TheLogsLongLinesWrapInThePreview)
{
    const QString path = platform::Folders::documents() + "/import.log";
    QFile log(path);
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    for (int i = 0; i < 3; ++i)
        log.write("2026-12-09 18:00:0" + QByteArray::number(i) + " Row " + QByteArray::number(i + 2)
            + " was not imported: the value of the column Finished On is not a date in the "
              "form the table keeps, so the row was left out and the import went on.\n");
    log.close();
    KivoPreviewController::createPreviewController(QUrl::fromLocalFile(path), top());
    settle(300);
    auto* preview = dynamic_cast<KivoPreviewController*>(navigation->topViewController());
    ASSERT_NE(preview, nullptr);
    auto* text = preview->view()->findChild<QPlainTextEdit*>();
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->isVisible());
    const QRect shown(text->mapTo(window(), QPoint(0, 0)), text->size());
    EXPECT_LE(shown.right(), window()->width());
    EXPECT_EQ(text->horizontalScrollBar()->maximum(), 0);
    EXPECT_FALSE(text->horizontalScrollBar()->isVisible());
    // Each line of the file takes more than one on the screen.
    EXPECT_GT(text->document()->documentLayout()->documentSize().height(), 3.5);
    ASSERT_TRUE(saveShot(QString("real-log-preview-%1.png").arg(GetParam())));
}

TEST_P(RealDisplayLooks, TheUserGuidesContentsTakeThePreviewToTheChapter)
{
    ApplicationScreen* databases = top();
    ASSERT_TRUE(addDatabase(databases, "Household", "Things at home"));
    ASSERT_TRUE(open(databases, "Household"));
    GestureSynthesizer::tap(barButton(top(), kHomeHelpButton));
    settle(300);
    auto* preview = dynamic_cast<KivoPreviewController*>(navigation->topViewController());
    ASSERT_NE(preview, nullptr);
    platform::ui::PdfPagesView* pages = preview->pdfView();
    ASSERT_NE(pages, nullptr);

    // Where each entry of the contents is, and the sheet whose first line is its title.
    std::unique_ptr<Poppler::Document> guide
        = Poppler::Document::load(KivoPreviewController::userGuidePath());
    ASSERT_TRUE(guide);
    std::unique_ptr<Poppler::Page> contents = guide->page(0);
    struct Entry {
        QString title;
        QRectF area;
    };
    QList<Entry> entries;
    for (const auto& link : contents->links()) {
        const QRectF area = link->linkArea().normalized();
        const QSizeF size = contents->pageSizeF();
        entries.append({ contents
                             ->text(QRectF(area.left() * size.width(), area.top() * size.height(),
                                 area.width() * size.width(), area.height() * size.height()))
                             .trimmed(),
            area });
    }
    ASSERT_EQ(entries.size(), 10);
    const auto sheetTitled = [&](const QString& title) {
        for (int i = 1; i < guide->numPages(); ++i)
            if (guide->page(i)->text(QRectF()).section('\n', 0, 0).trimmed() == title)
                return i;
        return -1;
    };

    for (const Entry& entry : { entries[3], entries.last() }) {
        SCOPED_TRACE(entry.title.toStdString());
        pages->scrollToPage(0);
        settle(100);
        const QRect sheet
            = pages->pageRect(0).translated(0, -pages->verticalScrollBar()->value()).toRect();
        const QPoint onEntry(sheet.left() + int(entry.area.center().x() * sheet.width()),
            sheet.top() + int(entry.area.center().y() * sheet.height()));
        QTest::mouseClick(pages->viewport(), Qt::LeftButton, {}, onEntry);
        settle(200);
        const int expected = sheetTitled(entry.title);
        ASSERT_GT(expected, 0);
        // In sight, at the top unless the guide ends before the sheet could get there.
        const QList<int> visible = pages->visiblePages();
        EXPECT_TRUE(visible.contains(expected));
        EXPECT_FALSE(visible.contains(0));
        if (!visible.isEmpty() && visible.last() < guide->numPages() - 1) {
            EXPECT_EQ(visible.first(), expected);
        }
    }
    ASSERT_TRUE(saveShot(QString("real-guide-chapter-%1.png").arg(GetParam())));
}

TEST_P(RealDisplayLooks, TheGuideOpensFittedToTheWidthAndZoomsAsThePhonesOwnViewerDoes)
{
    ApplicationScreen* databases = top();
    ASSERT_TRUE(addDatabase(databases, "Household", "Things at home"));
    ASSERT_TRUE(open(databases, "Household"));
    GestureSynthesizer::tap(barButton(top(), kHomeHelpButton));
    settle(600);
    auto* preview = dynamic_cast<KivoPreviewController*>(navigation->topViewController());
    ASSERT_NE(preview, nullptr);
    platform::ui::PdfPagesView* pages = preview->pdfView();
    ASSERT_NE(pages, nullptr);
    QWidget* sheet = pages->viewport();
    const int fitted = sheet->width() - 2 * platform::ui::PdfPagesView::Spacing;
    const QRect shown(sheet->mapTo(window(), QPoint(0, 0)), sheet->size());
    // Beside the fitted page, a person sees the grey around it at both edges; zoomed in,
    // the page reaches past them, or past the right one only while its left edge stays.
    const int middle = shown.top() + shown.height() / 2;
    const QColor around = server().pixelColor(shown.left() + 2, middle);
    EXPECT_NE(around, QColor(Qt::white));
    const auto pageAtLeft = [&] { return server().pixelColor(shown.left() + 2, middle) != around; };
    const auto pageAtRight
        = [&] { return server().pixelColor(shown.right() - 2, middle) != around; };
    const auto pageAtEdges = [&] { return pageAtLeft() && pageAtRight(); };
    const auto leftEdge = [&] { return pages->pageRect(0).left() - pages->scrollOffset().x(); };

    // Opened, the first page fits the width.
    EXPECT_EQ(pages->pageRect(0).width(), fitted);
    // How much wider than fitted the first page is.
    const auto zoom = [&] { return pages->pageRect(0).width() / fitted; };
    constexpr double step = 1.25; // one notch or key press
    EXPECT_FALSE(pageAtLeft());
    EXPECT_FALSE(pageAtRight());

    // Ctrl with the wheel: the line under the pointer stays at its height, and the page grows
    // to the right: where its lines begin stays in sight.
    const QPointF pointer(sheet->width() / 3.0, sheet->height() / 3.0);
    const auto contentAt = [&](const QPointF& point) {
        const QRectF page = pages->pageRect(0);
        const QPointF content = point
            + QPointF(pages->horizontalScrollBar()->value(), pages->verticalScrollBar()->value());
        return QPointF(
            (content.x() - page.left()) / page.width(), (content.y() - page.top()) / page.height());
    };
    const auto wheelUp = [&] {
        QWheelEvent wheel(pointer, sheet->mapToGlobal(pointer), QPoint(), QPoint(0, 120),
            Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(sheet, &wheel);
        settle(300);
    };
    const QPointF before = contentAt(pointer);
    wheelUp();
    EXPECT_NEAR(zoom(), step, 0.01);
    EXPECT_NEAR(contentAt(pointer).y(), before.y(), 0.01);
    EXPECT_EQ(leftEdge(), platform::ui::PdfPagesView::Spacing);
    EXPECT_FALSE(pageAtLeft());
    EXPECT_TRUE(pageAtRight());

    // The keys go where the keyboard is: on the pages.
    window()->activateWindow();
    ASSERT_TRUE(testsupport::waitUntil([&] { return QApplication::focusWidget() == pages; }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Plus, Qt::ControlModifier);
    settle(60);
    EXPECT_NEAR(zoom(), step * step, 0.01);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Minus, Qt::ControlModifier);
    settle(60);
    EXPECT_NEAR(zoom(), step, 0.01);
    EXPECT_EQ(leftEdge(), platform::ui::PdfPagesView::Spacing);

    // Scrolled across, the left edge out of sight, the wheel zooms at the pointer.
    pages->horizontalScrollBar()->setValue(pages->horizontalScrollBar()->maximum());
    settle(60);
    ASSERT_LT(leftEdge(), 0);
    const QPointF across = contentAt(pointer);
    wheelUp();
    EXPECT_NEAR(zoom(), step * step, 0.01);
    EXPECT_NEAR(contentAt(pointer).x(), across.x(), 0.01);
    EXPECT_NEAR(contentAt(pointer).y(), across.y(), 0.01);
    EXPECT_TRUE(pageAtEdges());

    // A double tap fits the width again.
    QTest::mouseDClick(sheet, Qt::LeftButton, {}, pointer.toPoint());
    settle(300);
    EXPECT_EQ(pages->pageRect(0).width(), fitted);
    EXPECT_FALSE(pageAtEdges());

    // Two fingers spread to twice their distance zoom the page twice as wide.
    static QPointingDevice* const fingers = QTest::createTouchDevice();
    const QPoint centre(sheet->width() / 2, sheet->height() / 2);
    QTest::touchEvent(sheet, fingers)
        .press(0, centre - QPoint(40, 0), sheet)
        .press(1, centre + QPoint(40, 0), sheet);
    for (int i = 1; i <= 4; ++i)
        QTest::touchEvent(sheet, fingers)
            .move(0, centre - QPoint(40 + 10 * i, 0), sheet)
            .move(1, centre + QPoint(40 + 10 * i, 0), sheet);
    QTest::touchEvent(sheet, fingers)
        .release(0, centre - QPoint(80, 0), sheet)
        .release(1, centre + QPoint(80, 0), sheet);
    settle(400);
    EXPECT_NEAR(zoom(), 2.0, 0.01);
    EXPECT_TRUE(pageAtEdges());
    // Drawn sharp once the fingers have stopped: rendered at the page's new size.
    EXPECT_EQ(pages->renderedSize(pages->visiblePages().first()).width(),
        int(pages->pageRect(pages->visiblePages().first()).width()));
    ASSERT_TRUE(saveShot(QString("real-guide-zoomed-%1.png").arg(GetParam())));
}

INSTANTIATE_TEST_SUITE_P(Devices, RealDisplayLooks, ::testing::Values("tablet", "phone"));

// The guide on a phone with a notch and on a tablet, turned as its sensor turns it.
struct RealDisplayGuideTurns : RealDisplayLooks {
    // Turned upright or onto its side, and come to rest there.
    static bool turn(platform::ui::Orientation side)
    {
        platform::ui::Device::current().setOrientation(side);
        const bool upright = side == platform::ui::Orientation::Portrait;
        const bool settled = testsupport::waitUntil(
            [&] {
                settle(20);
                return (window()->width() < window()->height()) == upright;
            },
            3000);
        settle(300);
        return settled;
    }

    // The guide, opened upright from a database's home screen: its pages, or null.
    platform::ui::PdfPagesView* openGuideUpright()
    {
        ApplicationScreen* databases = top();
        if (!addDatabase(databases, "Household", "Things at home") || !open(databases, "Household")
            || !turn(platform::ui::Orientation::Portrait))
            return nullptr;
        GestureSynthesizer::tap(barButton(top(), kHomeHelpButton));
        settle(600);
        auto* preview = dynamic_cast<KivoPreviewController*>(navigation->topViewController());
        return preview ? preview->pdfView() : nullptr;
    }
};

// Upright, the reader has scrolled to a chapter: its first lines lie low in the view, and
// the top of the view is on the empty foot of the page before. Turned on its side, the view
// is a third as tall: the chapter's first lines come to its top.
TEST_P(RealDisplayGuideTurns, TurnedOnItsSideTheGuideKeepsTheChapterBeingReadInSight)
{
    platform::ui::PdfPagesView* pages = openGuideUpright();
    ASSERT_NE(pages, nullptr);

    // The chapter's heading: its sheet, and where it lies on it.
    std::unique_ptr<Poppler::Document> guide
        = Poppler::Document::load(KivoPreviewController::userGuidePath());
    ASSERT_TRUE(guide);
    const QString chapter = QStringLiteral("Rows");
    int sheet = -1;
    QRectF heading;
    for (int i = 1; i < guide->numPages() && sheet < 0; ++i) {
        std::unique_ptr<Poppler::Page> page = guide->page(i);
        if (page->text(QRectF()).section('\n', 0, 0).trimmed() != chapter)
            continue;
        const QSizeF size = page->pageSizeF();
        for (const auto& word : page->textList())
            if (word->text() == chapter) {
                const QRectF box = word->boundingBox();
                heading = QRectF(box.left() / size.width(), box.top() / size.height(),
                    box.width() / size.width(), box.height() / size.height());
                sheet = i;
                break;
            }
    }
    ASSERT_GT(sheet, 0);
    // The heading where the view shows it now.
    QWidget* viewport = pages->viewport();
    const auto shown = [&] {
        const QRectF page = pages->pageRect(sheet).translated(-QPointF(pages->scrollOffset()));
        return QRectF(page.left() + heading.left() * page.width(),
            page.top() + heading.top() * page.height(), heading.width() * page.width(),
            heading.height() * page.height());
    };

    const int below = int(viewport->height() * 0.6);
    pages->verticalScrollBar()->setValue(int(std::lround(pages->pageRect(sheet).top()
                                             + heading.top() * pages->pageRect(sheet).height()))
        - below);
    settle(300);
    ASSERT_EQ(pages->visiblePages().first(), sheet - 1);
    ASSERT_NEAR(shown().top(), below, 2);

    for (const auto side :
        { platform::ui::Orientation::LandscapeLeft, platform::ui::Orientation::LandscapeRight }) {
        SCOPED_TRACE(side == platform::ui::Orientation::LandscapeLeft ? "left" : "right");
        ASSERT_TRUE(turn(side));
        const QImage shot = server();
        const QRectF now = shown();
        // Wholly in sight, near the top, and drawn there on the screen.
        EXPECT_GE(now.top(), 0);
        EXPECT_LE(now.bottom(), viewport->height() / 3.0);
        const QRect onScreen = now.translated(viewport->mapTo(window(), QPoint(0, 0))).toRect();
        EXPECT_GT(
            standingOut(shot, onScreen, Qt::white), onScreen.width() * onScreen.height() / 10);
        // Upright again, the chapter stays in sight.
        ASSERT_TRUE(turn(platform::ui::Orientation::Portrait));
        EXPECT_GE(shown().top(), 0);
        EXPECT_LE(shown().bottom(), viewport->height());
    }
}

// On its side, a reader zooms in on the middle of a line: the page grows to the right and
// down, and where its lines begin stays in sight.
TEST_P(RealDisplayGuideTurns, OnItsSideCtrlWithTheWheelKeepsThePagesLeftEdgeInSight)
{
    platform::ui::PdfPagesView* pages = openGuideUpright();
    ASSERT_NE(pages, nullptr);
    ASSERT_TRUE(turn(platform::ui::Orientation::LandscapeLeft));
    QWidget* viewport = pages->viewport();
    const QRect shown(viewport->mapTo(window(), QPoint(0, 0)), viewport->size());
    const int middle = shown.top() + shown.height() / 2;
    const QColor around = server().pixelColor(shown.left() + 2, middle);
    ASSERT_NE(around, QColor(Qt::white));
    const int left = int(pages->pageRect(0).left()) - pages->scrollOffset().x();

    const QPointF pointer(viewport->width() / 2.0, viewport->height() / 2.0);
    const double height = pages->pageRect(0).height();
    const double down = pointer.y() + pages->scrollOffset().y() - pages->pageRect(0).top();
    for (int notch = 1; notch <= 3; ++notch) {
        QWheelEvent wheel(pointer, viewport->mapToGlobal(pointer), QPoint(), QPoint(0, 120),
            Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &wheel);
        settle(100);
    }
    settle(300);
    ASSERT_NEAR(pages->zoom(), std::pow(platform::ui::PdfPagesView::ZoomStep, 3), 1e-9);
    EXPECT_EQ(int(pages->pageRect(0).left()) - pages->scrollOffset().x(), left);
    // The line under the pointer stays at its height.
    EXPECT_NEAR(pointer.y() + pages->scrollOffset().y() - pages->pageRect(0).top(),
        down * pages->pageRect(0).height() / height, 1.5);
    // On the screen: the grey beside the page's left edge, the page past the right one.
    const QImage shot = server();
    EXPECT_EQ(shot.pixelColor(shown.left() + 2, middle), around);
    EXPECT_NE(shot.pixelColor(shown.left() + left + 2, middle), around);
    EXPECT_NE(shot.pixelColor(shown.right() - 2, middle), around);
}

INSTANTIATE_TEST_SUITE_P(Devices, RealDisplayGuideTurns, ::testing::Values("phone-x", "tablet"));

} // namespace
} // namespace e2e
