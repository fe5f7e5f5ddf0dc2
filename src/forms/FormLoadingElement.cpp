#include "forms/FormLoadingElement.h"

FormLoadingElement::FormLoadingElement() = default;
