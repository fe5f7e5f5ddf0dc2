#include "PdfTestSupport.h"
#include "ReportFixture.h"

#include "platform/Exception.h"
#include "platform/ui/MailComposeViewController.h"
#include "reports/PdfReportGenerator.h"
#include "reports/PdfReportGeneratorDelegate.h"
#include "reports/ReportRows.h"
#include "style/Theme.h"
#include "utilities/shell/KivoAppDelegate.h"

#include <QImage>
#include <QTimeZone>

using reporttest::ReportTest;

namespace {

const char* const kPythonAttachment = R"(import email, sys
from email import policy
with open(sys.argv[1], 'rb') as f:
    message = email.message_from_binary_file(f, policy=policy.default)
parts = list(message.iter_attachments())
assert len(parts) == 1, len(parts)
part = parts[0]
sys.stdout.buffer.write((part.get_filename() + '\n' + part.get_content_type() + '\n').encode())
sys.stdout.buffer.write(part.get_payload(decode=True))
)";

const QString kOddColumn = QStringLiteral("<b>{{#items}}</b>");

// Texts that HTML or the template engine would take for markup, and several scripts.
QString trickyText(int row)
{
    switch (row % 7) {
    case 0:
        return QStringLiteral("Fish&Chips <%1>").arg(row);
    case 1:
        return QStringLiteral("\"Quoted\" 'one' %1").arg(row);
    case 2:
        return QStringLiteral("{{x}} {{{y}}} %1").arg(row);
    case 3:
        return QString::fromUtf8("Crème brûlée %1").arg(row);
    case 4:
        return QString::fromUtf8("שלום %1").arg(row);
    case 5:
        return QString::fromUtf8("東京都 %1").arg(row);
    default:
        return QStringLiteral("a</td><td>b %1").arg(row);
    }
}

// The text with every kind of space (dates and times hold narrow no-break ones) as one
// plain space, and without Hebrew letters: a reader gives right-to-left text as single
// glyphs in drawing order, so those are compared as a set.
QString spaced(const QString& text)
{
    QString plain;
    for (QChar c : text) {
        if (c.isSpace())
            plain += QLatin1Char(' ');
        else if (c.unicode() < 0x0590 || c.unicode() > 0x05FF)
            plain += c;
    }
    return plain.simplified();
}

QList<QChar> hebrewLetters(const QString& text)
{
    QList<QChar> letters;
    for (QChar c : text) {
        if (c.unicode() >= 0x0590 && c.unicode() <= 0x05FF)
            letters << c;
    }
    std::sort(letters.begin(), letters.end());
    return letters;
}

struct PdfExportTest : ReportTest {
    // A table of every column type, the text one under a name full of markup.
    void makeTable(int rows)
    {
        addColumn(kOddColumn, TypeConstants::Text);
        addColumn("Notes", TypeConstants::BigText);
        addColumn("Day", TypeConstants::Date);
        addColumn("Count", TypeConstants::Numeric);
        addColumn("Paid", TypeConstants::YesNo);
        addColumn("Kind", TypeConstants::List);
        addColumn("Site", TypeConstants::Link);
        addColumn("At", TypeConstants::Time);
        addColumn("Stamp", TypeConstants::DateTime);
        addColumn("Price", TypeConstants::Currency);
        addColumn("Pin", TypeConstants::Protected);
        table = addTable("Clients");
        const QDateTime start(QDate(2026, 1, 1), QTime(9, 30), QTimeZone::utc());
        QList<QVariantMap> values;
        for (int r = 0; r < rows; ++r) {
            values.append(
                { { kOddColumn, trickyText(r) }, { "Notes", QStringLiteral("n%1").arg(r) },
                    { "Day", start.addDays(r) }, { "Count", r * 1.5 }, { "Paid", r % 2 == 0 },
                    { "Kind", QStringLiteral("K%1").arg(r % 5) },
                    { "Site", QStringLiteral("https://example.com/%1").arg(r) },
                    { "At", start.addSecs(60 * r) }, { "Stamp", start.addSecs(3600 * r) },
                    { "Price", r * 10.25 }, { "Pin", QStringLiteral("p%1").arg(r) } });
        }
        storeRows(table, values);
        open(table);
    }

    // Saves the PDF report through the menu and answers its path.
    QString savePdf(const QString& name = "Clients.pdf")
    {
        const auto file = documentsFile(name);
        run(ReportController::SavePDF, file);
        return file->fullName;
    }

    // What each row shows, word by word as a PDF reader splits it.
    QStringList expectedLines()
    {
        QStringList lines;
        const QStringList keys = source->reportColumns().keyEnumerator();
        for (quint64 r = 0; r < source->reportRowsCount(); ++r) {
            const QVariantMap row = source->reportRowFormatted(r);
            QStringList words;
            for (const QString& key : keys)
                words << row.value(key).toString().split(' ', Qt::SkipEmptyParts);
            lines << words.join(' ');
        }
        return lines;
    }

    // The rows of each page: the lines between the header row and the page number.
    static QMap<int, QStringList> rowLines(const QString& path, const QString& headerStart)
    {
        QMap<int, QStringList> rows;
        const auto lines = pdftest::pdfLines(path);
        for (auto it = lines.begin(); it != lines.end(); ++it) {
            const QStringList& page = it.value();
            qsizetype header = -1;
            for (qsizetype i = 0; i < page.size(); ++i) {
                if (page[i].startsWith(headerStart)) {
                    header = i;
                    break;
                }
            }
            EXPECT_GE(header, 0) << "page " << it.key();
            EXPECT_EQ(page.last(), QString::number(it.key()));
            rows[it.key()] = page.mid(header + 1, page.size() - header - 2);
        }
        return rows;
    }

    void useStyle(const Color& image, const Color& toolbar)
    {
        if (!Theme::current())
            KivoAppDelegate::ApplicationDelegate()->setCurrentStyle(Theme::getDefaultTheme());
        Theme* theme = Theme::current();
        ASSERT_TRUE(theme);
        theme->setimageColor(image);
        theme->settoolbarColor(toolbar);
    }

    UserTemplate* table = nullptr;
};

} // namespace

TEST_F(PdfExportTest, AThousandRowsOfEveryTypeShowTheirTextsInOrderPageByPage)
{
    makeTable(1000);
    const QString path = savePdf();
    EXPECT_EQ(alertMessages(), QStringList({ "Successfully Saved." }));
    const auto info = pdftest::pdfInfo(path);
    ASSERT_GT(info.pages, 10);

    // The header shows every column name as written, markup and braces included.
    QStringList names;
    for (TemplateColumn* column : columns)
        names << column->name().toString();
    const QString header = names.join(' ');
    const auto pages = rowLines(path, kOddColumn);
    const QStringList firstPage = pdftest::pdfLines(path).value(1);
    EXPECT_EQ(firstPage.at(0), "Clients");
    EXPECT_TRUE(firstPage.contains(header)) << firstPage.join('\n').toStdString();

    const QStringList expected = expectedLines();
    QStringList found;
    for (auto it = pages.begin(); it != pages.end(); ++it) {
        EXPECT_LE(it.value().size(), 100);
        EXPECT_FALSE(it.value().isEmpty()) << "page " << it.key();
        found << it.value();
    }
    ASSERT_EQ(found.size(), expected.size());
    for (qsizetype r = 0; r < expected.size(); ++r) {
        ASSERT_EQ(spaced(found[r]), spaced(expected[r]))
            << "row " << r << ": " << found[r].toStdString() << " / " << expected[r].toStdString();
        ASSERT_EQ(hebrewLetters(found[r]), hebrewLetters(expected[r])) << "row " << r;
    }
    EXPECT_TRUE(host->idle());

    // The first and last pages, for a person to look at.
    for (int page : { 1, info.pages }) {
        testsupport::runTool("pdftoppm",
            { "-png", "-r", "60", "-f", QString::number(page), "-l", QString::number(page),
                "-singlefile", path,
                testsupport::outputPath(
                    QStringLiteral("pdf-report-page-%1").arg(page == 1 ? "first" : "last")) });
    }
}

TEST_F(PdfExportTest, HeaderTextIsWhiteOnADarkStyleAndBlackOnALightOne)
{
    addColumn("Name", TypeConstants::Text);
    table = addTable("Styles");
    storeRows(table, { { { "Name", "x" } } });
    open(table);
    struct Case {
        Color image;
        Color toolbar;
        bool whiteText;
    };
    for (const Case& c : { Case { Color::colorWithRed(0.1, 0.2, 0.5), Color::whiteColor(), true },
             Case { Color::colorWithWhite(0.95), Color::colorWithWhite(0.9), false } }) {
        useStyle(c.image, c.toolbar);
        const QString path = savePdf(c.whiteText ? "dark.pdf" : "light.pdf");
        dismissAlerts();
        pdftest::Word name;
        for (const pdftest::Word& word : pdftest::pdfWords(path)) {
            if (word.text == "Name")
                name = word;
        }
        ASSERT_EQ(name.text, "Name");
        const QString png = QDir(testsupport::homePath()).filePath("header");
        testsupport::runTool(
            "pdftoppm", { "-png", "-r", "72", "-f", "1", "-l", "1", "-singlefile", path, png });
        QImage image(png + ".png");
        ASSERT_FALSE(image.isNull());
        int white = 0;
        int black = 0;
        for (int x = int(name.left); x < int(name.left + name.width); ++x) {
            for (int y = int(name.top); y < int(name.top) + 8; ++y) {
                const QColor pixel = image.pixelColor(x, y);
                white += pixel.lightness() > 235;
                black += pixel.lightness() < 20;
            }
        }
        if (c.whiteText) {
            EXPECT_GT(white, 5);
            EXPECT_EQ(black, 0);
        } else {
            EXPECT_GT(black, 5);
        }
    }
}

TEST_F(PdfExportTest, MailPdfAttachesTheReport)
{
    makeTable(120);
    run(ReportController::MailPDF);
    auto* composer = qobject_cast<platform::ui::MailComposeViewController*>(
        navigation->presentedViewController());
    ASSERT_TRUE(composer);
    EXPECT_TRUE(host->idle());
    const auto message = composer->message();
    EXPECT_EQ(message.subject, "Clients");
    ASSERT_EQ(message.attachments.size(), 1);
    EXPECT_EQ(message.attachments[0].fileName, "Clients.pdf");
    EXPECT_EQ(message.attachments[0].mimeType, "application/pdf");
    const QByteArray pdf = message.attachments[0].data;
    EXPECT_GE(pdftest::pdfInfo(pdftest::writePdf(pdf)).pages, 2);

    composer->setToRecipients({ QStringLiteral("ana@example.com") });
    composer->send();
    const QString sent = composer->lastSentPath();
    testsupport::processEvents(20);
    int exitCode = -1;
    const QByteArray read
        = testsupport::runTool("python3", { "-c", kPythonAttachment, sent }, {}, &exitCode);
    ASSERT_EQ(exitCode, 0);
    EXPECT_EQ(read, "Clients.pdf\napplication/pdf\n" + pdf);
}

TEST_F(PdfExportTest, SaveAsksForAPdfNameAndATableWithoutRowsGivesOnePage)
{
    addColumn("Name", TypeConstants::Text);
    table = addTable("Empty");
    open(table);
    menu->showMenu();
    host->menuSelect(2);
    ASSERT_EQ(host->browsers.size(), 1);
    EXPECT_EQ(host->browsers[0].defaultFileName, "Clients.pdf");
    EXPECT_EQ(host->browsers[0].type, "pdf");
    EXPECT_EQ(host->browsers[0].title, "Save PDF");
    EXPECT_FALSE(host->browsers[0].cloud);

    const QString path = savePdf("Empty.pdf");
    EXPECT_EQ(menu->lastSelectedFileName(), path);
    const auto info = pdftest::pdfInfo(path);
    EXPECT_EQ(info.pages, 1);
    EXPECT_EQ(info.pageSize, "1000 x 800 pts");
    const QStringList lines = pdftest::pdfLines(path).value(1);
    EXPECT_EQ(lines.first(), "Clients");
    EXPECT_TRUE(lines.contains("Name"));
    EXPECT_EQ(lines.last(), "1");
}

TEST_F(PdfExportTest, EveryFailureIsShownAndEndsTheOverlay)
{
    addColumn("Name", TypeConstants::Text);
    table = addTable("Broken");
    storeRows(table, { { { "Name", "x" } } });
    open(table);

    // The template cannot be read.
    qputenv("KIVOTAB_RESOURCES", testsupport::homePath().toUtf8());
    run(ReportController::MailPDF);
    qunsetenv("KIVOTAB_RESOURCES");
    EXPECT_EQ(alertMessages().size(), 1);
    EXPECT_FALSE(navigation->presentedViewController());
    dismissAlerts();

    // The generator is making another report, one that runs until the test stops it: a
    // report of a set length could end first on a busy machine.
    class Idle : public PdfReportGeneratorDataSource, public PdfReportGeneratorDelegate {
    public:
        QVariant reportsGenerator(
            PdfReportGenerator*, const QString&, const QString&, quint64, quint64, quint64) override
        {
            if (stop)
                throw platform::Exception("Stopped", "The test has seen what it needed.");
            return {};
        }
        void reportsGenerator(PdfReportGenerator*, const QByteArray&) override { ended = true; }
        void reportsGeneratorDidFailWithError(PdfReportGenerator*, const platform::Error&) override
        {
            ended = true;
        }
        bool stop = false;
        bool ended = false;
    };
    auto other = std::make_shared<Idle>();
    platform::Error error;
    PdfReportGenerator::sharedGenerator()->createReportWithName1("Other",
        "{{#documentHeader}}{{/documentHeader}}{{#pageHeader}}{{/pageHeader}}"
        "{{#pageContent}}{{hold}}{{/pageContent}}{{#pageFooter}}{{/pageFooter}}",
        1, 1000000, 0, other, other, &error, 0);
    ASSERT_FALSE(error);
    run(ReportController::MailPDF);
    EXPECT_EQ(
        alertMessages(), QStringList({ "A PDF report is being made; try again when it is done." }));
    dismissAlerts();
    other->stop = true;
    ASSERT_TRUE(testsupport::waitUntil([&] { return other->ended; }, 60000));

    // A row that cannot be read ends the report.
    class Unreadable : public ReportProtocol {
    public:
        QString reportTitle() override { return "Unreadable"; }
        QList<double> reportColumnWidths() override { return { 100 }; }
        OrderedDictionary reportColumns() override
        {
            OrderedDictionary columns;
            columns.setObject("A", "a");
            return columns;
        }
        quint64 reportRowsCount() override { return 3; }
        std::shared_ptr<const ReportRows> reportRowsSnapshot() override
        {
            return std::make_shared<const ReportRows>(
                3, [](quint64 row, bool) -> std::optional<QVariantMap> {
                    if (row == 2)
                        return std::nullopt;
                    return QVariantMap { { "a", "fine" } };
                });
        }
    };
    menu = GenericTemplateReportController::create(host, std::make_shared<Unreadable>());
    run(ReportController::SavePDF, documentsFile("Unreadable.pdf"));
    ASSERT_EQ(alertMessages().size(), 1);
    EXPECT_TRUE(alertMessages()[0].contains("Row 3 could not be read"));
    EXPECT_FALSE(QFile::exists(documentsFile("Unreadable.pdf")->fullName));
    dismissAlerts();

    // A column key that is not a plain name stops the export before the template.
    class OddKey : public Unreadable {
    public:
        OrderedDictionary reportColumns() override
        {
            OrderedDictionary columns;
            columns.setObject("A", "a}}{{b");
            return columns;
        }
    };
    menu = GenericTemplateReportController::create(host, std::make_shared<OddKey>());
    run(ReportController::MailPDF);
    ASSERT_EQ(alertMessages().size(), 1);
    EXPECT_TRUE(alertMessages()[0].contains("a}}{{b"));
    dismissAlerts();

    // A save that fails after the PDF was made.
    open(table);
    run(ReportController::SavePDF, documentsFile("x.pdf", "/proc/no-such-folder"));
    ASSERT_EQ(alertMessages().size(), 1);
    EXPECT_TRUE(alertMessages()[0].startsWith("The file could not be saved: "));
    EXPECT_TRUE(host->idle());
}

TEST(ReportTemplateText, HeaderTextsAreEscapedAndTheirBracesDefused)
{
    EXPECT_EQ(ReportController::templateText("<b>{{#items}}</b> & \"q\" 'a'"),
        "&lt;b&gt;&#123;&#123;#items&#125;&#125;&lt;/b&gt; &amp; &quot;q&quot; &apos;a&apos;");
}
