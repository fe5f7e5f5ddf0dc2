#include "widgets/MenuItem.h"

#include "platform/ui/View.h"

MenuItem::MenuItem(QObject* parent)
    : QObject(parent)
{
}

MenuItem::MenuItem(const QString& text, QObject* parent)
    : MenuItem(parent)
{
    m_text = text;
}

MenuItem::MenuItem(const QString& text, const QString& image, QObject* parent)
    : MenuItem(text, parent)
{
    m_image = image;
}

MenuItem::MenuItem(
    const QString& text, const QString& image, Handler menuItemHandler, QObject* parent)
    : MenuItem(text, image, parent)
{
    m_handler = std::move(menuItemHandler);
}

void MenuItem::addChild(MenuItem* child)
{
    if (!child)
        return;
    if (!child->parent())
        child->setParent(this);
    m_childs.append(child);
}

MenuItem* MenuItem::addchildWithText(const QString& text)
{
    auto* child = new MenuItem(text, this);
    addChild(child);
    return child;
}

MenuItem* MenuItem::addchildWithText(const QString& text, const QString& image)
{
    auto* child = new MenuItem(text, image, this);
    addChild(child);
    return child;
}

MenuItem* MenuItem::addchildWithText(
    const QString& text, const QString& image, Handler menuItemHandler)
{
    auto* child = new MenuItem(text, image, std::move(menuItemHandler), this);
    addChild(child);
    return child;
}
