// Configuration, expression grammar, accumulator tag, localizer and the three escapers.
#include "MustacheTestSupport.h"

#include "platform/Exception.h"
#include "reports/mustache/Mustache.h"
#include "reports/mustache/MustacheConfiguration.h"
#include "reports/mustache/MustacheError.h"
#include "reports/mustache/MustacheExpressionParser.h"
#include "reports/mustache/MustacheFilteredExpression.h"
#include "reports/mustache/MustacheFormatter.h"
#include "reports/mustache/MustacheIdentifierExpression.h"
#include "reports/mustache/MustacheImplicitIteratorExpression.h"
#include "reports/mustache/MustacheJavascriptEscaper.h"
#include "reports/mustache/MustacheLocalizer.h"
#include "reports/mustache/MustacheScopedExpression.h"
#include "reports/mustache/MustacheTag.h"
#include "reports/mustache/MustacheURLEscapeFilter.h"
#include "utilities/text/IcuNumberFormatter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

struct Parsed {
    MustacheExpressionPtr expression;
    bool empty = false;
    QString message;
};

Parsed parse(const QString& text)
{
    Parsed parsed;
    platform::Error error;
    parsed.expression = MustacheExpressionParser().parseExpression(text, &parsed.empty, &error);
    parsed.message = error.localizedDescription();
    if (!parsed.expression) {
        EXPECT_EQ(error.domain(), MustacheError::Domain);
    }
    return parsed;
}

template<class T> std::shared_ptr<const T> as(const MustacheExpressionPtr& expression)
{
    return std::dynamic_pointer_cast<const T>(expression);
}

QString identifier(const MustacheExpressionPtr& expression)
{
    auto id = as<MustacheIdentifierExpression>(expression);
    return id ? id->identifier() : QStringLiteral("<not an identifier>");
}

} // namespace

TEST(MustacheConfiguration, DefaultsAndCopiesAreUnlocked)
{
    MustacheConfiguration configuration;
    EXPECT_EQ(configuration.contentType(), MustacheContentType::HTML);
    EXPECT_EQ(configuration.tagStartDelimiter(), "{{");
    EXPECT_EQ(configuration.tagEndDelimiter(), "}}");
    ASSERT_TRUE(configuration.baseContext());
    EXPECT_TRUE(configuration.baseContext()->valueForMustacheKey("uppercase").isValid());
    configuration.lock();
    const MustacheConfiguration copy = configuration;
    EXPECT_FALSE(copy.isLocked());
}

TEST(MustacheConfiguration, RefusesBadValuesAndChangesAfterLocking)
{
    MustacheConfiguration configuration;
    try {
        configuration.setTagStartDelimiter("");
        FAIL();
    } catch (const platform::Exception& e) {
        EXPECT_EQ(e.name(), platform::Exception::InvalidArgument);
        EXPECT_EQ(e.reason(), "Invalid tagStartDelimiter:");
    }
    EXPECT_THROW(configuration.setTagEndDelimiter(""), platform::Exception);
    try {
        configuration.setBaseContext(nullptr);
        FAIL();
    } catch (const platform::Exception& e) {
        EXPECT_EQ(e.reason(), "Invalid baseContext:nil");
    }
    configuration.lock();
    try {
        configuration.setContentType(MustacheContentType::Text);
        FAIL();
    } catch (const platform::Exception& e) {
        EXPECT_EQ(e.name(), platform::Exception::Generic);
        EXPECT_TRUE(e.reason().endsWith(" was mutated after template compilation"));
    }
}

TEST(MustacheConfiguration, RepositoryLocksItsConfigurationAtFirstCompile)
{
    auto repository
        = MustacheTemplateRepository::templateRepositoryWithDictionary({ { "a", "x" } });
    MustacheConfiguration text;
    text.setContentType(MustacheContentType::Text);
    repository->setConfiguration(text);
    ASSERT_TRUE(repository->templateNamed("a", nullptr));
    EXPECT_TRUE(repository->configuration().isLocked());
    EXPECT_THROW(repository->setConfiguration(text), platform::Exception);
}

// Each state of the grammar, with what it accepts and what makes the text invalid.
TEST(MustacheExpressionGrammar, InitialState)
{
    EXPECT_EQ(identifier(parse("  name ").expression), "name");
    const Parsed blanks = parse(" \t\r\n");
    EXPECT_FALSE(blanks.expression);
    EXPECT_TRUE(blanks.empty);
    EXPECT_EQ(blanks.message, "Missing expression");
    EXPECT_EQ(parse("").message, "Missing expression");
    for (const char* text :
        { "{", "}", "^a", "#a", "$a", "&a", "(a", ")", ",", "/a", "<a", ">a" }) {
        const Parsed parsed = parse(text);
        EXPECT_FALSE(parsed.expression) << text;
        EXPECT_FALSE(parsed.empty) << text;
        EXPECT_EQ(parsed.message, "Invalid expression") << text;
    }
}

TEST(MustacheExpressionGrammar, AfterLeadingDot)
{
    EXPECT_TRUE(as<MustacheImplicitIteratorExpression>(parse(".").expression));
    EXPECT_TRUE(as<MustacheImplicitIteratorExpression>(parse(" . ").expression));
    auto scoped = as<MustacheScopedExpression>(parse(".name").expression);
    ASSERT_TRUE(scoped);
    EXPECT_EQ(scoped->scopeIdentifier(), "name");
    EXPECT_TRUE(as<MustacheImplicitIteratorExpression>(scoped->baseExpression()));
    for (const char* text :
        { ".{", ".}", ".^", ".<", ".>", ".#", ".$", ".&", "..", "./", ".)", ".," })
        EXPECT_EQ(parse(text).message, "Invalid expression") << text;
    EXPECT_TRUE(as<MustacheFilteredExpression>(parse("f(.)").expression));
    EXPECT_TRUE(as<MustacheFilteredExpression>(parse("f(., x)").expression));
}

TEST(MustacheExpressionGrammar, InsideIdentifier)
{
    // Anything but the separators belongs to the identifier.
    EXPECT_EQ(identifier(parse("a#$&*+-\x01z").expression), "a#$&*+-\x01z");
    EXPECT_EQ(parse("a.").message, "Invalid expression");
    EXPECT_EQ(parse("a(").message, "Invalid expression");
    EXPECT_EQ(parse("a)").message, "Invalid expression");
    EXPECT_EQ(parse("a,").message, "Invalid expression");
}

TEST(MustacheExpressionGrammar, AfterScopingDot)
{
    auto scoped = as<MustacheScopedExpression>(parse("a.b.c").expression);
    ASSERT_TRUE(scoped);
    EXPECT_EQ(scoped->scopeIdentifier(), "c");
    for (const char* text : { "a. b", "a.{", "a.}", "a.^", "a.#", "a.$", "a.&", "a.(", "a.)", "a.,",
             "a..", "a./", "a.<", "a.>" })
        EXPECT_EQ(parse(text).message, "Invalid expression") << text;
}

TEST(MustacheExpressionGrammar, DoneAndAfterCall)
{
    EXPECT_TRUE(as<MustacheFilteredExpression>(parse("f (x) ").expression));
    EXPECT_TRUE(as<MustacheFilteredExpression>(parse("f(x)(y)").expression));
    EXPECT_EQ(parse("a b").message, "Invalid expression");
    EXPECT_EQ(parse("f(x) y").message, "Invalid expression");
    EXPECT_EQ(parse("f(x").message, "Invalid expression");
    EXPECT_EQ(parse("f(x))").message, "Invalid expression");
    EXPECT_EQ(parse("f(x)a").message, "Invalid expression");
    EXPECT_EQ(parse("f()").message, "Invalid expression");
    EXPECT_EQ(parse("x, y").message, "Invalid expression");
}

TEST(MustacheExpressionGrammar, ScopeOfCurriedFilterCall)
{
    const Parsed parsed = parse("a.b(c, d).e");
    auto scoped = as<MustacheScopedExpression>(parsed.expression);
    ASSERT_TRUE(scoped);
    EXPECT_EQ(scoped->scopeIdentifier(), "e");
    auto call = as<MustacheFilteredExpression>(scoped->baseExpression());
    ASSERT_TRUE(call);
    EXPECT_FALSE(call->curry());
    EXPECT_EQ(identifier(call->argumentExpression()), "d");
    auto curried = as<MustacheFilteredExpression>(call->filterExpression());
    ASSERT_TRUE(curried);
    EXPECT_TRUE(curried->curry());
    EXPECT_EQ(identifier(curried->argumentExpression()), "c");
    auto filter = as<MustacheScopedExpression>(curried->filterExpression());
    ASSERT_TRUE(filter);
    EXPECT_EQ(filter->scopeIdentifier(), "b");
    EXPECT_EQ(identifier(filter->baseExpression()), "a");
}

TEST(MustacheExpressionGrammar, EmptyFlagLeftAloneOnSuccess)
{
    bool empty = true;
    EXPECT_TRUE(MustacheExpressionParser().parseExpression("x", &empty, nullptr));
    EXPECT_TRUE(empty);
}

TEST(MustacheExpressionGrammar, DeepNestingIsAParseErrorNotACrash)
{
    QString scopes = "a";
    for (int i = 0; i < 5000; ++i)
        scopes += ".a";
    EXPECT_FALSE(parse(scopes).expression);
    QString calls;
    for (int i = 0; i < 5000; ++i)
        calls += "f(";
    calls += "x" + QString(5000, u')');
    const Parsed parsed = parse(calls);
    EXPECT_FALSE(parsed.expression);
    EXPECT_EQ(parsed.message, "Expression nested deeper than 256 levels");
    const platform::Error error = failure("\n{{" + calls + "}}");
    EXPECT_EQ(error.code(), MustacheError::ParseError);
    EXPECT_EQ(error.localizedDescription(),
        "Parse error at line 2: Expression nested deeper than 256 levels");
}

TEST(MustacheAccumulatorTag, EveryLevelOfOverrideRendersInnermostFirst)
{
    const QVariantMap partials {
        { "base", "<{{$title}}base{{/title}}>" },
        { "middle", "{{<base}}{{$title}}middle{{/title}}{{/base}}" },
        { "page", "{{<middle}}{{$title}}page{{/title}}{{/middle}}" },
    };
    EXPECT_EQ(renderWithPartials(partials, "base"), "<base>");
    EXPECT_EQ(renderWithPartials(partials, "middle"), "<middle>");
    EXPECT_EQ(renderWithPartials(partials, "page"), "<middlepage>");
}

TEST(MustacheAccumulatorTag, RefusesMixedEscaping)
{
    const QVariantMap partials {
        { "base", "{{$a}}{{/a}}" },
        { "page", "{{<base}}{{$a}}x{{/a}}{{/base}}" },
    };
    auto repository = MustacheTemplateRepository::templateRepositoryWithDictionary(partials);
    auto page = repository->templateNamed("page", nullptr);
    ASSERT_TRUE(page);
    auto tag = std::dynamic_pointer_cast<MustacheTag>(
        repository->templateNamed("base", nullptr)->components().at(0));
    auto accumulated = tag->tagWithOverridingTag(tag);
    ASSERT_TRUE(accumulated);
    struct Unescaped : MustacheTag {
        Unescaped(const MustacheTag& t)
            : MustacheTag(t.type(), nullptr, t.expression(), t.contentType())
        {
        }
        bool escapesHTML() const override { return false; }
    };
    try {
        accumulated->tagWithOverridingTag(std::make_shared<Unescaped>(*tag));
        FAIL();
    } catch (const platform::Exception& e) {
        EXPECT_EQ(e.name(), platform::Exception::InternalInconsistency);
        EXPECT_EQ(e.reason(), "Tag escapesHTML mismatch");
    }
}

TEST(MustacheLocalizer, SectionLooksUpTheFormatAndFillsIt)
{
    QTemporaryDir bundle;
    QDir(bundle.path()).mkpath("strings");
    QFile table(bundle.path() + "/strings/" + QLocale().name().section('_', 0, 0) + ".json");
    ASSERT_TRUE(table.open(QIODevice::WriteOnly));
    table.write(
        R"({"Hello %@": "Bonjour %@ !", "Bye": "Au revoir", "100%% of %@": "%@ à 100 %%"})");
    table.close();
    auto localizer = std::make_shared<MustacheLocalizer>(bundle.path(), QString());
    auto compiled = MustacheTemplate::templateFromString(
        "{{#localize}}Hello {{name}}{{/localize}}|{{#localize}}Bye{{/localize}}|"
        "{{#localize}}100% of {{name}}{{/localize}}|{{localize(word)}}",
        nullptr);
    ASSERT_TRUE(compiled);
    const QVariantMap data { { "localize", MustacheValue::fromObject(localizer) },
        { "name", "<Ann>" }, { "word", "Bye" } };
    EXPECT_EQ(compiled->renderObject(data, nullptr).value(),
        "Bonjour &lt;Ann&gt; !|Au revoir|&lt;Ann&gt; à 100 %|Au revoir");
    EXPECT_FALSE(localizer->formatArguments());
}

TEST(MustacheLocalizer, FormatNeverReadsPastItsArguments)
{
    EXPECT_EQ(MustacheLocalizer::stringWithFormat("%@ and %@ and %@", { "a" }), "a and  and ");
    QStringList eleven;
    for (int i = 0; i < 11; ++i)
        eleven << QString::number(i);
    EXPECT_EQ(MustacheLocalizer::stringWithFormat("%@", QStringList(eleven.mid(0, 10))), "0");
    try {
        MustacheLocalizer::stringWithFormat("%@", eleven);
        FAIL();
    } catch (const platform::Exception& e) {
        EXPECT_EQ(e.name(), platform::Exception::Generic);
        EXPECT_EQ(e.reason(), "Not implemented: format with 11 parameters");
    }
}

TEST(MustacheLocalizer, ExceptionInsideLeavesNoArgumentsBehind)
{
    auto localizer = std::make_shared<MustacheLocalizer>(QString(), QString());
    auto thrower = MustacheFilter::filterWithBlock([](const QVariant&) -> QVariant {
        throw platform::Exception(platform::Exception::Generic, "boom");
    });
    auto compiled
        = MustacheTemplate::templateFromString("{{#localize}}a {{f(x)}}{{/localize}}", nullptr);
    const QVariantMap data { { "localize", MustacheValue::fromObject(localizer) },
        { "f", MustacheValue::fromObject(thrower) } };
    EXPECT_THROW(compiled->renderObject(data, nullptr), platform::Exception);
    EXPECT_FALSE(localizer->formatArguments());
}

TEST(MustacheEscapers, HTMLGivesTheSameStringWhenNothingChanges)
{
    const QString plain = "plain text é 漢字";
    EXPECT_TRUE(Mustache::escapeHTML(plain).isSharedWith(plain));
    EXPECT_EQ(Mustache::escapeHTML("a<b"), "a&lt;b");
    EXPECT_EQ(Mustache::escapeHTML("\"&'<>"), "&quot;&amp;&apos;&lt;&gt;");
    EXPECT_EQ(Mustache::escapeHTML(""), "");
}

TEST(MustacheEscapers, URL)
{
    MustacheURLEscapeFilter url;
    EXPECT_EQ(url.escape("a b&c"), "a%20b%26c");
    EXPECT_EQ(
        url.escape("\t\n\r\"#$+,/:;<=>?@"), "%09%0A%0D%22%23%24%2B%2C%2F%3A%3B%3C%3D%3E%3F%40");
    EXPECT_EQ(url.escape("é€"), "%C3%A9%E2%82%AC");
    const QString plain = "Abc-1.2_~";
    EXPECT_TRUE(url.escape(plain).isSharedWith(plain));
    EXPECT_EQ(render("{{URL.escape(x)}}", QVariantMap { { "x", "a b" } }), "a%20b");
    EXPECT_EQ(render("{{#URL.escape}}{{x}}/{{y}}{{/URL.escape}}",
                  QVariantMap { { "x", "a b" }, { "y", "&" } }),
        "a%20b/%26");
}

TEST(MustacheEscapers, Javascript)
{
    MustacheJavascriptEscaper javascript;
    EXPECT_EQ(javascript.escape("a\nb"), "a\\u000Ab");
    const QString letters = "Letters and 123";
    EXPECT_TRUE(javascript.escape(letters).isSharedWith(letters));
    EXPECT_EQ(
        javascript.escape(QString("\"&'-;<=>\\") + QChar(0x2028) + QChar(0x2029) + QChar(0x1f)),
        "\\u0022\\u0026\\u0027\\u002D\\u003B\\u003C\\u003D\\u003E\\u005C\\u2028\\u2029\\u001F");
    EXPECT_EQ(render("{{javascript.escape(x)}}", QVariantMap { { "x", "</script>" } }),
        "\\u003C/script\\u003E");
}

TEST(MustacheEscapers, RenderingPatternOfEscapers)
{
    const QVariantMap data { { "x", "<" }, { "list", QVariantList { 1, 2 } } };
    EXPECT_EQ(render("{{^HTML.escape}}never{{/HTML.escape}}", data), "");
    // Variables inside the section are escaped once by the filter, then not again.
    EXPECT_EQ(render("{{#HTML.escape}}{{{x}}}{{/HTML.escape}}", data), "&lt;");
    EXPECT_EQ(
        render("{{HTML.escape(null)}}", QVariantMap { { "null", MustacheValue::null() } }), "");
}

TEST(MustacheFormatter, NumberFormatterAsFilterAndSection)
{
    auto formatter = MustacheFormatter::numberFormatter(
        std::make_shared<IcuNumberFormatter>(IcuNumberFormatter::Percent, QStringLiteral("en_US")));
    const QVariantMap data { { "percent", MustacheValue::fromObject(formatter) }, { "x", 0.5 },
        { "t", "text" } };
    EXPECT_EQ(render("{{percent(x)}}|{{#percent}}{{x}} {{t}}{{/percent}}", data), "50%|50% text");
}
