// How much a rendering may do: work that multiplies, recursion through partials and
// through templates found in the data all end in an error, and the report stays well
// inside the bounds.
#include "MustacheTestSupport.h"

#include "reports/ReportController.h"
#include "reports/mustache/MustacheEnums.h"
#include "reports/mustache/MustacheError.h"
#include "reports/mustache/MustacheRenderingBudget.h"
#include "utilities/data/OrderedDictionary.h"

using namespace std::chrono_literals;

namespace {

QString nested(int levels, const QString& name, const QString& inside = {})
{
    return QStringLiteral("{{#%1}}").arg(name).repeated(levels) + inside
        + QStringLiteral("{{/%1}}").arg(name).repeated(levels);
}

QString stepsMessage()
{
    return QStringLiteral("Rendering took more than %1 steps")
        .arg(MustacheRenderingBudget::MaximumSteps);
}

QString charactersMessage()
{
    return QStringLiteral("Rendering wrote more than %1 characters")
        .arg(MustacheRenderingBudget::MaximumCharacters);
}

enum class Container { List, Map, OrderedDictionary };

// The value inside one container of the kind after another.
QVariant nestedIn(Container kind, int levels, QVariant value)
{
    for (int i = 0; i < levels; ++i) {
        switch (kind) {
        case Container::List:
            value = QVariantList { value };
            break;
        case Container::Map:
            value = QVariantMap { { "k", value } };
            break;
        case Container::OrderedDictionary: {
            OrderedDictionary dictionary;
            dictionary.setObject(value, "k");
            value = QVariant::fromValue(dictionary);
            break;
        }
        }
    }
    return value;
}

// Takes a value nested in one container after another apart from the outside in: let go
// of whole, it would be destroyed as deep as it nests.
void takeApart(QVariant value)
{
    for (;;) {
        QVariant inner;
        if (value.typeId() == QMetaType::QVariantList && !value.toList().isEmpty())
            inner = value.toList().constFirst();
        else if (value.typeId() == QMetaType::QVariantMap && !value.toMap().isEmpty())
            inner = value.toMap().first();
        else if (value.metaType() == QMetaType::fromType<OrderedDictionary>()
            && value.value<OrderedDictionary>().count() > 0)
            inner = value.value<OrderedDictionary>().allValues().constFirst();
        else
            return;
        value = std::move(inner);
    }
}

// A chain of distinct partials: p0 includes p1, which includes p2, and so on.
QVariantMap chain(int length)
{
    QVariantMap partials;
    for (int i = 0; i < length; ++i)
        partials.insert(QStringLiteral("p%1").arg(i),
            i + 1 < length ? QStringLiteral("{{>p%1}}").arg(i + 1) : QStringLiteral("end"));
    return partials;
}

// Sections nested over forty rows, around what the caller puts inside.
QString overRows(const QString& inside)
{
    return QStringLiteral("{{#rows}}{{#rows}}%1{{/rows}}{{/rows}}").arg(inside);
}

// Forty rows, and lists of 100,000 texts and numbers.
QVariantMap longLists()
{
    QStringList texts;
    QList<qint64> numbers;
    for (int i = 0; i < 100000; ++i) {
        texts.append(QString::number(i));
        numbers.append(i);
    }
    QVariantList rows;
    for (int i = 0; i < 40; ++i)
        rows.append(i);
    return { { "rows", rows }, { "texts", texts }, { "numbers", QVariant::fromValue(numbers) },
        { "noTexts", QStringList() }, { "noNumbers", QVariant::fromValue(QList<qint64>()) } };
}

} // namespace

TEST(MustacheRenderingBudget, SectionsNestedOverShortListsStopWithAnError)
{
    // 2^30 renderings of empty content: no output to bound, only the steps.
    const QVariantMap data { { "a", QVariantList { 1, 2 } } };
    finishesWithin(60s, [&] {
        const platform::Error error = failure(nested(30, "a"), data);
        EXPECT_EQ(error.domain(), MustacheError::Domain);
        EXPECT_EQ(error.code(), MustacheError::RenderingError);
        EXPECT_EQ(error.localizedDescription(), stepsMessage());
    });
    // The same nesting over one item each is no work at all.
    EXPECT_EQ(render(nested(30, "a", "x"), QVariantMap { { "a", QVariantList { 1 } } }), "x");
    // A list printed whole counts its items too: nested lists of two, 30 deep.
    QVariant lists = "";
    for (int i = 0; i < 30; ++i)
        lists = QVariantList { lists, lists };
    finishesWithin(60s, [&] {
        EXPECT_EQ(failure("{{v}}", QVariantMap { { "v", lists } }).localizedDescription(),
            stepsMessage());
    });
}

TEST(MustacheRenderingBudget, LookupsCountEveryContextTheyWalkThrough)
{
    // A key missing inside 200 one-item sections is looked for in each of them: over
    // 100,000 rows that is 20 million contexts for 200,000 steps of rendering.
    QVariantList rows;
    for (int i = 0; i < 100000; ++i)
        rows.append(i);
    const QVariantMap data { { "a", QVariantList { 1 } }, { "rows", rows } };
    const QString lookups = QStringLiteral("{{#rows}}{{missing}}{{/rows}}");
    finishesWithin(60s, [&] {
        EXPECT_EQ(failure(nested(200, "a", lookups), data).localizedDescription(), stepsMessage());
    });
    // The same rows inside a few sections stay well within the budget.
    EXPECT_EQ(render(nested(3, "a", lookups + "{{rows.count}}"), data), "100000");

    // A protected value is hidden from the lookups of its own rendering: inside 50 sections
    // on one, every context a lookup walks is compared with the 50 values hidden.
    platform::Error error;
    const MustacheTemplatePtr compiled
        = MustacheTemplate::templateFromString(nested(50, "p", lookups), &error);
    ASSERT_TRUE(compiled);
    compiled->extendBaseContextWithProtectedObject(QVariantMap { { "p", QVariantList { 1 } } });
    finishesWithin(60s, [&] {
        EXPECT_FALSE(compiled->renderObject(QVariantMap { { "rows", rows.mid(0, 2000) } }, &error));
        EXPECT_EQ(error.localizedDescription(), stepsMessage());
    });
}

TEST(MustacheRenderingBudget, LookupsWalkPastAListOfTextsWithoutCopyingIt)
{
    // A list of texts inside a list is a context of its own for the rows inside it.
    QStringList texts;
    for (int i = 0; i < 200000; ++i)
        texts.append(QString::number(i));
    QVariantList rows;
    for (int i = 0; i < 5000; ++i)
        rows.append(i);
    const QVariantMap data { { "lists", QVariantList { texts } }, { "rows", rows } };
    finishesWithin(60s,
        [&] { EXPECT_EQ(render("{{#lists}}{{#rows}}{{missing}}{{/rows}}{{/lists}}", data), ""); });
    EXPECT_EQ(render("{{#lists}}{{count}} {{firstObject}} {{lastObject}}{{/lists}}", data),
        "200000 0 199999");
}

TEST(MustacheRenderingBudget, AskingWhetherALongListIsEmptyDoesNotWalkIt)
{
    // 1,600 questions about each list: each is answered at once.
    const QVariantMap data = longLists();
    finishesWithin(60s, [&] {
        for (const char* question : { "{{^texts}}x{{/texts}}", "{{^numbers}}x{{/numbers}}",
                 "{{#isEmpty(texts)}}x{{/}}", "{{#isBlank(numbers)}}x{{/}}" }) {
            SCOPED_TRACE(question);
            EXPECT_EQ(render(overRows(question), data), "");
        }
        EXPECT_EQ(render(overRows("{{numbers.count}}"), data), QString("100000").repeated(1600));
        EXPECT_EQ(
            render(overRows("{{numbers.lastObject}}"), data), QString("99999").repeated(1600));
    });
    // Empty lists are empty however they are asked about.
    EXPECT_EQ(render("{{^noTexts}}a{{/noTexts}}{{^noNumbers}}b{{/noNumbers}}"
                     "{{#isEmpty(noTexts)}}c{{/}}{{#isBlank(noNumbers)}}d{{/}}{{noNumbers.count}}"
                     "<{{noNumbers.firstObject}}>{{#numbers.firstObject}}e{{/}}",
                  data),
        "abcd0<>");
}

TEST(MustacheRenderingBudget, EveryWalkOfALongListCountsItsItems)
{
    // Nothing is written: the filters describe the whole list only for the section to ask
    // whether the description is empty.
    const QVariantMap data = longLists();
    for (const char* walk : { "{{#uppercase(texts)}}{{/}}", "{{#isBlank(localize(numbers))}}{{/}}",
             "{{#numbers}}{{/numbers}}" }) {
        SCOPED_TRACE(walk);
        finishesWithin(60s, [&] {
            EXPECT_EQ(failure(overRows(walk), data).localizedDescription(), stepsMessage());
        });
    }
    // A short list is still described whole.
    EXPECT_EQ(render("{{uppercase(list)}}", QVariantMap { { "list", QStringList { "a", "b" } } }),
        "(\n    A,\n    B\n)");
    EXPECT_EQ(render("{{uppercase(list)}}",
                  QVariantMap { { "list", QVariant::fromValue(QList<qint64> { 1, 2 }) } }),
        "(\n    1,\n    2\n)");
}

TEST(MustacheRenderingBudget, OutputBeyondTheBoundStopsWithAnError)
{
    // Few steps, each writing a megabyte.
    const QString megabyte(1024 * 1024, QChar('x'));
    QVariantList items;
    for (int i = 0; i < 300; ++i)
        items.append(i);
    finishesWithin(60s, [&] {
        const platform::Error error = failure(
            "{{#items}}{{big}}{{/items}}", QVariantMap { { "items", items }, { "big", megabyte } });
        EXPECT_EQ(error.code(), MustacheError::RenderingError);
        EXPECT_EQ(error.localizedDescription(),
            QStringLiteral("Rendering wrote more than %1 characters")
                .arg(MustacheRenderingBudget::MaximumCharacters));
    });
    // Each rendering starts with the whole budget: the same template renders again.
    EXPECT_EQ(render("{{#items}}{{big}}{{/items}}",
                  QVariantMap { { "items", QVariantList { 1, 2 } }, { "big", megabyte } })
                  .size(),
        2 * megabyte.size());
}

TEST(MustacheRenderingBudget, PartialsIncludedTwiceAtEveryLevelInsideAnOverrideStop)
{
    // Every component the overridden template renders is offered to the override, which
    // passes it through p0, twice through p1, four times through p2, and so on; where the
    // innermost overrides the section, each pass adds it to those gathered before.
    QVariantMap partials { { "base", "{{$s}}S{{/s}}{{#items}}{{.}}{{/items}}" },
        { "main", "{{<base}}{{>p0}}{{/base}}" } };
    for (int i = 0; i < 40; ++i)
        partials.insert(
            QStringLiteral("p%1").arg(i), QStringLiteral("{{>p%1}}{{>p%1}}").arg(i + 1));
    for (const char* innermost : { "x", "{{$s}}o{{/s}}" }) {
        SCOPED_TRACE(innermost);
        partials.insert("p40", innermost);
        finishesWithin(60s, [&] {
            platform::Error error;
            EXPECT_EQ(renderWithPartials(partials, "main", {}, &error), "");
            EXPECT_EQ(error.localizedDescription(), stepsMessage());
        });
    }
    // Three levels gather the eight overriding sections.
    partials.insert("p3", "{{$s}}o{{/s}}");
    EXPECT_EQ(
        renderWithPartials(partials, "main", QVariantMap { { "items", QVariantList { 1, 2 } } }),
        "oooooooo12");
}

TEST(MustacheRenderingDepth, AChainOfDistinctPartialsIsBoundWhenCompiled)
{
    // Long enough to exhaust any stack if each compiled the next inside itself unbounded.
    finishesWithin(60s, [&] {
        platform::Error error;
        EXPECT_EQ(renderWithPartials(chain(100000), "p0", {}, &error), "");
        EXPECT_EQ(error.domain(), MustacheError::Domain);
        EXPECT_EQ(error.code(), MustacheError::ParseError);
        EXPECT_EQ(error.localizedDescription(),
            "Parse error at line 1 of template p255: Partials nested deeper than 256 levels");
    });
    // The same through a template override, whose template is loaded at its closing tag.
    QVariantMap overrides = chain(300);
    overrides.insert("p0", "{{<p1}}{{/p1}}");
    platform::Error error;
    EXPECT_EQ(renderWithPartials(overrides, "p0", {}, &error), "");
    EXPECT_EQ(error.localizedDescription(),
        "Parse error at line 1 of template p255: Partials nested deeper than 256 levels");
    // 256 templates deep still compiles and renders.
    EXPECT_EQ(renderWithPartials(chain(256), "p0"), "end");
}

TEST(MustacheRenderingDepth, ATemplateFoundInItsOwnDataStopsAtTheDepthLimit)
{
    for (const char* text : { "{{t}}", "<{{#t}}{{/t}}>", "{{{t}}}{{t}}" }) {
        SCOPED_TRACE(text);
        platform::Error error;
        const MustacheTemplatePtr compiled = MustacheTemplate::templateFromString(text, &error);
        ASSERT_TRUE(compiled);
        const QVariantMap data { { "t", MustacheValue::fromObject(compiled) } };
        finishesWithin(60s, [&] {
            EXPECT_FALSE(compiled->renderObject(data, &error));
            EXPECT_EQ(error.code(), MustacheError::RenderingError);
            EXPECT_TRUE(error.localizedDescription().startsWith(
                "Rendering nested deeper than 256 levels in tag `{{"))
                << error.localizedDescription().toStdString();
        });
    }
    // A template value that does not find itself renders as before.
    platform::Error error;
    const MustacheTemplatePtr inner = MustacheTemplate::templateFromString("<{{x}}>", &error);
    EXPECT_EQ(render("{{t}}{{#t}}{{/t}}",
                  QVariantMap { { "t", MustacheValue::fromObject(inner) }, { "x", "&" } }),
        "<&amp;><&amp;>");
}

TEST(MustacheRenderingDepth, ValuesInsideAnOrderedDictionaryAreCutShortAtTheSameDepth)
{
    // Far deeper than a description could recurse: every kind, held in an ordered
    // dictionary or not, is written to the same depth and no further.
    for (const Container kind : { Container::List, Container::Map, Container::OrderedDictionary }) {
        SCOPED_TRACE(int(kind));
        QVariant deep = nestedIn(kind, 20000, "end");
        {
            OrderedDictionary holding;
            holding.setObject(deep, "deep");
            const QVariantMap data { { "holding", QVariant::fromValue(holding) },
                { "deep", deep } };
            finishesWithin(60s, [&] {
                // The filter describes the value whole, a list too.
                for (const char* text : { "{{holding}}", "{{uppercase(deep)}}" }) {
                    SCOPED_TRACE(text);
                    const QString rendering = render(text, data);
                    EXPECT_EQ(
                        rendering.count(u'(') + rendering.count(u'{'), MustacheMaximumDepth + 1);
                    EXPECT_EQ(rendering.count("..."), 1);
                    EXPECT_FALSE(rendering.contains("end", Qt::CaseInsensitive));
                }
            });
        }
        takeApart(std::move(deep));
    }
}

TEST(MustacheRenderingBudget, AnOrderedDictionaryPaysForWhatItHoldsAndStopsWhenItIsSpent)
{
    // Its items are steps as a list's are: a long list inside it, described again and again,
    // runs out of steps as the list alone does.
    QVariantMap data = longLists();
    OrderedDictionary holding;
    holding.setObject(data.value("texts"), "texts");
    data.insert("holding", QVariant::fromValue(holding));
    finishesWithin(60s, [&] {
        EXPECT_EQ(failure(overRows("{{#isBlank(holding)}}{{/}}"), data)
                      .localizedDescription()
                      .toStdString(),
            stepsMessage().toStdString());
    });

    QVariantList items;
    for (int i = 0; i < 1000000; ++i)
        items.append(i);
    // Maps nested 1,000 deep over 10,000 items inside one: written to the depth limit.
    OrderedDictionary overMaps;
    overMaps.setObject(nestedIn(Container::Map, 1000, items.mid(0, 10000)), "maps");
    finishesWithin(5s, [&] {
        const QString rendering
            = render("{{maps}}", QVariantMap { { "maps", QVariant::fromValue(overMaps) } });
        EXPECT_EQ(rendering.count(u'{'), MustacheMaximumDepth + 1);
        EXPECT_EQ(rendering.count("..."), 1);
    });
    // A million items under maps nested 20 deep cannot all be written: the description stops
    // there, and no level above it joins on.
    const QVariant overItems = nestedIn(Container::Map, 20, items);
    for (const char* text : { "{{^isEmpty(plain)}}x{{/}}", "{{plain}}" }) {
        SCOPED_TRACE(text);
        finishesWithin(5s, [&] {
            EXPECT_EQ(failure(text, QVariantMap { { "plain", overItems } })
                          .localizedDescription()
                          .toStdString(),
                charactersMessage().toStdString());
        });
    }
}

TEST(MustacheRenderingBudget, TheThousandRowReportRendersWhole)
{
    OrderedDictionary columns;
    QList<double> widths;
    for (int c = 0; c < 10; ++c) {
        columns.setObject(QStringLiteral("Header %1").arg(c), QStringLiteral("column%1").arg(c));
        widths << 95;
    }
    const std::optional<QString> text = ReportController::htmlTemplate(columns, widths);
    ASSERT_TRUE(text);
    platform::Error error;
    const MustacheTemplatePtr compiled = MustacheTemplate::templateFromString(*text, &error);
    ASSERT_TRUE(compiled);

    QVariantList rows;
    for (int r = 0; r < 1000; ++r) {
        QVariantMap row;
        for (int c = 0; c < 10; ++c)
            row.insert(QStringLiteral("column%1").arg(c),
                QStringLiteral("<cell %1.%2> & %3").arg(r).arg(c).arg(QString(r % 7 * 10, 'w')));
        rows.append(row);
    }
    QVariantMap data { { "title", "Stock & <Costs>" }, { "currentDate", "Dec 8, 2026" },
        { "htmlColorHex", "1F4E79" }, { "headerColorHex", "FFFFFF" },
        { "rowalternateColorHex", "EAF1FB" }, { "pageNumber", "1" } };
    for (const char* section : { "documentHeader", "pageHeader", "pageContent", "pageFooter" })
        data.insert(section, true);
    const auto renderRows = [&](const QVariantList& items) {
        QVariantMap withItems = data;
        withItems.insert("items", items);
        platform::Error renderingError;
        const std::optional<QString> html = compiled->renderObject(withItems, &renderingError);
        EXPECT_TRUE(html) << renderingError.localizedDescription().toStdString();
        return html.value_or(QString());
    };

    // Whole, it is what the report around no row holds, with each row's own rendering
    // in its place, in order.
    const QString around = renderRows({});
    const QString whole = renderRows(rows);
    // The rows go at the end of the last table, the content's.
    const qsizetype cut = around.indexOf("</table>", around.lastIndexOf("<table"));
    ASSERT_GT(cut, 0);
    QString expected = around.left(cut);
    for (const QVariant& row : rows) {
        const QString alone = renderRows({ row });
        expected += alone.mid(cut, alone.size() - around.size());
    }
    expected += around.mid(cut);
    EXPECT_EQ(whole.size(), expected.size());
    EXPECT_TRUE(whole == expected);
    EXPECT_TRUE(whole.contains("&lt;cell 999.9&gt; &amp; wwwwww"));

    // Ten times the rows in one rendering still stay inside the bounds.
    QVariantList tenfold;
    for (int i = 0; i < 10; ++i)
        tenfold += rows;
    EXPECT_EQ(renderRows(tenfold).count("<tr>"), whole.count("<tr>") + 9 * rows.size());
}
