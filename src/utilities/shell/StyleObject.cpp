#include "utilities/shell/StyleObject.h"

StyleObject::~StyleObject() = default;
