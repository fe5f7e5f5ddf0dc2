#include "grid/Parent.h"

#include "grid/ScreenData.h"

Parent::Parent() = default;
Parent::~Parent() = default;

bool Parent::isParentScreen(const QString& screenId) const
{
    return isParentScreen(this, screenId);
}

bool Parent::isParentScreen(const Parent* link, const QString& screenId)
{
    std::shared_ptr<const Parent> above;
    while (link) {
        if (const auto record = link->screen.lock(); record && record->id == screenId)
            return true;
        above = link->parent.lock();
        link = above.get();
    }
    return false;
}

QString Parent::nextSegue() const
{
    if (const auto above = parent.lock()) {
        if (const auto record = above->screen.lock(); record && !record->toSegue.isEmpty())
            return ScreenData::nextSegueFrom(record->toSegue);
    }
    const auto record = screen.lock();
    return record ? record->toSegue : QString();
}
