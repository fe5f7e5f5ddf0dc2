#include "platform/ui/SearchBar.h"
#include "common/GestureSynthesizer.h"
#include "common/TestSupport.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

// As the grid screens answer: Cancel shows while editing, Cancel empties the search.
struct GridLike : SearchBarDelegate {
    QStringList calls;
    bool searchBarShouldBeginEditing(SearchBar* bar) override
    {
        calls << "shouldBegin";
        bar->setShowsCancelButton(true, true);
        return true;
    }
    void searchBarTextDidBeginEditing(SearchBar*) override { calls << "didBegin"; }
    bool searchBarShouldEndEditing(SearchBar* bar) override
    {
        calls << "shouldEnd";
        bar->setShowsCancelButton(false, true);
        return true;
    }
    void searchBarTextDidEndEditing(SearchBar*) override { calls << "didEnd"; }
    void searchBarTextDidChange(SearchBar*, const QString& text) override
    {
        calls << "changed " + text;
    }
    void searchBarSearchButtonClicked(SearchBar* bar) override
    {
        calls << "search";
        bar->resignFirstResponder();
    }
    void searchBarCancelButtonClicked(SearchBar* bar) override
    {
        calls << "cancel";
        bar->setText(QString());
        bar->resignFirstResponder();
    }
    void searchBarBookmarkButtonClicked(SearchBar*) override { calls << "bookmark"; }
};

Image square(const QColor& color)
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return Image(image);
}

} // namespace

TEST(SearchBar, TellsItsDelegateOfEditingEveryChangeSearchCancelEscapeAndBookmark)
{
    Animation::setInstant(true);
    View root(QRectF(0, 0, 400, 100));
    root.show();
    auto* bar = new SearchBar(QRectF(0, 0, 400, 44), &root);
    GridLike delegate;
    bar->setDelegate(&delegate);
    bar->setPlaceholder("Search");
    EXPECT_EQ(bar->searchTextField()->placeholder(), "Search");
    EXPECT_TRUE(bar->cancelButton()->isHidden());

    testsupport::GestureSynthesizer::tap(bar->searchTextField(), QPointF(60, 14));
    EXPECT_TRUE(bar->isFirstResponder());
    // Made inside a shown view, the field's line edit shows as well.
    EXPECT_TRUE(bar->searchTextField()->lineEdit()->isVisible());
    EXPECT_FALSE(bar->cancelButton()->isHidden());
    // The field makes room for Cancel.
    EXPECT_LT(bar->searchTextField()->frame().right(), bar->cancelButton()->frame().left());
    QTest::keyClicks(bar->searchTextField()->lineEdit(), "ab");
    QTest::keyClick(bar->searchTextField()->lineEdit(), Qt::Key_Backspace);
    bar->setText("set in code");
    QTest::keyClick(bar->searchTextField()->lineEdit(), Qt::Key_Return);
    EXPECT_FALSE(bar->isFirstResponder());
    EXPECT_EQ(delegate.calls,
        QStringList({ "shouldBegin", "didBegin", "changed a", "changed ab", "changed a", "search",
            "shouldEnd", "didEnd" }));

    delegate.calls.clear();
    ASSERT_TRUE(bar->becomeFirstResponder());
    testsupport::GestureSynthesizer::tap(bar->cancelButton());
    EXPECT_EQ(delegate.calls,
        QStringList({ "shouldBegin", "didBegin", "cancel", "shouldEnd", "didEnd" }));
    EXPECT_EQ(bar->text(), "");
    testsupport::processEvents(20);
    EXPECT_TRUE(bar->cancelButton()->isHidden());
    EXPECT_FALSE(bar->isFirstResponder());

    // Escape in the field is Cancel; the key goes no further.
    delegate.calls.clear();
    ASSERT_TRUE(bar->becomeFirstResponder());
    QTest::keyClicks(bar->searchTextField()->lineEdit(), "z");
    QTest::keyClick(bar->searchTextField()->lineEdit(), Qt::Key_Escape);
    EXPECT_EQ(delegate.calls,
        QStringList({ "shouldBegin", "didBegin", "changed z", "cancel", "shouldEnd", "didEnd" }));
    EXPECT_EQ(bar->text(), "");
    EXPECT_FALSE(bar->isFirstResponder());

    // The bookmark shows in the empty field only, with its images for both states.
    EXPECT_TRUE(bar->bookmarkButton()->isHidden());
    bar->setShowsBookmarkButton(true);
    EXPECT_FALSE(bar->bookmarkButton()->isHidden());
    bar->setImageForSearchBarIcon(square(Qt::red), SearchBar::Icon::Bookmark, ControlStateNormal);
    bar->setImageForSearchBarIcon(
        square(Qt::blue), SearchBar::Icon::Bookmark, ControlStateSelected);
    EXPECT_EQ(bar->bookmarkButton()->imageForState(ControlStateNormal), square(Qt::red));
    EXPECT_EQ(bar->bookmarkButton()->imageForState(ControlStateSelected), square(Qt::blue));
    delegate.calls.clear();
    testsupport::GestureSynthesizer::tap(bar->bookmarkButton());
    EXPECT_EQ(delegate.calls, QStringList({ "bookmark" }));
    ASSERT_TRUE(bar->becomeFirstResponder());
    QTest::keyClicks(bar->searchTextField()->lineEdit(), "x");
    EXPECT_TRUE(bar->bookmarkButton()->isHidden());
    TextInput::endEditing(nullptr, true);
}

TEST(SearchBar, TakesTheAppearanceDefaultsWhenMade)
{
    auto& appearance = SearchBar::appearance();
    appearance.barTintColor = QColor(0, 144, 223);
    appearance.tintColor = Qt::white;
    appearance.searchFieldBackgroundColor = Qt::white;
    appearance.buttonTextAttributes.foregroundColor = Qt::yellow;
    SearchBar bar;
    EXPECT_EQ(bar.barTintColor(), QColor(0, 144, 223));
    EXPECT_EQ(bar.tintColor(), QColor(Qt::white));
    EXPECT_EQ(bar.searchFieldBackgroundColor(), QColor(Qt::white));
    EXPECT_EQ(bar.cancelButton()->titleColorForState(ControlStateNormal), QColor(Qt::yellow));
    appearance = {};
    SearchBar plain;
    EXPECT_NE(plain.barTintColor(), QColor(0, 144, 223));
}

// The search bar of a grid screen while a person types into it, on a tablet and a phone.
TEST(SearchBar, ScreenshotWhileEditing)
{
    Animation::setInstant(true);
    for (const QString device : { "tablet", "phone" }) {
        ASSERT_TRUE(Device::current().selectModel(device));
        const QColor blue(0, 144, 223);
        auto& navigationBar = NavigationBar::appearance();
        navigationBar.barTintColor = blue;
        navigationBar.tintColor = Qt::white;
        navigationBar.translucent = false;
        navigationBar.titleTextAttributes.foregroundColor = Qt::white;
        navigationBar.titleTextAttributes.font = Font::named("HelveticaNeue-Medium", 17);
        navigationBar.titleTextAttributes.hasFont = true;
        auto& appearance = SearchBar::appearance();
        appearance.barTintColor = blue;
        appearance.tintColor = Qt::white;
        appearance.searchFieldBackgroundColor = Qt::white;

        auto* navigation = new NavigationController();
        auto* screen = new ViewController();
        screen->setTitle("Inventory");
        navigation->pushViewController(screen, false);
        Application::shared().setRootViewController(navigation);
        Application::shared().makeKeyAndVisible();
        View* content = screen->view();
        content->setBackgroundColor(QColor(239, 239, 244));
        const double width = content->bounds().width();
        auto* bar = new SearchBar(QRectF(0, 0, width, SearchBar::Height), content);
        bar->setAutoresizingMask(AutoresizingFlexibleWidth);
        bar->setPlaceholder("Search");
        bar->setShowsBookmarkButton(true);
        GridLike delegate;
        bar->setDelegate(&delegate);
        const QStringList rows = { "Kitchen inventory", "Kitchen knives", "Kitchen scale" };
        for (int i = 0; i < rows.size(); ++i) {
            auto* row = new Label(QRectF(0, SearchBar::Height + 1 + i * 45, width, 44), content);
            row->setBackgroundColor(Qt::white);
            row->setText("    " + rows[i]);
            row->setFont(Font::named("HelveticaNeue", 16));
        }
        ASSERT_TRUE(bar->becomeFirstResponder());
        QTest::keyClicks(bar->searchTextField()->lineEdit(), "Kitch");
        testsupport::processEvents(20);
        EXPECT_FALSE(bar->cancelButton()->isHidden());
        Application::shared().keyWindow()->snapshot().save(
            testsupport::outputPath(QStringLiteral("search-bar-editing-%1.png").arg(device)));

        TextInput::endEditing(nullptr, true);
        Application::shared().reset();
        delete navigation;
        appearance = {};
        navigationBar = {};
    }
    EXPECT_TRUE(Device::current().selectModel("tablet"));
}
