// The rendering context: its five stacks, lookups through each, and managed properties.
#include "MustacheTestSupport.h"

#include "platform/Exception.h"
#include "reports/mustache/MustacheContext.h"
#include "reports/mustache/MustacheError.h"
#include "reports/mustache/MustacheTagDelegate.h"

namespace {

struct Delegate : MustacheTagDelegate {
    explicit Delegate(QString name)
        : name(std::move(name))
    {
    }
    QString name;
};

QVariant map(const QString& key, const QVariant& value)
{
    return QVariantMap { { key, value } };
}

class Managed : public MustacheContext {
    MUSTACHE_CONTEXT_SUBCLASS(Managed)
public:
    QList<MustacheManagedProperty> managedProperties() const override
    {
        return {
            { "count", {}, {}, MustacheManagedProperty::Kind::Number, false, false, 0 },
            { "visible", "isVisible", {}, MustacheManagedProperty::Kind::Number, false, false,
                false },
            { "title", {}, {}, MustacheManagedProperty::Kind::Object, true, false, {} },
        };
    }
};

class Other : public MustacheContext {
    MUSTACHE_CONTEXT_SUBCLASS(Other)
};

} // namespace

TEST(MustacheContext, AddingNilGivesTheReceiver)
{
    auto context = MustacheContext::contextWithObject(map("a", 1));
    EXPECT_EQ(context->contextByAddingObject(QVariant()), context);
    EXPECT_EQ(context->contextByAddingProtectedObject(QVariant()), context);
    EXPECT_EQ(context->contextByAddingHiddenObject(QVariant()), context);
    EXPECT_EQ(context->contextByAddingTagDelegate(nullptr), context);
    EXPECT_EQ(context->contextByAddingTemplateOverride(nullptr), context);
}

TEST(MustacheContext, OrdinaryStackInnermostFirst)
{
    auto context = MustacheContext::contextWithObject(map("a", "outer"))
                       ->contextByAddingObject(map("b", "b"))
                       ->contextByAddingObject(map("a", "inner"));
    bool isProtected = true;
    EXPECT_EQ(context->valueForMustacheKey("a", &isProtected).toString(), "inner");
    EXPECT_FALSE(isProtected);
    EXPECT_EQ(context->valueForMustacheKey("b").toString(), "b");
    EXPECT_FALSE(context->valueForMustacheKey("missing").isValid());
}

TEST(MustacheContext, ProtectedObjectsWinAndSaySo)
{
    auto context = MustacheContext::contextWithProtectedObject(map("a", "protected"))
                       ->contextByAddingObject(map("a", "top"))
                       ->contextByAddingProtectedObject(map("b", "second"));
    bool isProtected = false;
    EXPECT_EQ(context->valueForMustacheKey("a", &isProtected).toString(), "protected");
    EXPECT_TRUE(isProtected);
    EXPECT_EQ(context->valueForMustacheKey("b", &isProtected).toString(), "second");
    EXPECT_TRUE(isProtected);
    // Protected values cannot be shadowed in a template either.
    auto compiled = MustacheTemplate::templateFromString("{{a}}{{#x}}{{a}}{{/x}}", nullptr);
    compiled->extendBaseContextWithProtectedObject(map("a", "P"));
    EXPECT_EQ(compiled->renderObject(QVariantMap { { "a", "1" }, { "x", map("a", "2") } }, nullptr)
                  .value(),
        "PP");
}

TEST(MustacheContext, HiddenObjectsAreSkipped)
{
    const QVariant object = map("a", "hidden");
    auto context
        = MustacheContext::contextWithObject(map("a", "below"))->contextByAddingObject(object);
    EXPECT_EQ(context->valueForMustacheKey("a").toString(), "hidden");
    auto hiding = context->contextByAddingHiddenObject(object);
    EXPECT_EQ(hiding->valueForMustacheKey("a").toString(), "below");
}

TEST(MustacheContext, TagDelegateStackOutermostFirst)
{
    auto first = std::make_shared<Delegate>("first");
    auto second = std::make_shared<Delegate>("second");
    auto context
        = MustacheContext::context()->contextByAddingTagDelegate(first)->contextByAddingObject(
            map("a", 1));
    context = context->contextByAddingTagDelegate(second);
    const auto stack = context->tagDelegateStack();
    ASSERT_EQ(stack.size(), 2u);
    EXPECT_EQ(stack[0], first);
    EXPECT_EQ(stack[1], second);
    EXPECT_TRUE(MustacheContext::context()->tagDelegateStack().empty());
    // An object that is a tag delegate joins the stack when pushed.
    auto third = std::make_shared<Delegate>("third");
    EXPECT_EQ(
        context->contextByAddingObject(MustacheValue::fromObject(third))->tagDelegateStack().back(),
        third);
}

TEST(MustacheContext, TopObjectSkipsContextsWithoutObject)
{
    auto context = MustacheContext::contextWithObject("top")->contextByAddingTagDelegate(
        std::make_shared<Delegate>("d"));
    context = MustacheContext::newContextWithParent(context, QVariant());
    EXPECT_EQ(context->topMustacheObject().toString(), "top");
    EXPECT_FALSE(MustacheContext::context()->topMustacheObject().isValid());
}

TEST(MustacheContext, AddingAContextReplaysItsExtensions)
{
    auto base = MustacheContext::contextWithObject(map("a", "base"));
    auto added = MustacheContext::contextWithObject(map("x", "1"))
                     ->contextByAddingObject(map("y", "2"))
                     ->contextByAddingObject(map("a", "added"));
    auto combined = base->contextByAddingObject(MustacheValue::fromObject(added));
    EXPECT_EQ(combined->valueForMustacheKey("a").toString(), "added");
    EXPECT_EQ(combined->valueForMustacheKey("x").toString(), "1");
    EXPECT_EQ(combined->ancestors().size(), 4u);
    EXPECT_EQ(combined->topMustacheObject().toMap().value("a").toString(), "added");
}

TEST(MustacheContext, ExpressionsInAContext)
{
    auto context = MustacheContext::contextWithObject(QVariantMap { { "a", map("b", "deep") } });
    platform::Error error = MustacheError::make(MustacheError::ParseError, "stale");
    EXPECT_EQ(context->valueForMustacheExpression("a.b", &error).toString(), "deep");
    EXPECT_TRUE(error.isNull());
    EXPECT_FALSE(context->valueForMustacheExpression("a.", &error).isValid());
    EXPECT_EQ(error.localizedDescription(), "Invalid expression");
}

TEST(MustacheContext, ManagedPropertiesLiveInTheStack)
{
    auto context = std::make_shared<Managed>();
    EXPECT_EQ(context->valueForMustacheKey("count"), QVariant(0));
    EXPECT_EQ(context->valueForMustacheKey("isVisible"), QVariant(false));
    EXPECT_FALSE(context->valueForMustacheKey("title").isValid());
    context->setValue(3, "count");
    context->setValue("not a number", "count");
    context->setValue("ignored", "title");
    EXPECT_EQ(context->valueForKey("count"), QVariant(3));
    EXPECT_FALSE(context->valueForKey("title").isValid());
    EXPECT_THROW(context->setValue(QVariant(), "count"), platform::Exception);
    // Deeper contexts see the value; an object on top shadows it.
    auto deeper = context->contextByAddingObject(map("other", 1));
    EXPECT_EQ(deeper->valueForMustacheKey("count"), QVariant(3));
    EXPECT_EQ(
        deeper->contextByAddingObject(map("count", 9))->valueForMustacheKey("count"), QVariant(9));
    EXPECT_TRUE(std::dynamic_pointer_cast<Managed>(deeper));
}

TEST(MustacheContext, ExtendingWithAContextOfAnotherClassRaises)
{
    auto managed = std::make_shared<Managed>();
    auto other = MustacheContext::newContextWithParent(std::make_shared<Other>(), map("a", 1));
    try {
        managed->contextByAddingObject(MustacheValue::fromObject(other));
        FAIL();
    } catch (const platform::Exception& e) {
        EXPECT_EQ(e.name(), platform::Exception::InvalidArgument);
        EXPECT_EQ(e.reason(), "Other is not a subclass of Managed: can not extend context.");
    }
}
