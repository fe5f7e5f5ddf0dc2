#include "forms/FormEmptyListElement.h"

namespace {

const QString kEmpty = QStringLiteral("Empty");

} // namespace

FormEmptyListElement::FormEmptyListElement()
{
    setTitle(kEmpty);
}

std::shared_ptr<FormEmptyListElement> FormEmptyListElement::initWithTitle(const QString& title)
{
    auto element = std::make_shared<FormEmptyListElement>();
    element->setTitle(title);
    return element;
}
