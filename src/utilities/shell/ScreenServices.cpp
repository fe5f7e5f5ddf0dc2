#include "utilities/shell/ScreenServices.h"

namespace {
std::unique_ptr<ScreenServices>& installed()
{
    static std::unique_ptr<ScreenServices> services;
    return services;
}
} // namespace

ScreenServices::~ScreenServices() = default;

ScreenServices* ScreenServices::instance()
{
    return installed().get();
}

void ScreenServices::install(std::unique_ptr<ScreenServices> services)
{
    installed() = std::move(services);
}
