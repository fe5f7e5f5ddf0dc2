#include "grid/KivoPreviewController.h"
#include "GridScreenFixture.h"
#include "bridge/iCloud.h"
#include "bridge/iCloudDocumentService.h"
#include "grid/CloudDocumentService.h"
#include "platform/Folders.h"
#include "platform/ui/PdfPagesView.h"
#include "platform/ui/Toolbar.h"
#include "style/UIColor_Expanded.h"
#include "widgets/MailComposeViewController.h"
#include "widgets/RatePrompt.h"

#include <poppler-qt6.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QRegularExpression>
#include <QSet>

using platform::ui::Device;

namespace {

struct FilePreview : gridtest::GridScreens {
    void SetUp() override
    {
        GridScreens::SetUp();
        iCloudDocumentService::install();
    }

    static QString cloudFolder()
    {
        return iCloud::sharedCloud().ubiquitousDocumentsDirectoryURL().toLocalFile();
    }
    static void write(const QString& path, const QByteArray& data)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }
    static QString alertMessages()
    {
        QStringList messages;
        for (platform::ui::AlertView* alert : platform::ui::AlertView::visibleAlerts())
            messages << alert->message();
        return messages.join('\n');
    }
};

} // namespace

TEST_F(FilePreview, ALocalFileIsPushedStyledAndTheScreenKnowsItWentToAPreview)
{
    auto* screen = open(itemsRecord(), "phone");
    const QString path = platform::Folders::documents() + "/notes.txt";
    write(path, "A note\n");
    KivoPreviewController* preview
        = KivoPreviewController::createPreviewController(path, false, screen);
    settle(300);
    EXPECT_EQ(navigation->topViewController(), preview);
    EXPECT_TRUE(screen->popFromKivoPreview());
    EXPECT_EQ(preview->kind(), platform::ui::PreviewController::Kind::Text);
    EXPECT_EQ(
        navigation->navigationBar()->barTintColor(), Theme::current()->toolbarColor().toQColor());
}

TEST_F(FilePreview, WithoutACallingScreenThePreviewIsMadeButNotShown)
{
    auto* screen = open(itemsRecord(), "tablet");
    std::unique_ptr<KivoPreviewController> preview(KivoPreviewController::createPreviewController(
        QUrl::fromLocalFile(KivoPreviewController::userGuidePath()), nullptr));
    ASSERT_NE(preview, nullptr);
    settle(100);
    EXPECT_EQ(navigation->topViewController(), screen);
    EXPECT_FALSE(screen->popFromKivoPreview());
}

TEST_F(FilePreview, TheUserGuideIsAPdfOfTheHelpPages)
{
    const QString guide = KivoPreviewController::userGuidePath();
    ASSERT_FALSE(guide.isEmpty());
    int exitCode = -1;
    const QString text
        = QString::fromUtf8(testsupport::runTool("pdftotext", { guide, "-" }, {}, &exitCode));
    ASSERT_EQ(exitCode, 0);
    for (const char* chapter :
        { "First steps", "Databases", "Tables and columns", "Rows", "Search, sort and",
            "Protection", "Backup and restore", "Import", "Export", "Settings" })
        EXPECT_TRUE(text.contains(QString::fromUtf8(chapter))) << chapter;
    const QByteArray info = testsupport::runTool("pdfinfo", { guide });
    EXPECT_TRUE(info.contains("Kivotab User Guide"));
}

// Filters and sorts live with the open rows screen, not with the table.
TEST_F(FilePreview, TheUserGuideSaysFiltersAndSortsLastWhileTheTableStaysOpen)
{
    int exitCode = -1;
    const QString text
        = QString::fromUtf8(testsupport::runTool("pdftotext",
                                { KivoPreviewController::userGuidePath(), "-" }, {}, &exitCode))
              .simplified();
    ASSERT_EQ(exitCode, 0);
    EXPECT_FALSE(text.contains("kept with the table"));
    // ("filters" may come out with its "fi" joined in one sign.)
    EXPECT_TRUE(text.contains("apply while the table stays open; once you leave it they are gone."))
        << text.toStdString();
}

TEST_F(FilePreview, TheUserGuidesLinksGoToTheSheetOfTheHelpPageTheyName)
{
    std::unique_ptr<Poppler::Document> guide
        = Poppler::Document::load(KivoPreviewController::userGuidePath());
    ASSERT_TRUE(guide);
    // Where a link leads: the first line of the sheet it goes to, or the address it names.
    const auto target = [&](const Poppler::Link& link) -> QString {
        if (link.linkType() != Poppler::Link::Goto)
            return "address " + static_cast<const Poppler::LinkBrowse&>(link).url();
        const auto& jump = static_cast<const Poppler::LinkGoto&>(link);
        std::unique_ptr<Poppler::Page> sheet = guide->page(jump.destination().pageNumber() - 1);
        return sheet ? sheet->text(QRectF()).section('\n', 0, 0).trimmed() : QString();
    };
    const auto linkTexts = [&](int sheet) {
        std::unique_ptr<Poppler::Page> page = guide->page(sheet);
        QList<QString> texts;
        for (const auto& link : page->links()) {
            const QRectF area = link->linkArea().normalized();
            const QSizeF size = page->pageSizeF();
            texts << page->text(QRectF(area.left() * size.width(), area.top() * size.height(),
                                    area.width() * size.width(), area.height() * size.height()))
                         .trimmed()
                  << target(*link);
        }
        return texts;
    };
    // Every entry of the contents, to its chapter.
    const QList<QString> contents = linkTexts(0);
    ASSERT_EQ(contents.size(), 20);
    for (int i = 0; i < contents.size(); i += 2)
        EXPECT_EQ(contents[i + 1], contents[i]);
    EXPECT_EQ(contents.last(), "Settings");
    // A link inside a chapter too.
    EXPECT_EQ(linkTexts(1), QList<QString>({ "settings", "Settings" }));
    // Each chapter starts a sheet of its own, numbered at its foot.
    EXPECT_TRUE(guide->page(1)->text(QRectF()).trimmed().endsWith("2"));
}

TEST_F(FilePreview, TheHelpPagesNameEachCommandAsTheScreensShowIt)
{
    QSet<QString> shown;
#define KIVO_TEXT(method, key) shown.insert(QStringLiteral(key));
#include "utilities/text/LocalizedStringList.h"
#undef KIVO_TEXT
    const QDir pages(platform::Folders::resources() + "/Web");
    const QStringList names = pages.entryList({ "*.html" });
    ASSERT_GE(names.size(), 10);
    // A command is written in bold, as the screens name it, so a reader can find it.
    static const QRegularExpression bold(
        QStringLiteral("<b>(.*?)</b>"), QRegularExpression::DotMatchesEverythingOption);
    int commands = 0;
    for (const QString& name : names) {
        QFile page(pages.filePath(name));
        ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << name.toStdString();
        const QString html = QString::fromUtf8(page.readAll());
        for (auto it = bold.globalMatch(html); it.hasNext(); ++commands) {
            const QString command = it.next().captured(1).simplified();
            EXPECT_TRUE(shown.contains(command))
                << name.toStdString() << ": " << command.toStdString();
        }
    }
    EXPECT_GT(commands, 20);
}

// The cloud documents folder, answering when the test says.
class HeldCloud : public CloudDocumentService {
public:
    explicit HeldCloud(QString folder)
        : m_folder(std::move(folder))
    {
    }
    void saveAndCloseDocumentWithName(const QString&, const QByteArray&, Completion) override { }
    void retrieveDocuemnt(const QString& name, RetrieveHandler handler) override
    {
        asked = name;
        pending = std::move(handler);
    }
    QString documentsFolder() override { return m_folder; }
    QString asked;
    RetrieveHandler pending;

private:
    QString m_folder;
};

TEST_F(FilePreview, ACloudDocumentIsFetchedUnderTheOverlayThenPushed)
{
    auto* screen = open(itemsRecord(), "tablet");
    const QString folder = cloudFolder();
    write(folder + "/Sales.csv", "Month,Total\nMay,12\n");
    auto held = std::make_unique<HeldCloud>(folder);
    HeldCloud* cloud = held.get();
    CloudDocumentService::install(std::move(held));
    QPointer<KivoPreviewController> preview
        = KivoPreviewController::createPreviewController("Sales.csv", true, screen);
    settle(50);
    EXPECT_EQ(cloud->asked, "Sales.csv");
    EXPECT_EQ(screen->hudCount(), 1u);
    EXPECT_EQ(navigation->topViewController(), screen);
    ASSERT_TRUE(cloud->pending);
    cloud->pending(QUrl::fromLocalFile(folder + "/Sales.csv"));
    settle(300);
    EXPECT_EQ(navigation->topViewController(), preview);
    EXPECT_EQ(screen->hudCount(), 0u);
    EXPECT_EQ(preview->shownText(), "Month,Total\nMay,12\n");
    EXPECT_TRUE(preview->mayHandOver(folder + "/Sales.csv"));
}

TEST_F(FilePreview, ACloudDocumentArrivingAfterItsScreenHasGoneGoesWithTheScreen)
{
    QPointer<MainCollectionViewController> screen = open(itemsRecord(), "tablet");
    const QString folder = cloudFolder();
    write(folder + "/Sales.csv", "Month,Total\nMay,12\n");
    auto held = std::make_unique<HeldCloud>(folder);
    HeldCloud* cloud = held.get();
    CloudDocumentService::install(std::move(held));
    QPointer<KivoPreviewController> preview
        = KivoPreviewController::createPreviewController("Sales.csv", true, screen);
    settle(50);
    ASSERT_TRUE(cloud->pending);

    // The user leaves before the document comes.
    platform::ui::Application::shared().reset();
    navigation.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(screen.isNull());
    cloud->pending(QUrl::fromLocalFile(folder + "/Sales.csv"));
    settle(50);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(preview.isNull());
}

TEST_F(FilePreview, AMissingOrBadlyNamedCloudDocumentPushesNothingAndKeepsTheFlag)
{
    auto* screen = open(itemsRecord(), "tablet");
    write(platform::Folders::home() + "/secret.csv", "hidden\n");
    for (const QString& name : { QStringLiteral("Missing.csv"), QStringLiteral("../../secret.csv"),
             QStringLiteral("a/b.csv"), QStringLiteral("..") }) {
        QPointer<KivoPreviewController> preview
            = KivoPreviewController::createPreviewController(name, true, screen);
        ASSERT_TRUE(testsupport::waitUntil([&] { return screen->hudCount() == 0; }));
        settle(50);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(navigation->topViewController(), screen) << name.toStdString();
        EXPECT_TRUE(preview.isNull()) << name.toStdString();
        EXPECT_TRUE(screen->popFromKivoPreview());
        EXPECT_FALSE(alertMessages().isEmpty()) << name.toStdString();
        for (platform::ui::AlertView* alert : platform::ui::AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
    }
}

TEST_F(FilePreview, MailComposerStatusBarIsLightUpToLuminanceEightTenths)
{
    open(itemsRecord(), "tablet");
    MailComposeViewController composer;
    Theme* style = Theme::current();
    style->settoolbarColor(Color::colorWithWhite(0.8));
    EXPECT_EQ(composer.preferredStatusBarStyle(), Device::StatusBarStyle::LightContent);
    style->settoolbarColor(Color::colorWithWhite(0.81));
    EXPECT_EQ(composer.preferredStatusBarStyle(), Device::StatusBarStyle::Default);
    style->settoolbarColor(Color::colorWithRed(0.1, 0.2, 0.5));
    EXPECT_EQ(composer.preferredStatusBarStyle(), Device::StatusBarStyle::LightContent);
}

TEST_F(FilePreview, ScreenshotsOfTheGuideAnImageACsvAnXlsAndTheRatePrompt)
{
    const QString documents = platform::Folders::documents();
    QImage picture(600, 400, QImage::Format_RGB32);
    picture.fill(QColor(42, 93, 143));
    {
        QPainter painter(&picture);
        painter.setBrush(QColor(250, 200, 60));
        painter.drawEllipse(QRectF(200, 100, 200, 200));
    }
    write(documents + "/sunset.png", {});
    ASSERT_TRUE(picture.save(documents + "/sunset.png"));
    write(documents + "/Inventory.csv",
        "Name,Shelf,Count,Value\nHammer,3,12,8.50\nScrewdriver set,3,4,19.90\n"
        "Caf\xC3\xA9 cups,7,24,2.10\nLadder,1,1,89.00\n");
    QByteArray workbook("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    workbook.append(QByteArray(8184, '\0'));
    write(documents + "/Inventory.xls", workbook);

    const QList<std::pair<QString, QString>> files {
        { KivoPreviewController::userGuidePath(), "guide" }, { documents + "/sunset.png", "image" },
        { documents + "/Inventory.csv", "csv" }, { documents + "/Inventory.xls", "xls" }
    };
    for (const QString device : { "phone", "tablet" }) {
        auto* screen = open(itemsRecord(), device);
        for (const auto& [path, name] : files) {
            KivoPreviewController::createPreviewController(path, false, screen);
            settle(400);
            EXPECT_TRUE(saveShot(QStringLiteral("preview-%1-%2.png").arg(name, device)));
            navigation->popViewController(false);
            settle(100);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        RatePrompt::forceShowPrompt(true);
        settle(400);
        EXPECT_TRUE(saveShot(QStringLiteral("rate-prompt-%1.png").arg(device)));
        for (platform::ui::AlertView* alert : platform::ui::AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(-1, false);
        settle(100);
        platform::ui::Application::shared().reset();
        navigation.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
