#include "utilities/shell/RatePromptServices.h"

namespace {
std::unique_ptr<RatePromptServices>& installedRatePromptServices()
{
    static std::unique_ptr<RatePromptServices> services;
    return services;
}
} // namespace

RatePromptServices::~RatePromptServices() = default;

RatePromptServices* RatePromptServices::instance()
{
    return installedRatePromptServices().get();
}

void RatePromptServices::install(std::unique_ptr<RatePromptServices> services)
{
    installedRatePromptServices() = std::move(services);
}
