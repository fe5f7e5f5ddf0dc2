#include "utilities/shell/StyleServices.h"

namespace {
std::unique_ptr<StyleServices>& installedStyleServices()
{
    static std::unique_ptr<StyleServices> services;
    return services;
}
} // namespace

StyleServices::~StyleServices() = default;

StyleServices* StyleServices::instance()
{
    return installedStyleServices().get();
}

void StyleServices::install(std::unique_ptr<StyleServices> services)
{
    installedStyleServices() = std::move(services);
}
