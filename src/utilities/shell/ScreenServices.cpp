#include "utilities/shell/ScreenServices.h"

namespace {
std::unique_ptr<ScreenServices>& installedScreenServices()
{
    static std::unique_ptr<ScreenServices> services;
    return services;
}
} // namespace

ScreenServices::~ScreenServices() = default;

ScreenServices* ScreenServices::instance()
{
    return installedScreenServices().get();
}

void ScreenServices::install(std::unique_ptr<ScreenServices> services)
{
    installedScreenServices() = std::move(services);
}
