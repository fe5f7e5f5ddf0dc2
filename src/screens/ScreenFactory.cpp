#include "screens/ScreenFactory.h"

#include "bridge/iCloudDocumentService.h"
#include "grid/BridgeScreenData.h"
#include "grid/BridgeScreenFactory.h"
#include "grid/Parent.h"
#include "utilities/shell/ScreenServices.h"

namespace {

// The factory as the foundation reaches it.
class FactoryServices : public ScreenServices {
public:
    std::shared_ptr<ScreenRecord> GetScreen(
        const QString& screenId, const std::shared_ptr<ScreenLink>& parent) override
    {
        return ScreenFactory::GetScreen(screenId, std::dynamic_pointer_cast<Parent>(parent));
    }
};

} // namespace

std::shared_ptr<BridgeScreenData> ScreenFactory::GetScreen(
    const QString& screenId, const std::shared_ptr<Parent>& parent)
{
    return BridgeScreenFactory::GetScreen(screenId, parent);
}

void ScreenFactory::install()
{
    ScreenServices::install(std::make_unique<FactoryServices>());
    // Screens save their documents into the cloud through the files layer, above them.
    iCloudDocumentService::install();
}
