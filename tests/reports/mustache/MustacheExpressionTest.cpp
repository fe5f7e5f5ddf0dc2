// Expressions, their equality, filters, the standard filters and key access.
#include "MustacheTestSupport.h"

#include "platform/Exception.h"
#include "reports/mustache/MustacheError.h"
#include "reports/mustache/MustacheExpressionParser.h"
#include "reports/mustache/MustacheFilter.h"
#include "reports/mustache/MustacheKeyAccess.h"
#include "reports/mustache/MustacheKeyedSubscript.h"
#include "utilities/data/OrderedDictionary.h"

#include <QObject>

namespace {

MustacheExpressionPtr expression(const QString& text)
{
    return MustacheExpressionParser().parseExpression(text, nullptr, nullptr);
}

struct AnyKey : MustacheKeyedSubscript {
    QVariant objectForKeyedSubscript(const QString& key) const override { return "key:" + key; }
};

class Person : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString name READ name CONSTANT)
public:
    QString name() const { return "Ann"; }
};

} // namespace

TEST(MustacheExpression, EqualityIgnoresTokensAndCurrying)
{
    EXPECT_TRUE(expression("a")->isEqual(*expression(" a ")));
    EXPECT_FALSE(expression("a")->isEqual(*expression("b")));
    EXPECT_TRUE(expression(".")->isEqual(*expression(" . ")));
    EXPECT_TRUE(expression("a.b")->isEqual(*expression("a.b")));
    EXPECT_FALSE(expression("a.b")->isEqual(*expression("b.b")));
    EXPECT_TRUE(expression("f(x)")->isEqual(*expression("f( x )")));
    EXPECT_FALSE(expression("f(x)")->isEqual(*expression("f(y)")));
    EXPECT_FALSE(expression("a")->isEqual(*expression("f(a)")));
}

TEST(MustacheExpression, ClosingTagsMatchByEquality)
{
    const QVariantMap data { { "a", QVariantMap { { "b", true } } },
        { "f", MustacheValue::fromObject(MustacheFilter::filterWithBlock([](const QVariant& v) {
             return v;
         })) } };
    EXPECT_EQ(render("{{#a.b}}x{{/ a.b }}{{#f(a)}}y{{/f(a)}}{{#.}}z{{/.}}", data), "xyz");
}

TEST(MustacheKeyAccess, ListsAnswerTheirOwnKeys)
{
    const QVariantList list { QVariantMap { { "count", 7 } }, QVariantMap { { "count", 8 } } };
    EXPECT_EQ(MustacheKeyAccess::valueForMustacheKey("count", list), QVariant(qlonglong(2)));
    EXPECT_EQ(render("{{list.count}} {{list.firstObject.count}}", QVariantMap { { "list", list } }),
        "2 7");
    EXPECT_EQ(render("{{#list}}{{count}}{{/list}}", QVariantMap { { "list", list } }), "78");
    EXPECT_EQ(render("{{list.count}}", QVariantMap { { "list", QStringList { "a" } } }), "1");
}

TEST(MustacheKeyAccess, EveryKindOfObject)
{
    OrderedDictionary ordered;
    ordered.setObject("o", "key");
    Person person;
    const QVariantMap data { { "map", QVariantMap { { "key", "m" } } },
        { "hash", QVariantHash { { "key", "h" } } }, { "ordered", QVariant::fromValue(ordered) },
        { "any", MustacheValue::fromObject(std::make_shared<AnyKey>()) },
        { "person", QVariant::fromValue(static_cast<QObject*>(&person)) }, { "text", "abc" },
        { "number", 5 } };
    EXPECT_EQ(
        render(
            "{{map.key}} {{hash.key}} {{ordered.key}} {{any.key}} {{person.name}} {{text.length}}",
            data),
        "m h o key:key Ann 3");
    // Missing keys, of any kind of object, are nil and render nothing.
    EXPECT_EQ(
        render(
            "[{{map.none}}{{ordered.none}}{{person.none}}{{number.key}}{{text.none}}{{none.none}}]",
            data),
        "[]");
}

TEST(MustacheFilters, StandardFilters)
{
    const QVariantMap data { { "null", MustacheValue::null() }, { "n", 1.5 },
        { "s", "hello wORLD" }, { "spaces", "  " }, { "empty", QVariantList() },
        { "dict", QVariantMap() }, { "zero", 0 } };
    EXPECT_EQ(render("[{{uppercase(null)}}][{{uppercase(n)}}][{{uppercase(s)}}][{{lowercase(s)}}]"
                     "[{{capitalized(s)}}][{{uppercase(none)}}]",
                  data),
        "[][1.5][HELLO WORLD][hello world][Hello World][]");
    EXPECT_EQ(
        render(
            "{{isBlank(spaces)}}{{isEmpty(spaces)}}{{isBlank(empty)}}{{isEmpty(empty)}}"
            "{{isBlank(dict)}}{{isEmpty(dict)}}{{isBlank(none)}}{{isEmpty(null)}}{{isBlank(zero)}}",
            data),
        "101100110");
}

TEST(MustacheFilters, MissingAndNonFilterObjects)
{
    platform::Error error = failure("a\n{{missing(x)}}");
    EXPECT_EQ(error.domain(), MustacheError::Domain);
    EXPECT_EQ(error.code(), MustacheError::RenderingError);
    EXPECT_EQ(error.localizedDescription(), "Missing filter in tag `{{missing(x)}}` at line 2");
    error = failure("{{s(x)}}", QVariantMap { { "s", "text" } });
    EXPECT_EQ(error.code(), MustacheError::RenderingError);
    EXPECT_EQ(error.localizedDescription(),
        "Object does not conform to MustacheFilter protocol in tag `{{s(x)}}` at line 1: text");
    platform::Error repositoryError;
    renderWithPartials({ { "T", "{{missing(x)}}" } }, "T", {}, &repositoryError);
    EXPECT_EQ(repositoryError.localizedDescription(),
        "Missing filter in tag `{{missing(x)}}` at line 1 of template T");
}

TEST(MustacheFilters, VariadicFilterGetsEveryArgumentInOrder)
{
    QVariantList received;
    auto join = MustacheFilter::variadicFilterWithBlock(
        [&received](const QVariantList& arguments) -> QVariant {
            received = arguments;
            QStringList texts;
            for (const QVariant& argument : arguments)
                texts << (MustacheValue::isNull(argument) ? "null" : argument.toString());
            return texts.join('+');
        });
    const QVariantMap data { { "join", MustacheValue::fromObject(join) }, { "a", "1" },
        { "b", "2" } };
    EXPECT_EQ(render("{{join(a, missing, b)}}", data), "1+null+2");
    ASSERT_EQ(received.size(), 3);
    EXPECT_TRUE(MustacheValue::isNull(received[1]));
    EXPECT_EQ(render("{{join(a)}}", data), "1");
}

TEST(MustacheFilters, NilBlocksAreRefused)
{
    try {
        MustacheFilter::filterWithBlock(nullptr);
        FAIL();
    } catch (const platform::Exception& e) {
        EXPECT_EQ(e.reason(), "Can't build a filter with a nil block.");
    }
    EXPECT_THROW(MustacheFilter::variadicFilterWithBlock(nullptr), platform::Exception);
}

TEST(MustacheFilters, CurriedSingleArgumentFilterIsAppliedInTurn)
{
    auto twice = MustacheFilter::filterWithBlock(
        [](const QVariant& v) { return QVariant(v.toString() + v.toString()); });
    EXPECT_EQ(render("{{f(f(a))}}",
                  QVariantMap { { "f", MustacheValue::fromObject(twice) }, { "a", "x" } }),
        "xxxx");
}

#include "MustacheExpressionTest.moc"
