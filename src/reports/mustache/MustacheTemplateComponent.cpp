#include "reports/mustache/MustacheTemplateComponent.h"

MustacheTemplateComponent::~MustacheTemplateComponent() = default;
