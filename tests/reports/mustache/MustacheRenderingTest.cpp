// How each kind of value renders in each kind of tag.
#include "MustacheTestSupport.h"

#include "platform/Exception.h"
#include "reports/mustache/Mustache.h"
#include "reports/mustache/MustacheError.h"
#include "reports/mustache/MustacheRenderingRegistry.h"
#include "reports/mustache/MustacheTag.h"
#include "utilities/data/OrderedDictionary.h"

#include <QDateTime>
#include <QTimeZone>

namespace {

struct Row {
    const char* name;
    QVariant value;
    const char* variable; // {{v}} in HTML
    const char* section; // {{#v}}[{{.}}]{{/v}}
    const char* inverted; // {{^v}}-{{/v}}
    const char* block; // {{$v}}<{{.}}>{{/v}}
};

struct Point {
    int x;
    bool operator==(const Point& other) const { return x == other.x; }
};

} // namespace

Q_DECLARE_METATYPE(Point)

TEST(MustacheRendering, EachValueKindInEachTagType)
{
    const QList<Row> rows {
        { "nil", QVariant(), "", "", "-", "<top>" },
        { "null", MustacheValue::null(), "", "", "-", "" },
        { "false", false, "0", "", "-", "" },
        { "true", true, "1", "[top]", "", "<top>" },
        { "zero", 0, "0", "", "-", "" },
        { "integer", 85, "85", "[top]", "", "<top>" },
        { "floating", 1.21, "1.21", "[top]", "", "<top>" },
        { "empty string", "", "", "", "-", "" },
        { "string", "a<b", "a&lt;b", "[a&lt;b]", "", "<a&lt;b>" },
        { "empty list", QVariantList(), "", "", "-", "" },
        { "list", QVariantList { "x", 2 }, "x2", "[x][2]", "", "<x><2>" },
        { "map", QVariantMap { { "k", "v" } }, "{\n    k = v;\n}", "[{\n    k = v;\n}]", "",
            "<{\n    k = v;\n}>" },
    };
    for (const Row& row : rows) {
        QVariantMap data;
        if (row.value.isValid())
            data.insert("v", row.value);
        auto compiled = MustacheTemplate::templateFromString(
            "{{v}}|{{#v}}[{{.}}]{{/v}}|{{^v}}-{{/v}}|{{$v}}<{{.}}>{{/v}}", nullptr);
        ASSERT_TRUE(compiled);
        // The value lies below the top object, so "." shows whether a section pushed it.
        compiled->extendBaseContextWithObject(data);
        const QString expected
            = QStringList { row.variable, row.section, row.inverted, row.block }.join('|');
        EXPECT_EQ(compiled->renderObject("top", nullptr).value(), expected) << row.name;
    }
}

TEST(MustacheRendering, NumbersAreConditionsThatKeepTheContext)
{
    const QVariantMap data { { "one", 1 }, { "name", "outer" } };
    EXPECT_EQ(render("{{#one}}{{name}} {{.}}{{/one}}", data).left(6), "outer ");
    EXPECT_EQ(render("{{#one}}{{one}}{{/one}}", data), "1");
}

TEST(MustacheRendering, StringsArePushed)
{
    EXPECT_EQ(render("{{#s}}{{.}}{{.length}}{{/s}}", QVariantMap { { "s", "abc" } }), "abc3");
}

TEST(MustacheRendering, MapsAreNeverIterated)
{
    const QVariantMap data { { "m", QVariantMap { { "a", 1 }, { "b", 2 } } } };
    EXPECT_EQ(render("{{#m}}<{{a}}{{b}}>{{/m}}", data), "<12>");
    OrderedDictionary ordered;
    ordered.setObject(1, "a");
    EXPECT_EQ(render("{{#m}}<{{a}}>{{/m}}", QVariantMap { { "m", QVariant::fromValue(ordered) } }),
        "<1>");
}

TEST(MustacheRendering, EveryValueKindEscapedInHTMLAndNotInText)
{
    const QVariantMap data { { "s", "<&>" }, { "n", 2.5 }, { "b", true },
        { "l", QVariantList { "<", ">" } }, { "m", QVariantMap { { "\"k\"", "<v>" } } },
        { "d", QDateTime(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc()) } };
    EXPECT_EQ(render("{{s}} {{n}} {{b}} {{l}} {{m}} {{d}}", data),
        "&lt;&amp;&gt; 2.5 1 &lt;&gt; {\n    &quot;\\&quot;k\\&quot;&quot; = &lt;v&gt;;\n} "
        "2001-01-01 00:00:00 +0000");
    EXPECT_EQ(render("{{%CONTENT_TYPE:TEXT}}{{s}} {{n}} {{b}} {{l}} {{m}} {{d}}", data),
        "<&> 2.5 1 <> {\n    \"\\\"k\\\"\" = <v>;\n} 2001-01-01 00:00:00 +0000");
    EXPECT_EQ(render("{{{s}}} {{&l}}", data), "<&> <>");
}

TEST(MustacheRendering, ListsInVariableTagsKeepEachItemsEscaping)
{
    auto safe = MustacheTemplate::templateFromString("<b>{{.}}</b>", nullptr);
    const QVariantMap data {
        { "safe",
            QVariantList { MustacheValue::fromObject(safe), MustacheValue::fromObject(safe) } },
        { "mixed", QVariantList { MustacheValue::fromObject(safe), "<i>" } }, { "x", "&" },
        { "withEmpty", QVariantList { MustacheValue::fromObject(safe), "" } }
    };
    EXPECT_EQ(render("{{#x}}{{safe}}{{/x}}", data), "<b>&amp;</b><b>&amp;</b>");
    EXPECT_EQ(render("{{#x}}{{withEmpty}}{{/x}}", data), "<b>&amp;</b>");
    try {
        render("{{mixed}}", data);
        FAIL();
    } catch (const platform::Exception& e) {
        EXPECT_EQ(e.name(), "MustacheRenderingException");
        EXPECT_EQ(e.reason(), "Inconsistant HTML escaping of items in enumeration");
    }
}

TEST(MustacheRendering, BlockRenderers)
{
    auto bold = Mustache::renderingObjectWithBlock(
        [](const MustacheTag& tag, const MustacheContextPtr& context, bool* HTMLSafe,
            platform::Error* error) {
            std::optional<QString> inner = tag.renderContentWithContext(context, HTMLSafe, error);
            if (HTMLSafe)
                *HTMLSafe = true;
            return inner ? std::optional<QString>("<b>" + *inner + "</b>") : std::nullopt;
        });
    auto failing = Mustache::renderingObjectWithBlock(
        [](const MustacheTag&, const MustacheContextPtr&, bool*,
            platform::Error* error) -> std::optional<QString> {
            *error = MustacheError::make(MustacheError::RenderingError, "no");
            return std::nullopt;
        });
    auto silent
        = Mustache::renderingObjectWithBlock([](const MustacheTag&, const MustacheContextPtr&,
                                                 bool*, platform::Error*) { return std::nullopt; });
    const QVariantMap data { { "bold", MustacheValue::fromObject(bold) },
        { "fail", MustacheValue::fromObject(failing) },
        { "silent", MustacheValue::fromObject(silent) }, { "x", "<" } };
    EXPECT_EQ(render("{{#bold}}{{x}}{{/bold}}{{silent}}", data), "<b>&lt;</b>");
    EXPECT_EQ(failure("{{fail}}", data).localizedDescription(), "no");
    EXPECT_THROW(Mustache::renderingObjectWithBlock(nullptr), platform::Exception);
    EXPECT_EQ(Mustache::renderingObjectForObject(QVariant()).get(),
        Mustache::renderingObjectForObject(QVariant()).get());
}

TEST(MustacheRendering, RegisteredImplementationForOwnValueType)
{
    EXPECT_FALSE(
        Mustache::registerRenderingImplementation(QMetaType::fromType<QString>(), nullptr));
    EXPECT_TRUE(Mustache::registerRenderingImplementation(QMetaType::fromType<Point>(),
        [](const QVariant& value, const MustacheTag&, const MustacheContextPtr&, bool*,
            platform::Error*) {
            return std::optional<QString>(QStringLiteral("(%1)").arg(value.value<Point>().x));
        }));
    EXPECT_FALSE(Mustache::registerRenderingImplementation(QMetaType::fromType<Point>(), nullptr));
    EXPECT_EQ(render("{{p}}", QVariantMap { { "p", QVariant::fromValue(Point { 3 }) } }), "(3)");
}
