#include "AppFixture.h"

#include "common/FixtureHttpServer.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "platform/Folders.h"
#include "platform/ui/SearchBar.h"
#include "screens/DownloadTemplateDataController.h"
#include "screens/ScreenHost.h"
#include "style/ThemeButton.h"
#include "widgets/MetroImageView.h"
#include "widgets/UIImage_Theme.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace e2e {
namespace {

const QString kBooks = QStringLiteral("0F6C2B7E-8A41-4C39-9D52-3E7A1B9C4D60");
const QString kTitle = QStringLiteral("1A2B3C4D-5E6F-4A7B-8C9D-0E1F2A3B4C5D");
const QString kPages = QStringLiteral("2B3C4D5E-6F70-4B8C-9DAE-1F2A3B4C5D6E");
const QString kAuthor = QStringLiteral("3C4D5E6F-7081-4C9D-AEBF-2A3B4C5D6E7F");
const QString kRecipes = QStringLiteral("4D5E6F70-8192-4DAE-BFC0-3B4C5D6E7F80");
const QString kDish = QStringLiteral("5E6F7081-92A3-4EBF-C0D1-4C5D6E7F8091");
const QString kBroken = QStringLiteral("6F708192-A3B4-4FC0-D1E2-5D6E7F8091A2");
const QString kPath = QStringLiteral("/api/link/templates");

QJsonObject column(const QString& id, const QString& name, const QString& type, int length)
{
    return { { "id", id }, { "name", name }, { "type", type }, { "length", length } };
}

QByteArray catalogue(int titleLength = 40, bool withAuthor = false)
{
    QJsonArray books { column(kTitle, "Title", "Text", titleLength),
        column(kPages, "Pages", "Numeric", 10) };
    if (withAuthor)
        books.append(column(kAuthor, "Author", "Text", 60));
    const QJsonArray entries {
        QJsonObject { { "id", kBooks }, { "name", "Reading list" }, { "descr", "What I read" },
            { "image", "books" }, { "tilescolumns", 2 }, { "columns", books },
            { "mtimestamp", 12345 } },
        QJsonObject { { "id", kRecipes }, { "name", "Recipes" },
            { "descr", "Dishes and their ingredients" }, { "tilescolumns", 1 },
            { "columns", QJsonArray { column(kDish, "Dish", "Text", 50) } } },
        QJsonObject { { "id", kBroken }, { "name", "Broken" }, { "descr", "Half a definition" },
            { "tilescolumns", 1 },
            { "columns",
                QJsonArray { column("7F8091A2-B3C4-4D1E-E2F3-6E7F8091A2B3", "Fine", "Text", 5),
                    column("not-a-guid", "Odd", "Text", 5) } } },
    };
    return QJsonDocument(entries).toJson(QJsonDocument::Compact);
}

// The download screen over a fixture web service, opened from Home as the definitions
// screen opens it.
struct DownloadJourney : AppTest {
    void SetUp() override
    {
        ASSERT_TRUE(server.isListening());
        qputenv(
            DownloadTemplateDataController::ServiceVariable, server.url("/").toString().toUtf8());
        AppTest::SetUp();
        ApplicationScreen* databases = top();
        ASSERT_TRUE(addDatabase(databases, "Household", "Things at home"));
        ASSERT_TRUE(open(databases, "Household"));
        home = top();
    }

    void TearDown() override
    {
        AppTest::TearDown();
        qunsetenv(DownloadTemplateDataController::ServiceVariable);
    }

    ApplicationScreen* openDownloads()
    {
        dynamic_cast<ScreenHost*>(home)->showScreen(
            ScreenFactory::DownloadTemplates, home->screen()->toSegue, {});
        settle(150);
        return top() != home ? top() : nullptr;
    }

    // Waits for the fetch to end: the overlay gone.
    static void waitForFetch(ApplicationScreen* screen)
    {
        EXPECT_TRUE(testsupport::waitUntil([&] { return screen->hudCount() == 0; }, 40000));
        settle(60);
    }

    // The Download button of the tile with that title.
    static ThemeButton* downloadButton(ApplicationScreen* screen, const QString& title)
    {
        const int at = int(titles(screen).indexOf(title));
        auto* cell = at < 0
            ? nullptr
            : screen->collectionView()->cellForItemAtIndexPath(platform::ui::IndexPath(at, 0));
        const auto buttons
            = cell ? cell->contentView()->findChildren<ThemeButton*>() : QList<ThemeButton*>();
        return buttons.size() == 1 ? buttons.first() : nullptr;
    }

    QStringList download(ApplicationScreen* screen, const QString& title)
    {
        ThemeButton* button = downloadButton(screen, title);
        if (!button) {
            ADD_FAILURE() << "no button on " << title.toStdString();
            return {};
        }
        GestureSynthesizer::tap(button);
        settle(100);
        return takeMessages();
    }

    static QStringList columnNames(const QString& definition)
    {
        QStringList names;
        for (const TemplateColumn* c : TemplateColumn::getColumns(definition))
            names << c->name().toString() + "/" + c->id().toString();
        return names;
    }

    FixtureHttpServer server;
    ApplicationScreen* home = nullptr;
};

TEST_P(DownloadJourney, CopiesEntriesUnderTheirIdsAskingBeforeAnOverwrite)
{
    server.serve(kPath, FixtureReply::json(catalogue()));
    ApplicationScreen* downloads = openDownloads();
    ASSERT_NE(downloads, nullptr);
    waitForFetch(downloads);
    EXPECT_EQ(titles(downloads), QStringList({ "Reading list", "Recipes", "Broken" }));
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().first().method, "GET");
    ASSERT_TRUE(saveShot(QString("e2e-download-tiles-%1.png").arg(GetParam())));

    // Fetched once per screen: a reload keeps the rows and asks nothing.
    reload(downloads);
    EXPECT_EQ(server.requests().size(), 1);

    // A word of a description finds its entry.
    if (!downloads->searchBar()->isVisible())
        downloads->showHideSearchBar();
    auto* field = downloads->searchBar()->findChild<QLineEdit*>();
    ASSERT_NE(field, nullptr);
    field->setFocus();
    QTest::keyClicks(field, "ingredients");
    settle(60);
    EXPECT_EQ(titles(downloads), QStringList({ "Recipes" }));
    // The button names its entry by id, whatever the search shows.
    EXPECT_EQ(download(downloads, "Recipes"), QStringList({ "Information|Download completed." }));
    EXPECT_EQ(columnNames(kRecipes), QStringList({ "Dish/" + kDish }));
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    settle(60);

    // New: copied at once with the catalogue's ids; only what a person edits is taken.
    const QStringList copied = download(downloads, "Reading list");
    EXPECT_EQ(copied, QStringList({ "Information|Download completed." }))
        << copied.join("|").toStdString();
    Template* books = Template::getTemplate(kBooks);
    ASSERT_NE(books, nullptr);
    EXPECT_EQ(books->name().toString(), "Reading list");
    EXPECT_NE(books->mtimestamp().toLongLong(), 12345);
    EXPECT_EQ(columnNames(kBooks), QStringList({ "Title/" + kTitle, "Pages/" + kPages }));

    // Existing: asked first; Cancel leaves everything as it was.
    ThemeButton* again = downloadButton(downloads, "Reading list");
    ASSERT_NE(again, nullptr);
    GestureSynthesizer::tap(again);
    settle(100);
    platform::ui::AlertView* question = alertTitled("Confirmation");
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->message(), "Template already exists. Overwrite?");
    ASSERT_TRUE(saveShot(QString("e2e-download-overwrite-%1.png").arg(GetParam())));
    question->dismissWithClickedButtonIndex(0, false);
    settle();
    EXPECT_TRUE(takeMessages().isEmpty());

    // A new screen fetches anew; Overwrite updates in place and adds the new column.
    back();
    server.serve(kPath, FixtureReply::json(catalogue(60, true)));
    downloads = openDownloads();
    ASSERT_NE(downloads, nullptr);
    waitForFetch(downloads);
    EXPECT_EQ(server.requests().size(), 2);
    GestureSynthesizer::tap(downloadButton(downloads, "Reading list"));
    settle(100);
    question = alertTitled("Confirmation");
    ASSERT_NE(question, nullptr);
    question->dismissWithClickedButtonIndex(1, false);
    EXPECT_EQ(takeMessages(), QStringList({ "Information|Download completed." }));
    EXPECT_EQ(columnNames(kBooks),
        QStringList({ "Title/" + kTitle, "Pages/" + kPages, "Author/" + kAuthor }));
    EXPECT_EQ(TemplateColumn::getColumnForId(kTitle, TemplateColumn::getColumns(kBooks))
                  ->length()
                  .toInt(),
        60);

    // An entry that fails a check is stored not at all, and the message says which entry,
    // which column and why.
    const QStringList refused = download(downloads, "Broken");
    ASSERT_EQ(refused.size(), 1);
    EXPECT_TRUE(refused.first().contains("\u201cBroken\u201d")) << refused.first().toStdString();
    EXPECT_TRUE(refused.first().contains("not-a-guid")) << refused.first().toStdString();
    EXPECT_TRUE(refused.first().contains("is not a GUID")) << refused.first().toStdString();
    EXPECT_EQ(Template::getTemplate(kBroken), nullptr);
    EXPECT_TRUE(TemplateColumn::getColumns(kBroken).isEmpty());
}

TEST_P(DownloadJourney, AFailedFetchSaysWhyAndTheNextLoadTriesAgain)
{
    const QString prefix = "Error|The template catalogue could not be downloaded: ";
    const struct {
        const char* name;
        FixtureReply reply;
    } failures[] = {
        { "status 500", FixtureReply::text("Internal Server Error", 500) },
        { "not JSON", FixtureReply::text("<html>maintenance</html>") },
        { "no list", FixtureReply::json("{\"templates\": []}") },
        { "oversized", FixtureReply::json("[\"" + QByteArray(9 * 1024 * 1024, 'x') + "\"]") },
        { "stalled", FixtureReply::stall() },
    };
    ApplicationScreen* downloads = nullptr;
    for (const auto& failure : failures) {
        SCOPED_TRACE(failure.name);
        server.serve(kPath, failure.reply);
        if (!downloads) {
            downloads = openDownloads();
            ASSERT_NE(downloads, nullptr);
        } else {
            reload(downloads);
        }
        waitForFetch(downloads);
        const QStringList said = takeMessages();
        ASSERT_EQ(said.size(), 1) << failure.name;
        EXPECT_TRUE(said.first().startsWith(prefix)) << said.first().toStdString();
        EXPECT_GT(said.first().size(), prefix.size() + 3);
        EXPECT_TRUE(titles(downloads).isEmpty());
        EXPECT_EQ(downloads->hudCount(), 0u);
    }

    // Down altogether: shown as the others, over an empty list.
    server.stop();
    reload(downloads);
    waitForFetch(downloads);
    ASSERT_TRUE(saveShot(QString("e2e-download-no-network-%1.png").arg(GetParam())));
    const QStringList down = takeMessages();
    ASSERT_EQ(down.size(), 1);
    EXPECT_TRUE(down.first().startsWith(prefix)) << down.first().toStdString();
}

TEST_P(DownloadJourney, TheCatalogueComesAgainOnceTheServiceAnswers)
{
    server.serve(kPath, FixtureReply::text("busy", 503));
    ApplicationScreen* downloads = openDownloads();
    ASSERT_NE(downloads, nullptr);
    waitForFetch(downloads);
    EXPECT_EQ(takeMessages().size(), 1);
    server.serve(kPath, FixtureReply::json(catalogue()));
    reload(downloads);
    waitForFetch(downloads);
    EXPECT_EQ(titles(downloads), QStringList({ "Reading list", "Recipes", "Broken" }));
    EXPECT_TRUE(takeMessages().isEmpty());
    EXPECT_EQ(server.requests().size(), 2);
}

TEST_P(DownloadJourney, ATileShowsOnlyABundledImageNeverAFileItsNameLeadsTo)
{
    // A picture of the user's own that no catalogue may show.
    const QString secret = platform::Folders::home() + "/private/secret.png";
    QDir().mkpath(QFileInfo(secret).absolutePath());
    QImage picture(50, 50, QImage::Format_RGB32);
    picture.fill(QColor(18, 52, 86));
    ASSERT_TRUE(picture.save(secret));
    const QString climb = QString("../").repeated(30) + secret.mid(1);
    auto entry = [](const QString& id, const QString& name, const QJsonValue& image) {
        QJsonObject object { { "id", id }, { "name", name }, { "descr", name },
            { "tilescolumns", 1 }, { "columns", QJsonArray {} } };
        if (!image.isUndefined())
            object.insert("image", image);
        return object;
    };
    const QJsonArray entries { entry(kBooks, "Climbing", climb),
        entry(kRecipes, "Absolute", secret), entry(kBroken, "Bundled", "template"),
        entry(kTitle, "Without", QJsonValue::Undefined) };
    server.serve(kPath, FixtureReply::json(QJsonDocument(entries).toJson()));
    ApplicationScreen* downloads = openDownloads();
    ASSERT_NE(downloads, nullptr);
    waitForFetch(downloads);
    ASSERT_EQ(titles(downloads).size(), 4);

    auto shown = [&](const QString& title) {
        const int at = int(titles(downloads).indexOf(title));
        auto* cell
            = downloads->collectionView()->cellForItemAtIndexPath(platform::ui::IndexPath(at, 0));
        const auto views = cell ? cell->contentView()->findChildren<MetroImageView*>()
                                : QList<MetroImageView*>();
        return views.size() == 1 ? views.first()->image().image() : QImage();
    };
    const QImage unknown = UIImage_Theme::themedimageNamed("unknown").image();
    ASSERT_FALSE(unknown.isNull());
    for (const char* title : { "Climbing", "Absolute", "Without" })
        EXPECT_TRUE(shown(title) == unknown) << title;
    const QImage bundled = shown("Bundled");
    EXPECT_FALSE(bundled.isNull());
    EXPECT_TRUE(bundled == UIImage_Theme::themedimageNamed("template").image());
    EXPECT_FALSE(bundled == unknown);
}

INSTANTIATE_TEST_SUITE_P(Devices, DownloadJourney, ::testing::Values("tablet", "phone"));

} // namespace
} // namespace e2e
