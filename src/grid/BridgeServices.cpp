#include "grid/BridgeServices.h"

namespace {
std::unique_ptr<BridgeServices>& installed()
{
    static std::unique_ptr<BridgeServices> services;
    return services;
}
} // namespace

const QString BridgeServices::NotAvailableMessage
    = QStringLiteral("The desktop server cannot be reached: no server is set up.");

BridgeServices::~BridgeServices() = default;

BridgeServices* BridgeServices::instance()
{
    return installed().get();
}

void BridgeServices::install(std::unique_ptr<BridgeServices> services)
{
    installed() = std::move(services);
}
