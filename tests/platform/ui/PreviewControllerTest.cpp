#include "platform/ui/PreviewController.h"
#include "common/TestSupport.h"
#include "platform/Folders.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/PdfPagesView.h"
#include "platform/ui/View.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <memory>

using platform::ui::PreviewController;

namespace {

void write(const QString& path, const QByteArray& data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

// A PDF of numbered pages, or of one page of HTML (its links kept as PDF links).
void makePdf(const QString& path, int pages, const QString& html = {})
{
    QPdfWriter writer(path);
    writer.setResolution(72);
    if (!html.isEmpty()) {
        QTextDocument document;
        document.setHtml(html);
        document.print(&writer);
        return;
    }
    QPainter painter(&writer);
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            writer.newPage();
        painter.drawText(QPointF(72, 72), QStringLiteral("Page %1").arg(i + 1));
    }
}

struct Preview : ::testing::Test {
    std::unique_ptr<PreviewController> preview;
    QStringList handedOver;

    void SetUp() override
    {
        QDir().mkpath(platform::Folders::documents());
        platform::ui::Application::shared().setOpenURLHandler([this](const QUrl& url) {
            handedOver << url.toString();
            return true;
        });
    }
    void TearDown() override
    {
        for (platform::ui::AlertView* alert : platform::ui::AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        preview.reset();
        platform::ui::Application::shared().setOpenURLHandler({});
        platform::ui::Application::shared().reset();
    }

    PreviewController* show(const QString& path)
    {
        preview = std::make_unique<PreviewController>();
        preview->setUrl(QUrl::fromLocalFile(path));
        preview->view()->setFrame(QRectF(0, 0, 400, 600));
        preview->viewDidLayoutSubviews();
        if (platform::ui::PdfPagesView* pages = preview->pdfView())
            pages->grab(); // paints as a person would see it
        return preview.get();
    }

    static QString inDocuments(const QString& name)
    {
        return platform::Folders::documents() + "/" + name;
    }
};

} // namespace

TEST_F(Preview, EachKindShowsByItsContent)
{
    makePdf(inDocuments("guide.pdf"), 3);
    EXPECT_EQ(show(inDocuments("guide.pdf"))->kind(), PreviewController::Kind::Pdf);
    EXPECT_EQ(preview->pdfView()->pageCount(), 3);
    EXPECT_EQ(preview->title(), "guide.pdf");

    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::green);
    ASSERT_TRUE(picture.save(inDocuments("photo.png")));
    EXPECT_EQ(show(inDocuments("photo.png"))->kind(), PreviewController::Kind::Image);
    EXPECT_TRUE(preview->problem().isEmpty());

    write(inDocuments("table.csv"), "\xEF\xBB\xBFName,Price\nCaf\xC3\xA9,3\n");
    EXPECT_EQ(show(inDocuments("table.csv"))->kind(), PreviewController::Kind::Text);
    EXPECT_EQ(preview->shownText(), QString::fromUtf8("Name,Price\nCafé,3\n"));
    write(inDocuments("old.txt"),
        "Cr\xE8me br\xFBl\xE9"
        "e\n");
    show(inDocuments("old.txt"));
    EXPECT_EQ(preview->shownText(), QString::fromUtf8("Crème brûlée\n"));

    QByteArray workbook("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    workbook.append(QByteArray(4088, '\0'));
    write(inDocuments("sales.xls"), workbook);
    EXPECT_EQ(show(inDocuments("sales.xls"))->kind(), PreviewController::Kind::Other);
    QStringList lines;
    for (QLabel* label : preview->view()->findChildren<QLabel*>())
        lines << label->text();
    EXPECT_TRUE(lines.contains("sales.xls"));
    EXPECT_TRUE(lines.contains(QLocale().formattedDataSize(4096)));
    EXPECT_FALSE(preview->kindDescription().isEmpty());
    EXPECT_NE(preview->openWithItem(), nullptr);
}

TEST_F(Preview, ALongPdfRendersOnlyThePagesInSightAndTheNext)
{
    makePdf(inDocuments("long.pdf"), 200);
    show(inDocuments("long.pdf"));
    platform::ui::PdfPagesView* pages = preview->pdfView();
    ASSERT_EQ(pages->pageCount(), 200);
    const QList<int> visible = pages->visiblePages();
    ASSERT_FALSE(visible.isEmpty());
    EXPECT_LE(pages->renderedPages().size(), visible.size() + 1);
    EXPECT_TRUE(pages->renderedPages().contains(visible.last() + 1));

    pages->scrollToPage(150);
    pages->grab();
    EXPECT_TRUE(pages->renderedPages().contains(150));
    EXPECT_FALSE(pages->renderedPages().contains(100));
    EXPECT_LE(pages->renderCount(), 2 * (visible.size() + 1) + 1);
    // Drawing the same place again, or at another height, renders nothing again.
    const int renders = pages->renderCount();
    pages->grab();
    pages->resize(pages->width(), pages->height() + 40);
    pages->grab();
    EXPECT_EQ(pages->renderCount(), renders);
}

TEST_F(Preview, DamagedPdfsAndOversizedImagesSayWhyAndStillOfferOpenWith)
{
    QByteArray damaged = "%PDF-1.4\n1 0 obj << /Type /Catalog";
    damaged.append(QByteArray(200, 'x'));
    write(inDocuments("broken.pdf"), damaged);
    show(inDocuments("broken.pdf"));
    EXPECT_EQ(preview->kind(), PreviewController::Kind::Pdf);
    EXPECT_EQ(preview->pdfView(), nullptr);
    EXPECT_TRUE(preview->problem().contains("damaged"));
    EXPECT_TRUE(preview->openWith());

    QImage large(1200, 1200, QImage::Format_RGB32);
    large.fill(Qt::blue);
    ASSERT_TRUE(large.save(inDocuments("large.png")));
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(2); // MB
    show(inDocuments("large.png"));
    QImageReader::setAllocationLimit(limit);
    EXPECT_EQ(preview->kind(), PreviewController::Kind::Image);
    EXPECT_FALSE(preview->problem().isEmpty());
}

TEST_F(Preview, AFiftyMegabyteTextShowsItsFirstFourMegabytesWithANote)
{
    {
        QFile file(inDocuments("huge.log"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const QByteArray line = QByteArray(99, 'a') + '\n';
        QByteArray block;
        for (int i = 0; i < 10240; ++i)
            block += line;
        for (int i = 0; i < 50; ++i)
            file.write(block);
        // A two-byte character across the 4 MB edge.
        file.seek(PreviewController::MaximumTextBytes - 1);
        file.write("\xC3\xA9");
    }
    show(inDocuments("huge.log"));
    EXPECT_EQ(preview->kind(), PreviewController::Kind::Text);
    EXPECT_TRUE(preview->textWasCut());
    EXPECT_EQ(preview->shownText().size(), PreviewController::MaximumTextBytes - 1);
    EXPECT_NE(preview->view()->findChild<QLabel*>("cutNote"), nullptr);
}

// A log's long lines are read on a phone without scrolling sideways; a table's rows stay
// whole lines, their columns under each other.
TEST_F(Preview, TextWrapsToTheScreenExceptTheRowsOfATable)
{
    const QByteArray longLine = "2026-12-09 18:00:00 [error] "
        + QByteArray("The store could not be opened: ").repeated(8) + QByteArray(160, 'x') + "\n";
    write(inDocuments("debug.log"), longLine + longLine);
    write(inDocuments("rows.csv"), "Name,Note\n" + longLine);
    for (const auto& [name, wraps] :
        { std::pair { "debug.log", true }, { "old.txt", true }, { "rows.csv", false } }) {
        SCOPED_TRACE(name);
        if (QString(name) == "old.txt")
            write(inDocuments(name), longLine);
        show(inDocuments(name));
        ASSERT_EQ(preview->kind(), PreviewController::Kind::Text);
        auto* editor = preview->view()->findChild<QPlainTextEdit*>();
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(
            editor->lineWrapMode(), wraps ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
        editor->resize(320, 480);
        editor->grab();
        EXPECT_EQ(editor->horizontalScrollBar()->maximum() == 0, wraps)
            << editor->horizontalScrollBar()->maximum();
    }
}

TEST_F(Preview, OpenWithHandsOverOnlyRegularDocumentsInsideTheFolders)
{
    makePdf(inDocuments("report.pdf"), 1);
    show(inDocuments("report.pdf"));
    EXPECT_TRUE(preview->openWith());
    ASSERT_EQ(handedOver.size(), 1);
    EXPECT_EQ(handedOver.first(), QUrl::fromLocalFile(inDocuments("report.pdf")).toString());

    write(inDocuments("run.pdf"),
        "\x7f"
        "ELF....");
    QFile::setPermissions(inDocuments("run.pdf"), QFile::ReadOwner | QFile::ExeOwner);
    write(inDocuments("launcher.desktop"), "[Desktop Entry]\nExec=sh -c 'rm -rf ~'\n");
    write(inDocuments("script.txt"), "#!/bin/sh\necho hi\n");
    QTemporaryDir outside;
    makePdf(outside.filePath("elsewhere.pdf"), 1);
    QFile::link(outside.filePath("elsewhere.pdf"), inDocuments("link.pdf"));
    for (const QString& path :
        { inDocuments("run.pdf"), inDocuments("launcher.desktop"), inDocuments("script.txt"),
            inDocuments("link.pdf"), outside.filePath("elsewhere.pdf") }) {
        show(path);
        EXPECT_FALSE(preview->mayHandOver(path)) << path.toStdString();
        EXPECT_FALSE(preview->openWith());
    }
    EXPECT_EQ(handedOver.size(), 1);
}

TEST_F(Preview, LinksInAFileOpenOnlyForWebAndMailAddresses)
{
    makePdf(inDocuments("links.pdf"), 1,
        "<p><a href=\"file:///etc/passwd\">local file</a></p>"
        "<p><a href=\"https://example.org/\">web page</a></p>");
    show(inDocuments("links.pdf"));
    platform::ui::PdfPagesView* pages = preview->pdfView();
    ASSERT_NE(pages, nullptr);
    // Every link the page carries, as a click would find it.
    QList<QUrl> found;
    for (int y = 0; y < pages->viewport()->height(); y += 3)
        for (int x = 0; x < pages->viewport()->width(); x += 10)
            if (const QUrl link = pages->linkAt(QPoint(x, y));
                link.isValid() && !found.contains(link))
                found << link;
    EXPECT_TRUE(found.contains(QUrl("file:///etc/passwd")));
    for (const QUrl& link : std::as_const(found))
        emit pages->linkActivated(link);
    preview->openLink(QUrl("mailto:someone@example.org"));
    preview->openLink(QUrl("javascript:alert(1)"));
    EXPECT_EQ(handedOver, QStringList({ "https://example.org/", "mailto:someone@example.org" }));
}

TEST(ApplicationOpenURL, WebMailAndFilesAlwaysOtherSchemesOnlyWithADesktopHandler)
{
    auto& application = platform::ui::Application::shared();
    QStringList asked;
    application.setSchemeHandlerQuery([&asked](const QString& scheme) {
        asked << scheme;
        return scheme == "itms-apps" ? QStringLiteral("store.desktop") : QString();
    });
    for (const char* address : { "http://a.b", "HTTPS://a.b", "mailto:x@y.z", "file:///tmp/x" })
        EXPECT_TRUE(application.canOpenURL(QUrl(address))) << address;
    EXPECT_FALSE(application.canOpenURL(QUrl("googlechrome://")));
    EXPECT_FALSE(application.canOpenURL(QUrl("googlechrome://a.b")));
    EXPECT_TRUE(application.canOpenURL(QUrl("itms-apps://x")));
    EXPECT_FALSE(application.canOpenURL(QUrl("no scheme")));
    EXPECT_EQ(asked, QStringList({ "googlechrome", "itms-apps" })); // once per scheme
    application.setSchemeHandlerQuery({});
}
