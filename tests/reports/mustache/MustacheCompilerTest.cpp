// The compiler: sections and their else form, closing tags, pragmas, partials, template
// overrides and the order in which tag delegates are asked.
#include "MustacheTestSupport.h"

#include "reports/mustache/MustacheError.h"
#include "reports/mustache/MustacheTag.h"
#include "reports/mustache/MustacheTagDelegate.h"

namespace {

struct Recording : MustacheTagDelegate {
    Recording(QString name, QStringList* log)
        : name(std::move(name))
        , log(log)
    {
    }
    QVariant mustacheTagWillRenderObject(const MustacheTag&, const QVariant& object) override
    {
        *log << "will " + name;
        return object.toString() + name;
    }
    void mustacheTagDidRenderObject(
        const MustacheTag&, const QVariant&, const QString& rendering) override
    {
        *log << "did " + name + " " + rendering;
    }
    void mustacheTagDidFailRenderingObject(
        const MustacheTag&, const QVariant&, const platform::Error&) override
    {
        *log << "failed " + name;
    }
    QString name;
    QStringList* log;
};

} // namespace

TEST(MustacheCompiler, NoStandaloneLineRule)
{
    EXPECT_EQ(render("a\n  {{#s}}\n  b\n  {{/s}}\n  {{! note }}\nc", QVariantMap { { "s", true } }),
        "a\n  \n  b\n  \n  \nc");
}

TEST(MustacheCompiler, ElseFormBothWays)
{
    const QString sectionFirst = "{{#x}}yes{{^x}}no{{/x}}";
    const QString invertedFirst = "{{^x}}no{{#}}yes{{/x}}";
    for (const QString& text : { sectionFirst, invertedFirst, QString("{{#x}}yes{{^}}no{{/}}") }) {
        EXPECT_EQ(render(text, QVariantMap { { "x", true } }), "yes") << text.toStdString();
        EXPECT_EQ(render(text, QVariantMap { { "x", false } }), "no") << text.toStdString();
    }
    // A different expression opens a nested block instead.
    EXPECT_EQ(render("{{#x}}a{{^y}}b{{/y}}{{/x}}", QVariantMap { { "x", true } }), "ab");
}

TEST(MustacheCompiler, ClosingTags)
{
    EXPECT_EQ(render("{{#a}}1{{^b}}2{{$c}}3{{/}}{{/}}{{/}}", QVariantMap { { "a", true } }), "123");
    platform::Error error = failure("{{#a}}\n{{/b}}");
    EXPECT_EQ(error.code(), MustacheError::ParseError);
    EXPECT_EQ(error.localizedDescription(), "Parse error at line 2: Unexpected {{/b}} closing tag");
    EXPECT_EQ(failure("x{{/a}}").localizedDescription(),
        "Parse error at line 1: Unexpected {{/a}} closing tag");
    EXPECT_EQ(failure("{{#a}}{{/a.}}").localizedDescription(),
        "Parse error at line 1: Invalid expression");
}

TEST(MustacheCompiler, UnclosedSectionAtItsOpeningTag)
{
    platform::Error error;
    renderWithPartials({ { "T", "x\n\n{{#a}}\n{{#b}}{{/b}}" } }, "T", {}, &error);
    EXPECT_EQ(error.localizedDescription(),
        "Parse error at line 3 of template T: Unclosed {{#a}} section");
}

TEST(MustacheCompiler, BadExpressionsAndNames)
{
    EXPECT_EQ(failure("{{}}").localizedDescription(), "Parse error at line 1: Missing expression");
    EXPECT_EQ(failure("{{#a b}}{{/a b}}").localizedDescription(),
        "Parse error at line 1: Invalid expression");
    EXPECT_EQ(failure("{{>}}").localizedDescription(),
        "Parse error at line 1: Missing template name in partial tag");
    EXPECT_EQ(failure("{{>a b}}").localizedDescription(),
        "Parse error at line 1: Invalid template name in partial tag");
    platform::Error error;
    renderWithPartials({ { "T", "{{<p}}{{/a b}}" }, { "p", "" } }, "T", {}, &error);
    EXPECT_EQ(error.localizedDescription(),
        "Parse error at line 1 of template T: Invalid template name in partial closing tag");
    renderWithPartials({ { "T", "{{<p}}{{/q}}" }, { "p", "" } }, "T", {}, &error);
    EXPECT_EQ(error.localizedDescription(),
        "Parse error at line 1 of template T: Unexpected {{/q}} closing tag");
}

TEST(MustacheCompiler, ContentTypePragmas)
{
    EXPECT_EQ(
        render("text {{!c}}{{%CONTENT_TYPE:TEXT}}{{x}}", QVariantMap { { "x", "<" } }), "text <");
    EXPECT_EQ(render("{{%CONTENT_TYPE:TEXT}}{{%CONTENT_TYPE:HTML}}{{x}}{{%OTHER}}",
                  QVariantMap { { "x", "<" } }),
        "&lt;");
    EXPECT_EQ(failure("{{x}}\n{{%CONTENT_TYPE:TEXT}}").localizedDescription(),
        "Parse error at line 2: CONTENT_TYPE:TEXT pragma tag must prepend any Mustache variable, "
        "section, or partial tag.");
    EXPECT_EQ(failure("{{#s}}{{/s}}{{% CONTENT_TYPE:HTML }}").localizedDescription(),
        "Parse error at line 1: CONTENT_TYPE:HTML pragma tag must prepend any Mustache variable, "
        "section, or partial tag.");
}

TEST(MustacheCompiler, MissingPartialFailsCompilation)
{
    const platform::Error error = failure("a {{>nowhere}}");
    EXPECT_EQ(error.code(), MustacheError::TemplateNotFound);
    EXPECT_EQ(error.localizedDescription(), "No such template: `nowhere`");
}

TEST(MustacheCompiler, PartialsAreNotReindented)
{
    EXPECT_EQ(renderWithPartials({ { "T", "  {{>p}}\n" }, { "p", "a\nb" } }, "T"), "  a\nb\n");
}

TEST(MustacheCompiler, TextTemplateThroughOverrideInHTMLIsAMismatch)
{
    const QVariantMap partials { { "text", "{{%CONTENT_TYPE:TEXT}}{{$a}}<{{/a}}" },
        { "page", "x\n{{<text}}{{/text}}" }, { "plain", "{{>text}}" } };
    platform::Error error;
    renderWithPartials(partials, "page", {}, &error);
    EXPECT_EQ(error.localizedDescription(),
        "Parse error at line 2 of template page: HTML safety mismatch");
    EXPECT_EQ(renderWithPartials(partials, "plain"), "&lt;");
}

TEST(MustacheCompiler, OverridesAtOneAndTwoLevels)
{
    const QVariantMap partials {
        { "layout", "<h1>{{$title}}Default{{/title}}</h1>{{$body}}empty{{/body}}{{>footer}}" },
        { "footer", "<p>{{$note}}n{{/note}}</p>" },
        { "one", "{{<layout}}{{$title}}One{{/title}}{{$note}}N1{{/note}}{{/layout}}" },
        { "two", "{{<one}}{{$body}}Two{{/body}}{{/one}}" },
        { "self", "{{<layout}}ignored text{{/layout}}" },
    };
    EXPECT_EQ(renderWithPartials(partials, "layout"), "<h1>Default</h1>empty<p>n</p>");
    EXPECT_EQ(renderWithPartials(partials, "one"), "<h1>One</h1>empty<p>N1</p>");
    EXPECT_EQ(renderWithPartials(partials, "two"), "<h1>One</h1>Two<p>N1</p>");
    EXPECT_EQ(renderWithPartials(partials, "self"), "<h1>Default</h1>empty<p>n</p>");
    // A block looks its name up as data.
    EXPECT_EQ(renderWithPartials(partials, "one", QVariantMap { { "title", false } }),
        "<h1></h1>empty<p>N1</p>");
    EXPECT_EQ(
        renderWithPartials(partials, "layout", QVariantMap { { "body", QVariantList { 1, 2 } } }),
        "<h1>Default</h1>emptyempty<p>n</p>");
}

TEST(MustacheCompiler, OverrideHoldingASelfIncludingPartialResolvesWithoutEndlessRecursion)
{
    const QVariantMap partials { { "layout", "<{{$a}}x{{/a}}>" }, { "self", "{{>self}}" },
        { "page", "{{<layout}}{{>self}}{{$a}}y{{/a}}{{/layout}}" } };
    EXPECT_EQ(renderWithPartials(partials, "page"), "<y>");
}

TEST(MustacheCompiler, EscapedAndUnescapedVariables)
{
    const QVariantMap data { { "x", "a<b" } };
    EXPECT_EQ(render("{{x}}|{{{x}}}|{{&x}}", data), "a&lt;b|a<b|a<b");
    EXPECT_EQ(render("{{%CONTENT_TYPE:TEXT}}{{x}}|{{{x}}}|{{&x}}", data), "a<b|a<b|a<b");
}

TEST(MustacheCompiler, DelegatesAskedInTheStatedOrders)
{
    QStringList log;
    auto compiled = MustacheTemplate::templateFromString("{{x}}", nullptr);
    compiled->extendBaseContextWithTagDelegate(std::make_shared<Recording>("1", &log));
    compiled->extendBaseContextWithTagDelegate(std::make_shared<Recording>("2", &log));
    EXPECT_EQ(compiled->renderObject(QVariantMap { { "x", "v" } }, nullptr).value(), "v21");
    EXPECT_EQ(log, QStringList({ "will 2", "will 1", "did 1 v21", "did 2 v21" }));

    log.clear();
    auto failing = MustacheTemplate::templateFromString("{{#x}}{{f(y)}}{{/x}}", nullptr);
    failing->extendBaseContextWithTagDelegate(std::make_shared<Recording>("1", &log));
    failing->extendBaseContextWithTagDelegate(std::make_shared<Recording>("2", &log));
    platform::Error error;
    EXPECT_FALSE(failing->renderObject(QVariantMap { { "x", "on" } }, &error));
    EXPECT_EQ(log, QStringList({ "will 2", "will 1", "failed 1", "failed 2" }));
}

TEST(MustacheCompiler, TagDescriptions)
{
    auto repository = MustacheTemplateRepository::templateRepositoryWithDictionary(
        { { "T", "\n{{#a}}{{/a}}" } });
    auto compiled = repository->templateNamed("T", nullptr);
    auto tag = std::dynamic_pointer_cast<MustacheTag>(compiled->components().at(1));
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag->description(), "<MustacheSectionTag `{{#a}}` at line 2 of template T>");
    EXPECT_EQ(tag->innerTemplateString(), "");
}
