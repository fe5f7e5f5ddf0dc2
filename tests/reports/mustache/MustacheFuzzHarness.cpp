#include "MustacheFuzzHarness.h"

#include "platform/Exception.h"
#include "reports/mustache/MustacheFilter.h"
#include "reports/mustache/MustacheTagDelegate.h"
#include "reports/mustache/MustacheTemplateRepository.h"
#include "reports/mustache/MustacheValue.h"
#include "utilities/data/OrderedDictionary.h"

#include <QString>
#include <QStringList>

namespace {

// Takes the paths that tell a delegate about every tag, which skip the engine's shortcuts.
struct Listener : MustacheTagDelegate {
    QVariant mustacheTagWillRenderObject(const MustacheTag&, const QVariant& object) override
    {
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

// The value inside a map after a map, or a list after a list.
QVariant nested(int levels, QVariant value, bool maps)
{
    for (int i = 0; i < levels; ++i)
        value = maps ? QVariant(QVariantMap { { "k", value } }) : QVariant(QVariantList { value });
    return value;
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
        // A long list of texts: sections that ask about it over and over must not walk it
        // each time.
        QStringList texts;
        for (int i = 0; i < 100000; ++i)
            texts.append(QString::number(i));
        map.insert("texts", texts);
        // Nested far deeper than a description may go, and deep above the long list, held
        // in an ordered dictionary and not. Kept for the life of the process: let go of, a
        // value this deep is destroyed as deep.
        static const QVariant* const deep = new QVariant(nested(20000, "end", false));
        const QVariant overTexts = nested(20, texts, true);
        OrderedDictionary ordered;
        ordered.setObject(*deep, "deep");
        ordered.setObject(overTexts, "maps");
        ordered.setObject(QVariantList { 1, 2.5, true, QVariant() }, "values");
        map.insert("ordered", QVariant::fromValue(ordered));
        map.insert("deep", *deep);
        map.insert("nested", overTexts);
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

const QVariantMap& partials()
{
    static const QVariantMap map = [] {
        QVariantMap partials {
            { "node", "<{{name}}{{#children}}{{>node}}{{/children}}>" },
            { "layout", "[{{$title}}T{{/title}}|{{$body}}B{{/body}}|{{>footer}}]" },
            { "footer", "{{$note}}N{{/note}}{{name}}" },
            { "text", "{{%CONTENT_TYPE:TEXT}}<{{name}}>" },
            { "self", "{{#children}}{{>self}}{{/children}}" },
            { "delims", "{{=<% %>=}}<%name%>" },
        };
        // A chain of distinct partials longer than nesting may go: c0 includes c1, and so on.
        for (int i = 0; i < 300; ++i)
            partials.insert(QStringLiteral("c%1").arg(i),
                QStringLiteral("{{#yes}}{{>c%1}}{{/yes}}").arg(i + 1));
        // Each including the next twice, down to an overridable section: d0 reaches 2^24.
        for (int i = 0; i < 24; ++i)
            partials.insert(
                QStringLiteral("d%1").arg(i), QStringLiteral("{{>d%1}}{{>d%1}}").arg(i + 1));
        partials.insert("d24", "{{$title}}D{{/title}}");
        return partials;
    }();
    return map;
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
    // Templates as values: a partial, and the input itself, which may find itself again.
    QVariantMap values = dataSet().toMap();
    values.insert("input", MustacheValue::fromObject(compiled));
    if (const MustacheTemplatePtr node = repository->templateNamed("node", &error))
        values.insert("partial", MustacheValue::fromObject(node));
    // Misuse the template may ask for (mixed escaping) raises; too much work is an error.
    try {
        compiled->renderObject(values, &error);
    } catch (const platform::Exception&) {
    }
    compiled->extendBaseContextWithTagDelegate(std::make_shared<Listener>());
    try {
        compiled->renderObject(values, &error);
    } catch (const platform::Exception&) {
    }
}
