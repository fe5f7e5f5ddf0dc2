#include "grid/BrowserViewController.h"
#include "GridScreenFixture.h"
#include "common/LocalWebServer.h"
#include "grid/YoutubeViewController.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/MailComposeViewController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/WebView.h"
#include "widgets/PopoverController.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

using platform::ui::BarButtonItem;
using SystemItem = platform::ui::BarButtonItem::SystemItem;

namespace {

struct Browser : gridtest::GridScreens {
    QTemporaryDir site;
    std::unique_ptr<LocalWebServer> server;
    QStringList opened;
    MainCollectionViewController* grid = nullptr;

    void SetUp() override
    {
        GridScreens::SetUp();
        for (const char* name : { "one", "two", "three" }) {
            QFile page(site.filePath(QStringLiteral("%1.html").arg(name)));
            ASSERT_TRUE(page.open(QIODevice::WriteOnly));
            page.write(QStringLiteral("<html><head><title>Page %1</title></head><body><h2>Page %1"
                                      "</h2><p>Kivotab help, page %1.</p><a href=\"one.html\">one"
                                      "</a> <a href=\"two.html\">two</a> <a href=\"three.html\">"
                                      "three</a></body></html>")
                           .arg(name)
                           .toUtf8());
        }
        server = std::make_unique<LocalWebServer>(site.path());
        ASSERT_TRUE(server->isRunning()) << server->report();
        auto& application = platform::ui::Application::shared();
        application.setOpenURLHandler([this](const QUrl& url) {
            opened << url.toString();
            return true;
        });
        application.setSchemeHandlerQuery([](const QString&) { return QString(); });
    }
    void TearDown() override
    {
        platform::ui::Application::shared().setOpenURLHandler({});
        platform::ui::Application::shared().setSchemeHandlerQuery({});
        GridScreens::TearDown();
    }

    BrowserViewController* browse(const QString& path, const QString& device,
        unsigned actions = BrowserViewController::DefaultActions)
    {
        grid = open(itemsRecord(), device);
        auto* browser = new BrowserViewController(server->url(path));
        browser->setAvailableActions(actions);
        navigation->pushViewController(browser, false);
        settle();
        EXPECT_TRUE(loaded(browser));
        return browser;
    }

    static bool loaded(BrowserViewController* browser)
    {
        const bool done = testsupport::waitUntil(
            [browser] { return !browser->mainWebView()->isLoading(); }, 8000);
        settle();
        return done;
    }

    static QList<SystemItem> kinds(const QList<BarButtonItem*>& items)
    {
        QList<SystemItem> list;
        for (BarButtonItem* item : items)
            list << item->systemItem();
        return list;
    }

    static QStringList titles(platform::ui::ActionSheet* sheet)
    {
        QStringList list;
        for (int i = 0; i < sheet->numberOfButtons(); ++i)
            list << sheet->buttonTitleAtIndex(i);
        return list;
    }

    static void choose(platform::ui::ActionSheet* sheet, const QString& title)
    {
        const int index = titles(sheet).indexOf(title);
        ASSERT_GE(index, 0) << title.toStdString();
        sheet->clickButtonAtIndex(index);
        settle();
    }
};

constexpr SystemItem Fixed = SystemItem::FixedSpace;
constexpr SystemItem Flexible = SystemItem::FlexibleSpace;
constexpr SystemItem Image = SystemItem::None;

} // namespace

TEST_F(Browser, TabletBarsForActionsElevenAndZero)
{
    BrowserViewController* browser = browse("/one.html", "tablet");
    const auto items = browser->navigationItem()->rightBarButtonItems();
    EXPECT_EQ(kinds(items),
        QList<SystemItem>({ Fixed, SystemItem::Action, Fixed, Image, Flexible, Image, Flexible,
            SystemItem::Refresh, Flexible }));
    EXPECT_EQ(items[3], browser->forwardBarButtonItem());
    EXPECT_EQ(items[5], browser->backBarButtonItem());

    browser->setAvailableActions(0);
    browser->updateToolbarItems();
    EXPECT_EQ(kinds(browser->navigationItem()->rightBarButtonItems()),
        QList<SystemItem>({ Fixed, Image, Fixed, Image, Flexible, SystemItem::Refresh, Flexible }));
}

TEST_F(Browser, PhoneBarsForActionsElevenAndZero)
{
    BrowserViewController* browser = browse("/one.html", "phone", 0);
    EXPECT_EQ(kinds(browser->toolbarItems()),
        QList<SystemItem>(
            { Flexible, Image, Flexible, Image, Flexible, SystemItem::Refresh, Flexible }));
    EXPECT_FALSE(navigation->isToolbarHidden());
    browser->setAvailableActions(11);
    browser->updateToolbarItems();
    EXPECT_EQ(kinds(browser->toolbarItems()),
        QList<SystemItem>({ Fixed, Image, Flexible, Image, Flexible, SystemItem::Refresh, Flexible,
            SystemItem::Action, Fixed }));
}

TEST_F(Browser, ButtonsFollowThePagesOverThreeOfThem)
{
    BrowserViewController* browser = browse("/one.html", "phone");
    EXPECT_FALSE(browser->backBarButtonItem()->isEnabled());
    EXPECT_FALSE(browser->forwardBarButtonItem()->isEnabled());
    EXPECT_EQ(browser->navigationItem()->title(), "Page one");

    browser->mainWebView()->followLink(QUrl("two.html"));
    // While loading: stop in the middle, the action button off.
    EXPECT_TRUE(browser->toolbarItems().contains(browser->stopBarButtonItem()));
    EXPECT_FALSE(browser->actionBarButtonItem()->isEnabled());
    EXPECT_TRUE(platform::ui::Device::current().networkActivityIndicatorVisible());
    ASSERT_TRUE(loaded(browser));
    EXPECT_FALSE(platform::ui::Device::current().networkActivityIndicatorVisible());
    EXPECT_TRUE(browser->toolbarItems().contains(browser->refreshBarButtonItem()));
    browser->mainWebView()->followLink(QUrl("three.html"));
    ASSERT_TRUE(loaded(browser));
    EXPECT_TRUE(browser->backBarButtonItem()->isEnabled());
    EXPECT_FALSE(browser->forwardBarButtonItem()->isEnabled());

    browser->backBarButtonItem()->trigger();
    ASSERT_TRUE(loaded(browser));
    EXPECT_EQ(browser->navigationItem()->title(), "Page two");
    EXPECT_TRUE(browser->backBarButtonItem()->isEnabled());
    EXPECT_TRUE(browser->forwardBarButtonItem()->isEnabled());
    browser->backBarButtonItem()->trigger();
    ASSERT_TRUE(loaded(browser));
    EXPECT_FALSE(browser->backBarButtonItem()->isEnabled());
    EXPECT_TRUE(browser->forwardBarButtonItem()->isEnabled());
    EXPECT_TRUE(browser->actionBarButtonItem()->isEnabled());
}

TEST_F(Browser, TheSheetOffersItsEntriesInOrderWithTheAddressOfItsTime)
{
    BrowserViewController* browser = browse("/one.html", "tablet");
    browser->actionButtonClicked();
    platform::ui::ActionSheet* sheet = browser->pageActionSheet();
    EXPECT_EQ(sheet->title(), server->url("/one.html").toString());
    // Default 11, no Chrome on this desktop: the desktop's browser, mail, cancel.
    EXPECT_EQ(
        titles(sheet), QStringList({ "Open in Browser", "Mail Link to this Page", "Cancel" }));
    EXPECT_EQ(sheet->cancelButtonIndex(), 2);
    browser->actionButtonClicked(); // one is open: nothing new
    EXPECT_EQ(browser->pageActionSheet(), sheet);
    choose(sheet, "Cancel");

    browser->mainWebView()->followLink(QUrl("two.html"));
    ASSERT_TRUE(loaded(browser));
    platform::ui::Application::shared().setSchemeHandlerQuery(
        [](const QString& scheme) { return scheme == "googlechrome" ? "chrome.desktop" : ""; });
    browser->setAvailableActions(15);
    browser->actionButtonClicked();
    sheet = browser->pageActionSheet();
    EXPECT_EQ(sheet->title(), server->url("/two.html").toString());
    EXPECT_EQ(titles(sheet),
        QStringList({ "Copy Link", "Open in Browser", "Open in Chrome", "Mail Link to this Page",
            "Cancel" }));
    choose(sheet, "Open in Browser");
    EXPECT_EQ(opened, QStringList({ server->url("/two.html").toString() }));
}

TEST_F(Browser, ChromeCopyAndMailTakeTheCurrentAddress)
{
    platform::ui::Application::shared().setSchemeHandlerQuery(
        [](const QString& scheme) { return scheme == "googlechrome" ? "chrome.desktop" : ""; });
    BrowserViewController* browser = browse("/one.html", "phone", 15);
    const QString address = server->url("/one.html").toString();

    browser->actionButtonClicked();
    choose(browser->pageActionSheet(), "Open in Chrome");
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first(), "googlechrome" + address.mid(address.indexOf(':')));
    EXPECT_EQ(BrowserViewController::chromeURL(QUrl("https://a.example/x?y=1#z")),
        QUrl("googlechromes://a.example/x?y=1#z"));
    EXPECT_TRUE(BrowserViewController::chromeURL(QUrl("ftp://a.example/")).isEmpty());

    browser->actionButtonClicked();
    choose(browser->pageActionSheet(), "Copy Link");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), address);

    browser->actionButtonClicked();
    choose(browser->pageActionSheet(), "Mail Link to this Page");
    auto* composer = qobject_cast<platform::ui::MailComposeViewController*>(
        navigation->presentedViewController());
    ASSERT_NE(composer, nullptr);
    EXPECT_EQ(composer->message().subject, "Page one");
    EXPECT_EQ(composer->message().body, address);
    composer->setToRecipients({ QStringLiteral("ana@example.com") });
    composer->send();
    const QString sent = composer->lastSentPath();
    settle(400);
    QFile mail(sent);
    ASSERT_TRUE(mail.open(QIODevice::ReadOnly));
    const QByteArray eml = mail.readAll();
    EXPECT_TRUE(eml.contains("Subject: Page one"));
    EXPECT_EQ(navigation->presentedViewController(), nullptr);
}

TEST_F(Browser, TheVideoShowsAsAPanelOfItsSizeInItsPopup)
{
    grid = open(itemsRecord(), "tablet");
    platform::ui::Application::shared().keyWindow()->setFrame(QRectF(0, 0, 380, 700));
    settle();
    const QSizeF size = YoutubeViewController::getHDSize();
    EXPECT_EQ(size, QSizeF(320, 180));
    auto* video = new YoutubeViewController("https://www.solvane.net/video", "Kivotab", size);
    EXPECT_TRUE(video->html().contains(
        "<iframe width=\"320\" height=\"180\" src=\"https://www.solvane.net/video\""));
    grid->showPopupController(
        video, QSizeF(size.width() + 20, size.height() + 51), 16, nullptr, true);
    settle(300);
    ASSERT_NE(grid->popupController(), nullptr);
    EXPECT_EQ(video->videoPanel()->frame().size(), QSizeF(320, 180));
    auto* play = video->view()->findChild<platform::ui::Button*>();
    ASSERT_NE(play, nullptr);
    play->sendActionsForControlEvents(platform::ui::ControlEventTouchUpInside);
    EXPECT_EQ(opened, QStringList({ "https://www.solvane.net/video" }));
    EXPECT_TRUE(saveShot("browser-video-popup-tablet.png"));
}

TEST_F(Browser, ScreenshotsOfHelpWithItsSheetAndOfALinkPage)
{
    for (const QString device : { "phone", "tablet" }) {
        grid = open(itemsRecord(), device);
        auto* help = new BrowserViewController(BrowserViewController::bundledHelpURL());
        navigation->pushViewController(help, false);
        settle();
        ASSERT_TRUE(loaded(help));
        EXPECT_EQ(help->navigationItem()->title(), "Kivotab User Guide");
        help->mainWebView()->followLink(QUrl("tables.html"));
        ASSERT_TRUE(loaded(help));
        help->actionButtonClicked();
        settle(400);
        EXPECT_TRUE(saveShot(QStringLiteral("browser-help-sheet-%1.png").arg(device)));
        help->pageActionSheet()->clickButtonAtIndex(help->pageActionSheet()->cancelButtonIndex());
        settle(300);

        auto* link = new BrowserViewController(server->url("/two.html"));
        navigation->pushViewController(link, false);
        settle();
        ASSERT_TRUE(loaded(link));
        EXPECT_TRUE(saveShot(QStringLiteral("browser-link-page-%1.png").arg(device)));
        platform::ui::Application::shared().reset();
        navigation.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(Browser, ScreenshotOfTheVideoPopupOnAPhone)
{
    grid = open(itemsRecord(), "phone");
    const QSizeF size = YoutubeViewController::getHDSize();
    auto* video = new YoutubeViewController(KivoAppDelegate::getVideoUrl(), "Kivotab", size);
    grid->showPopupController(
        video, QSizeF(size.width() + 20, size.height() + 51), 16, nullptr, true);
    settle(400);
    EXPECT_EQ(video->videoPanel()->frame().size(), size);
    EXPECT_TRUE(saveShot("browser-video-popup-phone.png"));
}
