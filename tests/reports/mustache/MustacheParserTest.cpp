// The tokenizer: token kinds, ranges in UTF-16 units, lines, delimiters and its errors.
#include "MustacheTestSupport.h"

#include "reports/mustache/MustacheConfiguration.h"
#include "reports/mustache/MustacheError.h"
#include "reports/mustache/MustacheParser.h"
#include "reports/mustache/MustacheParserDelegate.h"

namespace {

struct Recorder : MustacheParserDelegate {
    std::vector<std::shared_ptr<const MustacheToken>> tokens;
    std::optional<platform::Error> error;
    int stopAfter = -1;

    bool parserShouldContinueAfterParsingToken(
        MustacheParser&, const std::shared_ptr<const MustacheToken>& token) override
    {
        tokens.push_back(token);
        return stopAfter < 0 || int(tokens.size()) < stopAfter;
    }
    void parserDidFailWithError(MustacheParser&, const platform::Error& failure) override
    {
        error = failure;
    }

    QStringList summary() const
    {
        QStringList list;
        for (const auto& token : tokens)
            list << QStringLiteral("%1:%2")
                        .arg(token->type())
                        .arg(token->type() == MustacheToken::Text ? token->templateSubstring()
                                                                  : token->tagInnerContent());
        return list;
    }
};

Recorder tokenize(const QString& text, const QString& templateID = {})
{
    Recorder recorder;
    MustacheParser parser { MustacheConfiguration() };
    parser.setDelegate(&recorder);
    parser.parseTemplateString(text, templateID);
    return recorder;
}

} // namespace

TEST(MustacheParser, EmptyTextGivesNoToken)
{
    const Recorder recorder = tokenize("");
    EXPECT_TRUE(recorder.tokens.empty());
    EXPECT_FALSE(recorder.error);
}

TEST(MustacheParser, EveryTokenType)
{
    const Recorder recorder = tokenize(
        "t{{a}}{{!c}}{{{u}}}{{&v}}{{#s}}{{^i}}{{/s}}{{>p}}{{%PRAGMA}}{{<o}}{{$b}}{{=<% %>=}}<%x%>");
    EXPECT_EQ(recorder.summary(),
        QStringList({ "0:t", "1:a", "2:c", "3:u", "3:v", "4:s", "5:i", "6:s", "7:p", "9:PRAGMA",
            "10:o", "11:b", "8:<% %>", "1:x" }));
}

TEST(MustacheParser, TextKeepsEverySpaceAndNoEmptyTextBetweenTags)
{
    const Recorder recorder = tokenize("  {{#a}}\n  {{/a}}{{b}}\r\n end ");
    EXPECT_EQ(
        recorder.summary(), QStringList({ "0:  ", "4:a", "0:\n  ", "6:a", "1:b", "0:\r\n end " }));
}

TEST(MustacheParser, RangesAreInUtf16UnitsAndInnerContentIsNotTrimmed)
{
    const QString text = QString::fromUtf8("é😀{{ name }}");
    const Recorder recorder = tokenize(text);
    ASSERT_EQ(recorder.tokens.size(), 2u);
    const MustacheToken& tag = *recorder.tokens[1];
    EXPECT_EQ(tag.range().location, 3);
    EXPECT_EQ(tag.range().length, 10);
    EXPECT_EQ(tag.tagInnerRange().location, 5);
    EXPECT_EQ(tag.tagInnerContent(), " name ");
    EXPECT_EQ(tag.templateSubstring(), "{{ name }}");
}

TEST(MustacheParser, LinesCountAtLineFeedsOnlyAndTagsSpanLines)
{
    const Recorder recorder = tokenize("a\r\nb\rc\n{{x\n}}\n{{y}}");
    ASSERT_EQ(recorder.tokens.size(), 4u);
    EXPECT_EQ(recorder.tokens[1]->line(), 3);
    EXPECT_EQ(recorder.tokens[3]->line(), 5);
}

TEST(MustacheParser, TripleAndSetDelimitersFormsOnlyWithDefaultDelimiters)
{
    EXPECT_EQ(tokenize("{{=[ ]=}}{{{a}}}[{b}][=x y=]").summary(),
        QStringList({ "8:[ ]", "0:{{{a}}}", "3:b}", "8:x y" }));
    // A start delimiter inside a tag is ordinary content.
    EXPECT_EQ(tokenize("{{a{{b}}").summary(), QStringList({ "1:a{{b" }));
}

TEST(MustacheParser, SetDelimitersChangeMidTemplate)
{
    EXPECT_EQ(render("{{a}} {{=| |=}}|a| {{a}} |={{ }}=| {{a}}", QVariantMap { { "a", "1" } }),
        "1 1 {{a}}  1");
    EXPECT_EQ(render("{{= <% %> =}}<%#s%>[<%.%>]<%/s%>",
                  QVariantMap { { "s", QVariantList { "x", "y" } } }),
        "[x][y]");
}

TEST(MustacheParser, DelimitersChangedInsideAPartialStayThere)
{
    const QVariantMap partials { { "page", "{{>p}}{{a}}" }, { "p", "{{=<% %>=}}<%a%>" } };
    EXPECT_EQ(renderWithPartials(partials, "page", QVariantMap { { "a", "1" } }), "11");
}

TEST(MustacheParser, InvalidSetDelimitersAtTheLineOfItsCloser)
{
    for (const char* text : { "{{=a\n=}}", "{{=a b\nc=}}" }) {
        const Recorder recorder = tokenize(text, "T");
        ASSERT_TRUE(recorder.error) << text;
        EXPECT_EQ(recorder.error->code(), MustacheError::ParseError);
        EXPECT_EQ(recorder.error->localizedDescription(),
            "Parse error at line 2 of template T: Invalid set delimiters tag");
    }
}

TEST(MustacheParser, UnclosedTagAtTheLineWhereItBegan)
{
    Recorder recorder = tokenize("x\n{{a\n\n", "T");
    ASSERT_TRUE(recorder.error);
    EXPECT_EQ(recorder.error->localizedDescription(),
        "Parse error at line 2 of template T: Unclosed Mustache tag");
    recorder = tokenize("{{{a}}");
    ASSERT_TRUE(recorder.error);
    EXPECT_EQ(
        recorder.error->localizedDescription(), "Parse error at line 1: Unclosed Mustache tag");
}

TEST(MustacheParser, DelimiterRunningPastTheEndIsText)
{
    EXPECT_EQ(tokenize("ab{").summary(), QStringList({ "0:ab{" }));
    EXPECT_EQ(render("a{"), "a{");
}

TEST(MustacheParser, NilTextAndStopping)
{
    Recorder recorder;
    MustacheParser parser { MustacheConfiguration() };
    parser.setDelegate(&recorder);
    parser.parseTemplateString(std::nullopt, "T");
    ASSERT_TRUE(recorder.error);
    EXPECT_EQ(recorder.error->code(), MustacheError::TemplateNotFound);
    EXPECT_EQ(recorder.error->localizedDescription(), "Nil template string can not be parsed.");

    Recorder stopping;
    stopping.stopAfter = 2;
    parser.setDelegate(&stopping);
    parser.parseTemplateString(QString("{{a}}{{b}}{{c}}{{"), {});
    EXPECT_EQ(stopping.tokens.size(), 2u);
    EXPECT_FALSE(stopping.error);
}

TEST(MustacheParser, TemplateNamesAndPragmas)
{
    bool empty = false;
    platform::Error error;
    EXPECT_EQ(MustacheParser::parseTemplateName("  name\n", &empty, &error), "name");
    EXPECT_TRUE(MustacheParser::parseTemplateName(" \n", &empty, &error).isNull());
    EXPECT_TRUE(empty);
    EXPECT_EQ(error.localizedDescription(), "Missing template name");
    EXPECT_TRUE(MustacheParser::parseTemplateName("a b", &empty, &error).isNull());
    EXPECT_FALSE(empty);
    EXPECT_EQ(error.localizedDescription(), "Invalid template name");
    EXPECT_EQ(MustacheParser::parsePragma("  X  "), "X");
    EXPECT_TRUE(MustacheParser::parsePragma("  ").isNull());
}
