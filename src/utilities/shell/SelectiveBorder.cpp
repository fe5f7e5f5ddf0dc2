#include "utilities/shell/SelectiveBorder.h"

#include "platform/ui/View.h"
#include "utilities/shell/SelectiveBordersLayer.h"

#include <typeinfo>

namespace SelectiveBorder {

namespace {

const SelectiveBordersLayer& defaults()
{
    static const SelectiveBordersLayer layer;
    return layer;
}

const SelectiveBordersLayer* layerOf(const platform::ui::View* view)
{
    return view ? dynamic_cast<const SelectiveBordersLayer*>(view->layer()) : nullptr;
}

// The view's selective-border layer, made in place of a plain one.
SelectiveBordersLayer* ensureLayer(platform::ui::View* view)
{
    if (!view)
        return nullptr;
    platform::ui::Layer* current = view->layer();
    if (auto* selective = dynamic_cast<SelectiveBordersLayer*>(current))
        return selective;
    if (typeid(*current) != typeid(platform::ui::Layer))
        return nullptr;
    auto replacement = std::make_unique<SelectiveBordersLayer>();
    replacement->copyBaseState(*current);
    SelectiveBordersLayer* raw = replacement.get();
    view->setLayer(std::move(replacement));
    return raw;
}

} // namespace

quint64 selectiveBorderFlag(const platform::ui::View* view)
{
    const SelectiveBordersLayer* layer = layerOf(view);
    return (layer ? *layer : defaults()).selectiveBorderFlag();
}

void setSelectiveBorderFlag(platform::ui::View* view, quint64 flag)
{
    if (SelectiveBordersLayer* layer = ensureLayer(view))
        layer->setSelectiveBorderFlag(flag);
}

QColor selectiveBordersColor(const platform::ui::View* view)
{
    const SelectiveBordersLayer* layer = layerOf(view);
    return (layer ? *layer : defaults()).selectiveBordersColor();
}

void setSelectiveBordersColor(platform::ui::View* view, const QColor& color)
{
    if (SelectiveBordersLayer* layer = ensureLayer(view))
        layer->setSelectiveBordersColor(color);
}

float selectiveBordersWidth(const platform::ui::View* view)
{
    const SelectiveBordersLayer* layer = layerOf(view);
    return (layer ? *layer : defaults()).selectiveBordersWidth();
}

void setSelectiveBordersWidth(platform::ui::View* view, float width)
{
    if (SelectiveBordersLayer* layer = ensureLayer(view))
        layer->setSelectiveBordersWidth(width);
}

void moveByHeight(platform::ui::View* view, double height)
{
    if (view)
        view->setFrame(view->frame().translated(0, height));
}

void changeHeight(platform::ui::View* view, double height)
{
    if (view)
        view->setFrame(view->frame().adjusted(0, 0, 0, height));
}

} // namespace SelectiveBorder
