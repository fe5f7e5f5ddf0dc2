#include "grid/ScreenData.h"

#include "grid/Parent.h"
#include "utilities/data/BitManager.h"
#include "utilities/shell/KivoAppDelegate.h"

ScreenData::ScreenData() = default;
ScreenData::~ScreenData() = default;

QString ScreenData::nextSegueFrom(const QString& segue)
{
    return segue;
}

std::shared_ptr<ScreenData> ScreenData::GetScreen(
    const QString& screenId, const std::shared_ptr<Parent>& parent)
{
    return std::dynamic_pointer_cast<ScreenData>(
        KivoAppDelegate::ApplicationDelegate()->GetScreen(screenId, parent));
}
