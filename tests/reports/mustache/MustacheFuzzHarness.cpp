#include "MustacheFuzzHarness.h"

#include "platform/Exception.h"
#include "reports/mustache/MustacheFilter.h"
#include "reports/mustache/MustacheTagDelegate.h"
#include "reports/mustache/MustacheTemplateRepository.h"
#include "reports/mustache/MustacheValue.h"

#include <QString>

namespace {

// Stops renderings that would take too long (sections over lists nested many times): the
// template decides how much work it asks for, not the engine.
struct Budget : MustacheTagDelegate {
    int remaining = 20000;
    QVariant mustacheTagWillRenderObject(const MustacheTag&, const QVariant& object) override
    {
        if (--remaining < 0)
            throw platform::Exception(platform::Exception::Generic, QStringLiteral("budget"));
        return object;
    }
};

QVariant tree(int depth)
{
    QVariantMap node { { "name", QStringLiteral("n%1").arg(depth) }, { "depth", depth } };
    // Leaves say they have no children, or the lookup would find their parent's.
    node.insert(
        "children", depth > 0 ? QVariantList { tree(depth - 1), tree(depth - 1) } : QVariantList());
    return node;
}

QVariant dataSet()
{
    static const QVariant data = [] {
        QVariantMap map;
        map.insert("name", QStringLiteral("Zoë <b>&'\"</b> 漢字"));
        map.insert("empty", QString(""));
        map.insert("zero", 0);
        map.insert("one", 1);
        map.insert("pi", 3.14);
        map.insert("yes", true);
        map.insert("no", false);
        map.insert("null", MustacheValue::null());
        map.insert("list", QVariantList { "a", 2, QVariantMap { { "name", "item" } } });
        map.insert("none", QVariantList());
        map.insert("tree", tree(3));
        map.insert("join",
            MustacheValue::fromObject(
                MustacheFilter::variadicFilterWithBlock([](const QVariantList& arguments) {
                    return QVariant(qlonglong(arguments.size()));
                })));
        return QVariant(map);
    }();
    return data;
}

QVariantMap partials()
{
    return {
        { "node", "<{{name}}{{#children}}{{>node}}{{/children}}>" },
        { "layout", "[{{$title}}T{{/title}}|{{$body}}B{{/body}}|{{>footer}}]" },
        { "footer", "{{$note}}N{{/note}}{{name}}" },
        { "text", "{{%CONTENT_TYPE:TEXT}}<{{name}}>" },
        { "self", "{{#children}}{{>self}}{{/children}}" },
        { "delims", "{{=<% %>=}}<%name%>" },
    };
}

} // namespace

void renderMustacheFuzzInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    auto repository = MustacheTemplateRepository::templateRepositoryWithDictionary(partials());
    platform::Error error;
    MustacheTemplatePtr compiled = repository->templateFromString(text, &error);
    if (!compiled)
        return;
    compiled->extendBaseContextWithTagDelegate(std::make_shared<Budget>());
    try {
        compiled->renderObject(dataSet(), &error);
    } catch (const platform::Exception&) {
        // Misuse the template may ask for (mixed escaping, too much work) raises.
    }
}
