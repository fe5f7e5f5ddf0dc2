#include "forms/DetailExportMenu.h"

namespace {

DetailExportMenu::Factory& installedFactory()
{
    static DetailExportMenu::Factory factory;
    return factory;
}

} // namespace

DetailExportMenu::~DetailExportMenu() = default;

void DetailExportMenu::setFactory(Factory factory)
{
    installedFactory() = std::move(factory);
}

std::unique_ptr<DetailExportMenu> DetailExportMenu::make(RowDetailViewController* detailController)
{
    const Factory& factory = installedFactory();
    return factory ? factory(detailController) : nullptr;
}
