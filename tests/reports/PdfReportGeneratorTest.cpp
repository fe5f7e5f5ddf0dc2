#include "reports/PdfReportGenerator.h"
#include "PdfTestSupport.h"
#include "common/TestSupport.h"
#include "platform/Exception.h"
#include "platform/Folders.h"
#include "reports/PdfReportDocument.h"
#include "reports/PdfReportGeneratorDelegate.h"
#include "reports/mustache/MustacheRenderingBudget.h"

#include <QImage>
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

namespace {

// Items of given heights (points), named "item-<n>", and the report's own values.
class ItemSource : public PdfReportGeneratorDataSource {
public:
    QVariant reportsGenerator(PdfReportGenerator*, const QString&, const QString& tag, quint64 page,
        quint64 offset, quint64 itemsCount) override
    {
        if (failOnPage && page == failOnPage)
            throw std::runtime_error("the rows went away");
        if (tag != QLatin1String("items"))
            return values.value(tag);
        requests.append({ offset, itemsCount });
        QVariantList items;
        const quint64 end = std::min<quint64>(heights.size(), offset + itemsCount);
        if (bare)
            return QVariantList(qsizetype(end - std::min(offset, end)), 0);
        for (quint64 i = offset; i < end; ++i) {
            // A height past a page is made of lines, which the page breaks between.
            const double height = heights.at(qsizetype(i));
            items.append(QVariantMap { { "n", QStringLiteral("item-%1").arg(i) },
                { "w", qsizetype(i) == wideItem ? QStringLiteral("w").repeated(90) : QString() },
                { "h", QString::number(height > 500 || heightsAsLines ? 0 : height) },
                { "lines",
                    height > 500 || heightsAsLines
                        ? QStringLiteral("<br>line").repeated(int(height / 9))
                        : QString() } });
        }
        return items;
    }

    QList<double> heights;
    QVariantMap values;
    quint64 failOnPage = 0;
    // An item with a word wider than its column.
    qsizetype wideItem = -1;
    // Every height made of lines.
    bool heightsAsLines = false;
    // Items that are bare numbers, as cheap to make as an item can be.
    bool bare = false;
    QList<QPair<quint64, quint64>> requests;
};

class Recorder : public PdfReportGeneratorDelegate {
public:
    void reportsGenerator(PdfReportGenerator*, const QByteArray& data) override
    {
        pdf = data;
        ++endings;
    }
    void reportsGeneratorDidFailWithError(
        PdfReportGenerator*, const platform::Error& error) override
    {
        failure = error;
        ++endings;
    }

    QByteArray pdf;
    platform::Error failure;
    int endings = 0;
};

// Each item a paragraph whose bottom margin makes it as tall as asked.
const QString kTemplate = QStringLiteral(R"(<html><head><style>
p { margin: 0px; font-size: 8px; }
</style></head><body>
{{#documentHeader}}<h1>Document {{title}}</h1>{{/documentHeader}}
{{#pageHeader}}<p>Page header</p>{{/pageHeader}}
{{#pageContent}}{{#items}}<p style="margin-bottom: {{h}}px;">{{n}}{{{lines}}}</p>
{{/items}}{{/pageContent}}
{{#pageFooter}}<p>Page {{pageNumber}} end</p>{{/pageFooter}}
</body></html>)");

// The same items as rows of a table whose columns keep the widths asked.
const QString kTableTemplate = QStringLiteral(R"(<html><head><style>
p { margin: 0px; font-size: 8px; }
</style></head><body>
{{#documentHeader}}<h1>Document {{title}}</h1>{{/documentHeader}}
{{#pageHeader}}<p>Page header</p>{{/pageHeader}}
{{#pageContent}}<table border="1" cellspacing="0" cellpadding="2">
{{#items}}<tr><td width="200"><p style="margin-bottom: {{h}}px;">{{n}} {{w}}{{{lines}}}</p></td>
<td width="100"><p>x</p></td></tr>
{{/items}}</table>{{/pageContent}}
{{#pageFooter}}<p>Page {{pageNumber}} end</p>{{/pageFooter}}
</body></html>)");

struct PdfReportGeneratorTest : ::testing::Test {
    void SetUp() override
    {
        source = std::make_shared<ItemSource>();
        source->values.insert("title", "Stock");
        recorder = std::make_shared<Recorder>();
        generator = PdfReportGenerator::sharedGenerator();
        generator->setSearchMode(PdfReportPageSearch::Mode::Quick);
    }

    // Starts a report and waits until the delegate has heard its end.
    platform::Error make(quint64 total, quint64 perPage = 100, quint64 orientation = 0,
        double width = 0, const QString& text = kTemplate)
    {
        recorder->endings = 0;
        platform::Error error;
        generator->createReportWithName1(
            "Stock", text, perPage, total, orientation, source, recorder, &error, width);
        if (error)
            return error;
        EXPECT_TRUE(testsupport::waitUntil([&] { return recorder->endings > 0; }, 60000));
        testsupport::processEvents(5);
        EXPECT_EQ(recorder->endings, 1);
        EXPECT_FALSE(generator->isBusy());
        return error;
    }

    // Item names per page.
    QMap<int, QStringList> itemsByPage(const QString& path)
    {
        QMap<int, QStringList> items;
        for (const pdftest::Word& word : pdftest::pdfWords(path)) {
            if (word.text.startsWith("item-"))
                items[word.page] << word.text;
        }
        return items;
    }

    std::shared_ptr<ItemSource> source;
    std::shared_ptr<Recorder> recorder;
    std::shared_ptr<PdfReportGenerator> generator;
};

// Pages as "page: first item .. last item (count)", for messages.
std::string pagesText(const QMap<int, QStringList>& pages)
{
    QStringList lines;
    for (auto it = pages.begin(); it != pages.end(); ++it) {
        lines << QStringLiteral("%1: %2 .. %3 (%4)")
                     .arg(it.key())
                     .arg(it.value().first(), it.value().last())
                     .arg(it.value().size());
    }
    return lines.join(QLatin1Char('\n')).toStdString();
}

QStringList itemNames(int from, int to)
{
    QStringList names;
    for (int i = from; i < to; ++i)
        names << QStringLiteral("item-%1").arg(i);
    return names;
}

} // namespace

TEST_F(PdfReportGeneratorTest, PageSizeFollowsWidthAndOrientation)
{
    source->heights = { 1, 1, 1 };
    struct Case {
        double width;
        quint64 orientation;
        const char* size;
    };
    for (const Case& c : { Case { 800, 0, "800 x 1000 pts" }, Case { 800, 1, "1000 x 800 pts" },
             Case { 1000, 0, "800 x 1000 pts" }, Case { 1500, 0, "1500 x 1000 pts" },
             Case { 1500, 1, "1500 x 1000 pts" }, Case { 2500, 0, "2000 x 1000 pts" },
             Case { 2500, 1, "2000 x 1000 pts" } }) {
        ASSERT_FALSE(make(3, 100, c.orientation, c.width));
        const auto info = pdftest::pdfInfo(pdftest::writePdf(recorder->pdf));
        EXPECT_EQ(info.pages, 1);
        EXPECT_EQ(info.pageSize, c.size) << c.width << " " << c.orientation;
    }
}

TEST_F(PdfReportGeneratorTest, DocumentHeaderOnFirstPageOnlyAndEveryPageNumbered)
{
    for (int i = 0; i < 250; ++i)
        source->heights << 6;
    ASSERT_FALSE(make(250));
    const QString path = pdftest::writePdf(recorder->pdf);
    const auto lines = pdftest::pdfLines(path);
    const int pages = pdftest::pdfInfo(path).pages;
    ASSERT_GE(pages, 3);
    QStringList placed;
    for (int page = 1; page <= pages; ++page) {
        const QStringList& text = lines.value(page);
        ASSERT_FALSE(text.isEmpty());
        EXPECT_EQ(text.first(), page == 1 ? "Document Stock" : "Page header") << page;
        if (page == 1) {
            EXPECT_EQ(text.at(1), "Page header");
        }
        EXPECT_EQ(text.last(), QStringLiteral("Page %1 end").arg(page));
        EXPECT_EQ(text.count("Document Stock"), page == 1 ? 1 : 0);
    }
    for (const QStringList& items : itemsByPage(path))
        placed << items;
    EXPECT_EQ(placed, itemNames(0, 250));
}

TEST_F(PdfReportGeneratorTest, ItemCountsAtTheEdges)
{
    // Small items: more than a hundred fit on a page, so the items per page decide.
    QString small = kTemplate;
    small.replace("font-size: 8px", "font-size: 4px");
    struct Case {
        int total;
        QList<int> perPage;
    };
    for (const Case& c : { Case { 0, {} }, Case { 1, { 1 } }, Case { 100, { 100 } },
             Case { 101, { 100, 1 } }, Case { 250, { 100, 100, 50 } } }) {
        source->heights.clear();
        for (int i = 0; i < c.total; ++i)
            source->heights << 0;
        ASSERT_FALSE(make(c.total, 100, 0, 0, small));
        const QString path = pdftest::writePdf(recorder->pdf);
        const auto info = pdftest::pdfInfo(path);
        // No items still makes a page, with its headers and footer.
        EXPECT_EQ(info.pages, std::max<int>(1, int(c.perPage.size()))) << c.total;
        const auto items = itemsByPage(path);
        QList<int> counts;
        for (int page = 1; page <= info.pages; ++page) {
            if (items.contains(page))
                counts << int(items.value(page).size());
            EXPECT_TRUE(pdftest::pdfLines(path).value(page).contains(
                QStringLiteral("Page %1 end").arg(page)));
        }
        EXPECT_EQ(counts, c.perPage) << c.total;
    }
    source->heights.clear();
    ASSERT_FALSE(make(0));
    const QString path = pdftest::writePdf(recorder->pdf);
    EXPECT_EQ(pdftest::pdfInfo(path).pages, 1);
    EXPECT_EQ(pdftest::pdfLines(path).value(1),
        QStringList({ "Document Stock", "Page header", "Page 1 end" }));
}

TEST_F(PdfReportGeneratorTest, ItemTallerThanAPageRunsOnAloneAndTheNextStartsANewPage)
{
    // 800 x 1000 portrait: the second item needs about three pages' room.
    source->heights = { 10, 2400, 10, 10 };
    ASSERT_FALSE(make(4));
    const QString path = pdftest::writePdf(recorder->pdf);
    const auto info = pdftest::pdfInfo(path);
    const auto items = itemsByPage(path);
    ASSERT_GE(info.pages, 4);
    EXPECT_EQ(items.value(1), QStringList({ "item-0" }));
    EXPECT_EQ(items.value(2), QStringList({ "item-1" }));
    EXPECT_EQ(items.value(info.pages), QStringList({ "item-2", "item-3" }));
    // Each of its lines drawn once: no page repeats the last line of the one before, nor
    // the first of the next.
    int drawnLines = 0;
    for (const pdftest::Word& word : pdftest::pdfWords(path))
        drawnLines += word.text == QLatin1String("line") ? 1 : 0;
    EXPECT_EQ(drawnLines, 2400 / 9);
    // Every page the tall one runs on to has the page header and its own number; the next
    // item's page is numbered after them.
    const auto lines = pdftest::pdfLines(path);
    for (int page = 1; page <= info.pages; ++page) {
        ASSERT_FALSE(lines.value(page).isEmpty()) << page;
        EXPECT_TRUE(lines.value(page).contains(
            page == 1 ? QStringLiteral("Document Stock") : QStringLiteral("Page header")))
            << page;
        EXPECT_EQ(lines.value(page).last(), QStringLiteral("Page %1 end").arg(page));
    }
}

TEST_F(PdfReportGeneratorTest, QuickSearchPlacesTheSameItemsAsTheLiteralOne)
{
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> height(0, 120);
    for (int i = 0; i < 300; ++i)
        source->heights << height(random);
    source->heights[7] = 1500;
    generator->setSearchMode(PdfReportPageSearch::Mode::Literal);
    ASSERT_FALSE(make(300, 40));
    const auto literal = itemsByPage(pdftest::writePdf(recorder->pdf, "literal.pdf"));
    const quint64 literalTrials = generator->trialCount();
    generator->setSearchMode(PdfReportPageSearch::Mode::Quick);
    ASSERT_FALSE(make(300, 40));
    const auto quick = itemsByPage(pdftest::writePdf(recorder->pdf, "quick.pdf"));
    EXPECT_EQ(quick, literal);
    EXPECT_GT(literal.size(), 10);
    EXPECT_LT(generator->trialCount() * 2, literalTrials);
}

TEST_F(PdfReportGeneratorTest, RowsReadFromOneLayoutMakeTheLiteralSearchsPages)
{
    // Items as table rows: the quick search reads from one layout how many rows end on
    // the page. Random heights, a row as tall as three pages, and a run of rows of one
    // height, and a word wider than its column.
    std::mt19937 random(35);
    std::uniform_int_distribution<int> height(0, 120);
    for (int i = 0; i < 300; ++i)
        source->heights << height(random);
    source->heights[7] = 2400;
    source->heights[120] = 2400;
    for (int i = 200; i < 230; ++i)
        source->heights[i] = 25;
    source->wideItem = 260;
    source->heightsAsLines = true;
    generator->setSearchMode(PdfReportPageSearch::Mode::Literal);
    ASSERT_FALSE(make(300, 40, 0, 0, kTableTemplate));
    const QString literalPath = pdftest::writePdf(recorder->pdf, "literal.pdf");
    const auto literal = itemsByPage(literalPath);
    const quint64 literalTrials = generator->trialCount();
    generator->setSearchMode(PdfReportPageSearch::Mode::Quick);
    ASSERT_FALSE(make(300, 40, 0, 0, kTableTemplate));
    const QString quickPath = pdftest::writePdf(recorder->pdf, "quick.pdf");
    const auto quick = itemsByPage(quickPath);
    EXPECT_TRUE(quick == literal) << pagesText(quick) << "\n--- literal:\n" << pagesText(literal);
    EXPECT_EQ(pdftest::pdfInfo(quickPath).pages, pdftest::pdfInfo(literalPath).pages);
    QStringList placed;
    for (const QStringList& items : literal)
        placed << items;
    EXPECT_EQ(placed, itemNames(0, 300));
    // Every line of every row drawn once, those of rows split over pages too.
    int lines = 0;
    for (double height : source->heights)
        lines += int(height / 9);
    int drawnLines = 0;
    for (const pdftest::Word& word : pdftest::pdfWords(quickPath))
        drawnLines += word.text == QLatin1String("line") ? 1 : 0;
    EXPECT_EQ(drawnLines, lines);
    // The tall rows run on alone over pages of their own.
    int tallPage = 0;
    for (auto it = literal.begin(); it != literal.end(); ++it) {
        if (it.value() == QStringList({ "item-7" }))
            tallPage = it.key();
    }
    ASSERT_GT(tallPage, 0);
    EXPECT_GE(literal.upperBound(tallPage).key(), tallPage + 3);
    EXPECT_LT(generator->trialCount() * 2, literalTrials);
}

TEST_F(PdfReportGeneratorTest, SectionTextIsCutAtEveryOccurrence)
{
    // The page header's text also stands outside every section: the content and footer
    // parts lose both, the header part keeps both.
    QString text = kTemplate;
    text.replace("{{#pageHeader}}<p>Page header</p>{{/pageHeader}}",
        "{{#pageHeader}}<p>Twice said</p>{{/pageHeader}}<p>Twice said</p>");
    source->heights = { 1, 1 };
    ASSERT_FALSE(make(2, 100, 0, 0, text));
    const QStringList lines = pdftest::pdfLines(pdftest::writePdf(recorder->pdf)).value(1);
    EXPECT_EQ(lines.count("Twice said"), 2);
    EXPECT_EQ(lines.mid(0, 3), QStringList({ "Document Stock", "Twice said", "Twice said" }));
}

TEST_F(PdfReportGeneratorTest, TemplatesThatCannotMakeAReportAreRefusedAtStart)
{
    for (const QString section : { "documentHeader", "pageHeader", "pageContent", "pageFooter" }) {
        QString text = kTemplate;
        text.replace("{{#" + section + "}}", "").replace("{{/" + section + "}}", "");
        const platform::Error error = make(3, 100, 0, 0, text);
        EXPECT_EQ(error.code(), PdfReportGenerator::MissingSection) << section.toStdString();
        EXPECT_TRUE(error.localizedDescription().contains(section));
        EXPECT_FALSE(generator->isBusy());
    }
    const platform::Error error = make(3, 100, 0, 0, "{{#pageHeader}}");
    EXPECT_EQ(error.domain(), "MustacheErrorDomain");
    EXPECT_EQ(recorder->endings, 0);
}

TEST_F(PdfReportGeneratorTest, StartWhileBusyIsRefusedAndTheRunningReportEnds)
{
    source->heights = { 1, 1, 1 };
    platform::Error error;
    generator->createReportWithName1("One", kTemplate, 100, 3, 0, source, recorder, &error, 0);
    ASSERT_FALSE(error);
    auto second = std::make_shared<Recorder>();
    generator->createReportWithName1("Two", kTemplate, 100, 3, 0, source, second, &error, 0);
    EXPECT_EQ(error.code(), PdfReportGenerator::Busy);
    ASSERT_TRUE(testsupport::waitUntil([&] { return recorder->endings > 0; }, 60000));
    testsupport::processEvents(20);
    EXPECT_EQ(second->endings, 0);
    EXPECT_EQ(pdftest::pdfInfo(pdftest::writePdf(recorder->pdf)).pages, 1);
}

TEST_F(PdfReportGeneratorTest, RenderingFailureEndsTheReportAndFreesTheGenerator)
{
    for (int i = 0; i < 300; ++i)
        source->heights << 10;
    source->failOnPage = 2;
    ASSERT_FALSE(make(300));
    EXPECT_TRUE(recorder->pdf.isEmpty());
    EXPECT_EQ(recorder->failure.code(), PdfReportGenerator::RenderingFailed);
    EXPECT_TRUE(recorder->failure.localizedDescription().contains("the rows went away"));

    // A rendering error of the template itself (a filter that does not exist).
    QString text = kTemplate;
    text.replace("{{n}}", "{{ nosuchfilter(n) }}");
    source->failOnPage = 0;
    recorder->failure = {};
    ASSERT_FALSE(make(3, 100, 0, 0, text));
    EXPECT_EQ(recorder->failure.code(), PdfReportGenerator::RenderingFailed);

    // Header and footer taller than the page leave no room for rows.
    text = kTemplate;
    text.replace("<p>Page header</p>", "<p>Page header" + QString("<br>x").repeated(120) + "</p>");
    recorder->failure = {};
    ASSERT_FALSE(make(3, 100, 0, 0, text));
    EXPECT_EQ(recorder->failure.code(), PdfReportGenerator::NoRoomForRows);

    // The generator is free again.
    recorder->failure = {};
    ASSERT_FALSE(make(3));
    EXPECT_FALSE(recorder->failure);
    EXPECT_EQ(pdftest::pdfInfo(pdftest::writePdf(recorder->pdf)).pages, 1);
}

TEST_F(PdfReportGeneratorTest, RowsMadeForEveryLookupCountAgainstTheRenderingsBudget)
{
    // A thousand rows a page, made afresh at every lookup: the inverted section asks for
    // them a million times and shows nothing, so only the making of its rows costs.
    source->heights = QList<double>(1000, 1);
    source->bare = true;
    QString text = kTemplate;
    const qsizetype from = text.indexOf("{{#items}}");
    const qsizetype to = text.indexOf("{{/items}}") + QStringLiteral("{{/items}}").size();
    text.replace(from, to - from,
        "{{#items}}{{#items}}{{#title}}{{^items}}{{/items}}{{/title}}{{/items}}{{/items}}");
    ASSERT_FALSE(make(1000, 1000, 0, 0, text));
    EXPECT_EQ(recorder->failure.code(), PdfReportGenerator::RenderingFailed);
    EXPECT_TRUE(recorder->failure.localizedDescription().contains(
        QStringLiteral("more than %1 steps").arg(MustacheRenderingBudget::MaximumSteps)))
        << recorder->failure.localizedDescription().toStdString();
    // Each making of the rows costs as many steps as it makes.
    EXPECT_LT(source->requests.size(), 2 * MustacheRenderingBudget::MaximumSteps / 1000);
}

TEST_F(PdfReportGeneratorTest, InvalidSectionTypeRaises)
{
    try {
        generator->didFinishLoadingSection(3, nullptr);
        FAIL() << "no exception";
    } catch (const platform::Exception& exception) {
        EXPECT_EQ(exception.name(), "Invalid Section Type");
        EXPECT_EQ(exception.reason(), "Section Type: 3 is invalid");
    }
}

TEST_F(PdfReportGeneratorTest, ImagesLoadOnlyThroughTheReportSchemes)
{
    QImage image(7, 5, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(platform::Folders::documents() + "/Logo.png"));
    const QString outside = testsupport::homePath() + "/outside.png";
    ASSERT_TRUE(image.scaled(9, 9).save(outside));
    QString text = kTemplate;
    text.replace("<h1>",
        "<img src=\"documentsimage://Logo.png\"><img src=\"" + outside + "\"><img src=\"file://"
            + outside + "\"><img src=\"qrc:/nothing.png\"><h1>");
    source->heights = { 1 };
    ASSERT_FALSE(make(1, 100, 0, 0, text));
    const QString listing = QString::fromUtf8(
        testsupport::runTool("pdfimages", { "-list", pdftest::writePdf(recorder->pdf) }));
    // The Documents image in its own size (the name's capitals kept); the others empty.
    EXPECT_TRUE(listing.contains(QRegularExpression("\\s7\\s+5\\s"))) << listing.toStdString();
    EXPECT_FALSE(listing.contains(QRegularExpression("\\s9\\s+9\\s"))) << listing.toStdString();
}

TEST(PdfReportDocument, CellWidthStylesBecomeAttributesShrunkToThePage)
{
    const QString row = "<table><tr><th style=\"width:300.000000px;\">\r\nA \r\n</th>"
                        "<th style=\"width:500.5px;\">B</th></tr></table>";
    EXPECT_EQ(PdfReportDocument::withWidthAttributes(row, 1),
        "<table><tr><th width=\"300.00\">\r\nA \r\n</th><th width=\"500.50\">B</th></tr></table>");
    EXPECT_DOUBLE_EQ(PdfReportDocument::widestRow(row + row), 800.5);

    QImage device(10, 10, QImage::Format_RGB32);
    device.setDotsPerMeterX(2835);
    device.setDotsPerMeterY(2835);
    PdfReportDocument document(&device, 400);
    document.loadHtml(row);
    document.layOut(1000);
    EXPECT_LE(document.idealWidth(), 400.5);
    EXPECT_GT(document.idealWidth(), 300);

    // Room enough: a cell is as many points wide as the pixels asked, like its font size.
    PdfReportDocument wide(&device, 960);
    wide.loadHtml("<table cellspacing=\"0\" cellpadding=\"0\"><tr><td style=\"width:300px;\">"
                  "A</td><td style=\"width:500px;\">B</td></tr></table>");
    wide.layOut(-1);
    EXPECT_NEAR(wide.idealWidth(), 800, 2);
}

namespace {

// A table of rows of the given heights, 72-dpi points, in columns of fixed widths.
QString tableRows(const QList<int>& heights, const QString& firstWidth = "200", int wideRow = -1,
    const QString& headerRow = QString())
{
    QString html
        = "<html><body><table border=\"1\" cellspacing=\"0\" cellpadding=\"2\">" + headerRow;
    for (qsizetype row = 0; row < heights.size(); ++row) {
        html
            += QStringLiteral("<tr><td width=\"%1\"><p style=\"margin: 0px; margin-bottom: %2px;\">"
                              "row %3 %4</p></td><td width=\"100\">x</td></tr>")
                   .arg(firstWidth)
                   .arg(heights.at(row))
                   .arg(row)
                   .arg(row == wideRow ? QString(90, QLatin1Char('w')) : QString());
    }
    return html + "</table></body></html>";
}

} // namespace

TEST(PdfReportDocument, RowsOnTheFirstPageAreThoseOfTheTableCutAfterAnyRow)
{
    QImage device(10, 10, QImage::Format_RGB32);
    device.setDotsPerMeterX(2835);
    device.setDotsPerMeterY(2835);
    std::mt19937 random(8);
    std::uniform_int_distribution<int> height(0, 60);
    QList<int> heights;
    for (int i = 0; i < 40; ++i)
        heights << height(random);
    auto document = [&](int rows) {
        auto made = std::make_unique<PdfReportDocument>(&device, 500);
        made->loadHtml(tableRows(heights.mid(0, rows)));
        return made;
    };
    const auto all = document(40);
    for (double page : { 200.0, 333.0, 517.5 }) {
        const int fit = all->rowsOnFirstPage(page, 40);
        ASSERT_GT(fit, 1) << page;
        ASSERT_LT(fit, 40) << page;
        for (int rows : { 1, fit - 1, fit, fit + 1, 40 }) {
            EXPECT_EQ(document(rows)->rowsOnFirstPage(page, rows), std::min(rows, fit))
                << page << " " << rows;
        }
    }
    // Right at the edge: the least page height (in layout units of 1/64) on which ten rows
    // end holds the ten rows cut alone, and a unit less holds nine.
    int low = 0;
    int high = 1000 * 64;
    while (low + 1 < high) {
        const int middle = (low + high) / 2;
        (all->rowsOnFirstPage(middle / 64.0, 40) >= 10 ? high : low) = middle;
    }
    const auto ten = document(10);
    EXPECT_EQ(ten->rowsOnFirstPage(high / 64.0, 10), 10);
    EXPECT_EQ(ten->rowsOnFirstPage((high - 1) / 64.0, 10), 9);
    EXPECT_EQ(all->rowsOnFirstPage((high - 1) / 64.0, 40), 9);
}

TEST(PdfReportDocument, RowsAreNotReadWhenTheirLayoutDependsOnOtherContent)
{
    QImage device(10, 10, QImage::Format_RGB32);
    device.setDotsPerMeterX(2835);
    device.setDotsPerMeterY(2835);
    const QList<int> heights(12, 5);
    auto rows = [&](const QString& html, int items) {
        PdfReportDocument document(&device, 500);
        document.loadHtml(html);
        return document.rowsOnFirstPage(1000, items);
    };
    EXPECT_EQ(rows(tableRows(heights), 12), 12);
    // A word wider than its column leaves the fixed widths as they are.
    EXPECT_EQ(rows(tableRows(heights, "200", 11), 12), 12);
    // Wider than the page: laid out again with narrower columns before the rows are read.
    EXPECT_EQ(rows(tableRows(heights, "900"), 12), 12);
    // Columns shared out by their content.
    EXPECT_EQ(rows(tableRows(heights, "30%"), 12), -1);
    // A row that is no item.
    EXPECT_EQ(rows(tableRows(heights, "200", -1, "<tr><th>Name</th><th>X</th></tr>"), 12), -1);
    EXPECT_EQ(rows(tableRows(heights), 11), -1);
    // A cell spanning two rows ties them together.
    QString spanned = tableRows(heights);
    spanned.replace("<tr><td width=\"200\"><p style=\"margin: 0px; margin-bottom: 5px;\">row 4 ",
        "<tr><td rowspan=\"2\" width=\"200\"><p>row 4 ");
    spanned.replace("<tr><td width=\"200\"><p style=\"margin: 0px; margin-bottom: 5px;\">row 5 "
                    "</p></td>",
        "<tr>");
    ASSERT_NE(spanned, tableRows(heights));
    EXPECT_EQ(rows(spanned, 12), -1);
    // No table.
    EXPECT_EQ(rows("<p>row 0</p><p>row 1</p>", 2), -1);
}
