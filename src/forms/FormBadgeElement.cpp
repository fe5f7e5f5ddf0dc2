#include "forms/FormBadgeElement.h"

FormBadgeElement::FormBadgeElement() = default;

std::shared_ptr<FormBadgeElement> FormBadgeElement::initWithTitle(
    const QString& title, const QString& badge)
{
    auto element = std::make_shared<FormBadgeElement>();
    element->setTitle(title);
    element->setBadge(badge);
    return element;
}
