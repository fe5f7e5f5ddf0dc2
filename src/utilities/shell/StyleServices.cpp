#include "utilities/shell/StyleServices.h"

namespace {
std::unique_ptr<StyleServices>& installed()
{
    static std::unique_ptr<StyleServices> services;
    return services;
}
} // namespace

StyleServices::~StyleServices() = default;

StyleServices* StyleServices::instance()
{
    return installed().get();
}

void StyleServices::install(std::unique_ptr<StyleServices> services)
{
    installed() = std::move(services);
}
