#include "utilities/shell/RatePromptServices.h"

namespace {
std::unique_ptr<RatePromptServices>& installed()
{
    static std::unique_ptr<RatePromptServices> services;
    return services;
}
} // namespace

RatePromptServices::~RatePromptServices() = default;

RatePromptServices* RatePromptServices::instance()
{
    return installed().get();
}

void RatePromptServices::install(std::unique_ptr<RatePromptServices> services)
{
    installed() = std::move(services);
}
