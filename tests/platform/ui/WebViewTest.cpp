#include "platform/ui/WebView.h"
#include "common/FixtureHttpServer.h"
#include "common/LocalWebServer.h"
#include "common/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <memory>

using platform::ui::WebView;

namespace {

class RecordingDelegate : public platform::ui::WebViewDelegate {
public:
    void webViewDidStartLoad(WebView*) override { events << "start"; }
    void webViewDidFinishLoad(WebView* view) override { events << "finish:" + view->title(); }
    void webViewDidFailLoad(WebView*, const platform::Error& error) override
    {
        events << QStringLiteral("fail:%1").arg(error.code());
        lastError = error;
    }
    QStringList events;
    platform::Error lastError;
};

void write(const QString& path, const QByteArray& data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

QByteArray pngOf(QColor color)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(color);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

// The colour of the local image no remote page may show.
const QColor secretColour(18, 52, 86);

struct WebViewTest : ::testing::Test {
    QTemporaryDir site;
    QTemporaryDir local;
    std::unique_ptr<LocalWebServer> server;
    RecordingDelegate delegate;
    std::unique_ptr<WebView> view;

    void SetUp() override
    {
        ASSERT_TRUE(site.isValid() && local.isValid());
        write(site.filePath("one.html"),
            "<html><head><title>One</title></head><body><a href=\"two.html\">two</a>"
            "<img src=\"red.png\"></body></html>");
        write(site.filePath("two.html"),
            "<html><head><title>Two</title><script>document.write('ran')</script></head>"
            "<body><a href=\"three.html\">three</a></body></html>");
        write(site.filePath("three.html"),
            "<html><head><title>Three</title></head><body>end</body></html>");
        write(site.filePath("red.png"), pngOf(Qt::red));
        write(local.filePath("secret.png"), pngOf(secretColour));
        write(local.filePath("secret.html"), "<html><body>secret</body></html>");
        write(site.filePath("reach.html"),
            QStringLiteral("<html><head><title>Reach</title></head><body>"
                           "<a href=\"%1\">file</a> <a href=\"mailto:a@b.c\">mail</a>"
                           "<img src=\"%2\"><img src=\"%3\"></body></html>")
                .arg(QUrl::fromLocalFile(local.filePath("secret.html")).toString(),
                    QUrl::fromLocalFile(local.filePath("secret.png")).toString(),
                    local.filePath("secret.png"))
                .toUtf8());
        server = std::make_unique<LocalWebServer>(site.path());
        ASSERT_TRUE(server->isRunning()) << server->report();
        view = std::make_unique<WebView>(QRectF(0, 0, 400, 300));
        view->setDelegate(&delegate);
        view->setTimeoutInterval(3000);
    }

    bool loaded(int ms = 8000)
    {
        return testsupport::waitUntil([this] { return !view->isLoading(); }, ms);
    }
};

} // namespace

TEST_F(WebViewTest, WalksThreePagesBackAndForwardWithImagesReadyAndScriptsKeptNotRun)
{
    view->loadRequest(server->url("/one.html"));
    EXPECT_TRUE(view->isLoading());
    ASSERT_TRUE(loaded());
    EXPECT_EQ(view->title(), "One");
    EXPECT_FALSE(view->canGoBack());
    // The image came before the page showed.
    const QVariant image
        = view->textBrowser()->document()->resource(QTextDocument::ImageResource, QUrl("red.png"));
    EXPECT_EQ(image.value<QImage>().pixelColor(1, 1), QColor(Qt::red));

    view->followLink(QUrl("two.html"));
    ASSERT_TRUE(loaded());
    EXPECT_EQ(view->title(), "Two");
    EXPECT_FALSE(view->plainText().contains("ran"));
    view->followLink(QUrl("three.html"));
    ASSERT_TRUE(loaded());
    EXPECT_TRUE(view->canGoBack());
    EXPECT_FALSE(view->canGoForward());

    view->goBack();
    ASSERT_TRUE(loaded());
    EXPECT_EQ(view->title(), "Two");
    EXPECT_TRUE(view->canGoBack());
    EXPECT_TRUE(view->canGoForward());
    view->goBack();
    ASSERT_TRUE(loaded());
    EXPECT_FALSE(view->canGoBack());
    view->goForward();
    ASSERT_TRUE(loaded());
    EXPECT_EQ(view->URL(), server->url("/two.html"));
    EXPECT_EQ(delegate.events.count("start"), 6);
    EXPECT_EQ(delegate.events.last(), "finish:Two");
}

TEST_F(WebViewTest, ARemotePageReachesNoLocalFileAndFollowsNoOtherScheme)
{
    view->loadRequest(server->url("/reach.html"));
    ASSERT_TRUE(loaded());
    const QUrl secretImage = QUrl::fromLocalFile(local.filePath("secret.png"));
    EXPECT_NE(view->textBrowser()
                  ->document()
                  ->resource(QTextDocument::ImageResource, secretImage)
                  .value<QImage>()
                  .pixelColor(1, 1),
        secretColour);
    // Not by a plain path either, which the text layout would read from the disk itself.
    const QImage shown = view->grab().toImage();
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            ASSERT_NE(shown.pixelColor(x, y), secretColour) << x << "," << y;
    view->followLink(QUrl::fromLocalFile(local.filePath("secret.html")));
    view->followLink(QUrl("mailto:a@b.c"));
    view->followLink(QUrl("javascript:alert(1)"));
    testsupport::processEvents(50);
    EXPECT_EQ(view->URL(), server->url("/reach.html"));
    EXPECT_FALSE(view->plainText().contains("secret"));

    // A redirect does not lead out to a file either.
    view->loadRequest(server->url("/go?to="
        + QUrl::toPercentEncoding(QUrl::fromLocalFile(local.filePath("secret.html")).toString())));
    ASSERT_TRUE(loaded());
    EXPECT_TRUE(delegate.events.last().startsWith("fail:"));
    EXPECT_NE(view->plainText().trimmed(), "secret");
}

TEST_F(WebViewTest, LocalPagesLinkToEachOtherInsideTheirFolderOnly)
{
    QTemporaryDir outside;
    write(outside.filePath("away.html"), "<html><body>away</body></html>");
    write(local.filePath("index.html"), "<html><head><title>Help</title></head></html>");
    view->loadRequest(QUrl::fromLocalFile(local.filePath("index.html")));
    ASSERT_TRUE(loaded());
    EXPECT_EQ(view->title(), "Help");
    view->followLink(QUrl("secret.html"));
    ASSERT_TRUE(loaded());
    EXPECT_TRUE(view->plainText().contains("secret"));
    view->followLink(QUrl::fromLocalFile(outside.filePath("away.html")));
    testsupport::processEvents(50);
    EXPECT_FALSE(view->plainText().contains("away"));
}

TEST_F(WebViewTest, AnOversizedPageAndASilentServerFailWithTheirReasonShown)
{
    view->loadRequest(server->url("/big"));
    ASSERT_TRUE(loaded());
    EXPECT_EQ(delegate.lastError.code(), WebView::DataLengthExceedsMaximum);
    EXPECT_TRUE(view->plainText().contains("larger than 5 MB")) << view->plainText().toStdString();

    view->setTimeoutInterval(800);
    QElapsedTimer clock;
    clock.start();
    view->loadRequest(server->url("/silent"));
    ASSERT_TRUE(loaded(5000));
    EXPECT_LT(clock.elapsed(), 4000);
    EXPECT_EQ(delegate.lastError.code(), WebView::TimedOut);
    EXPECT_EQ(delegate.lastError.domain(), WebView::ErrorDomain);
    EXPECT_TRUE(view->plainText().contains("did not answer"));
    EXPECT_TRUE(view->plainText().contains("/silent"));
}

TEST_F(WebViewTest, TheResponsesCharsetWinsAndAFailurePageMayOfferLocalPages)
{
    view->loadRequest(server->url("/latin1"));
    ASSERT_TRUE(loaded());
    EXPECT_EQ(view->title(), QString::fromUtf8("Café"));
    EXPECT_TRUE(view->plainText().contains(QString::fromUtf8("Crème brûlée")));

    write(local.filePath("index.html"), "<html><body>bundled help</body></html>");
    view->setLocalRoot(local.path());
    view->setFailureHTML(QStringLiteral("<a href=\"%1\">bundled</a>")
                             .arg(QUrl::fromLocalFile(local.filePath("index.html")).toString()));
    view->loadRequest(server->url("/missing.html"));
    ASSERT_TRUE(loaded());
    EXPECT_TRUE(view->plainText().contains("could not be loaded"));
    view->followLink(QUrl::fromLocalFile(local.filePath("index.html")));
    ASSERT_TRUE(loaded());
    EXPECT_TRUE(view->plainText().contains("bundled help"));
}

TEST_F(WebViewTest, StopAndDeletionCancelSoNoCallbackFollows)
{
    view->loadRequest(server->url("/silent"));
    testsupport::processEvents(50);
    view->stopLoading();
    EXPECT_FALSE(view->isLoading());
    const QStringList afterStop = delegate.events;
    testsupport::processEvents(200);
    EXPECT_EQ(delegate.events, afterStop);

    {
        auto* doomed = new WebView(QRectF(0, 0, 200, 200));
        RecordingDelegate* watcher = new RecordingDelegate();
        doomed->setDelegate(watcher);
        doomed->setTimeoutInterval(300);
        doomed->loadRequest(server->url("/silent"));
        testsupport::processEvents(50);
        delete doomed;
        const QStringList before = watcher->events;
        testsupport::processEvents(600);
        EXPECT_EQ(watcher->events, before);
        delete watcher;
    }
}

namespace {

// A PNG of one colour that decodes to side × side × 4 bytes.
QByteArray bigPng(int side, QColor color)
{
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(color);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

} // namespace

TEST_F(WebViewTest, APagesImagesShareOneBudgetAndThoseBeyondItShowAsMissing)
{
    // Three images of 64 MB decoded each, every one well under Qt's own limit for one.
    const QByteArray png = bigPng(4096, Qt::green);
    QString html = "<html><body>";
    for (int i = 0; i < 3; ++i) {
        write(site.filePath(QStringLiteral("big%1.png").arg(i)), png);
        write(local.filePath(QStringLiteral("big%1.png").arg(i)), png);
        html += QStringLiteral("<img src=\"big%1.png\">").arg(i);
    }
    html += "</body></html>";
    write(site.filePath("gallery.html"), html.toUtf8());
    write(local.filePath("gallery.html"), html.toUtf8());

    for (const QUrl& page :
        { server->url("/gallery.html"), QUrl::fromLocalFile(local.filePath("gallery.html")) }) {
        view->loadRequest(page);
        ASSERT_TRUE(loaded(20000));
        ASSERT_EQ(delegate.events.last(), "finish:") << page.toString().toStdString();
        view->grab(); // lays the page out, as showing it does
        QTextDocument* document = view->textBrowser()->document();
        qint64 decoded = 0; // of the images shown whole
        QList<int> sides;
        for (int i = 0; i < 3; ++i) {
            const QImage image = document
                                     ->resource(QTextDocument::ImageResource,
                                         page.resolved(QUrl(QStringLiteral("big%1.png").arg(i))))
                                     .value<QImage>();
            ASSERT_FALSE(image.isNull()) << i;
            if (image.width() > 16)
                decoded += image.sizeInBytes();
            sides << image.width();
        }
        EXPECT_LE(decoded, WebView::MaximumImageBytes);
        // The first ones in the page are shown whole; the rest as missing.
        EXPECT_EQ(sides, QList<int>({ 4096, 4096, 16 })) << page.toString().toStdString();
    }
}

TEST_F(WebViewTest, WhatAPageFetchedIsLetGoSoTheNextLoadFetchesAfresh)
{
    FixtureHttpServer fixture;
    ASSERT_TRUE(fixture.isListening());
    fixture.serve("/one.html",
        FixtureReply { FixtureReply::Answer, 200, "text/html",
            "<html><head><title>One</title></head><body><img src=\"pic.png\"></body></html>" });
    fixture.serve("/two.html",
        FixtureReply { FixtureReply::Answer, 200, "text/html",
            "<html><head><title>Two</title></head><body>two</body></html>" });
    QColor colour = Qt::red;
    fixture.route("/pic.png", [&colour](const FixtureRequest&) {
        return FixtureReply { FixtureReply::Answer, 200, "image/png", pngOf(colour) };
    });
    auto shownColour = [this, &fixture] {
        return view->textBrowser()
            ->document()
            ->resource(QTextDocument::ImageResource, fixture.url("/pic.png"))
            .value<QImage>()
            .pixelColor(1, 1);
    };

    view->loadRequest(fixture.url("/one.html"));
    ASSERT_TRUE(loaded());
    EXPECT_EQ(shownColour(), QColor(Qt::red));
    colour = Qt::blue; // the picture changes on the server
    view->followLink(QUrl("two.html"));
    ASSERT_TRUE(loaded());
    view->goBack();
    ASSERT_TRUE(loaded());
    EXPECT_EQ(view->title(), "One");
    EXPECT_EQ(shownColour(), QColor(Qt::blue));
    int fetched = 0;
    for (const FixtureRequest& request : fixture.requests())
        fetched += request.path == "/pic.png";
    EXPECT_EQ(fetched, 2);
}
