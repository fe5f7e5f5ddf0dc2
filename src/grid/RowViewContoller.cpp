#include "grid/RowViewContoller.h"

#include "grid/CollectionViewController.h"
#include "platform/ui/CollectionViewLayout.h"
#include "utilities/shell/DeviceHelper.h"

RowViewContoller::RowViewContoller() = default;

RowViewContoller::~RowViewContoller() = default;

void RowViewContoller::initWithParent(CollectionViewController* grid)
{
    m_grid = grid;
}

CollectionViewController* RowViewContoller::gridViewController() const
{
    return m_grid.data();
}

platform::ui::CollectionViewLayout* RowViewContoller::layout() const
{
    return m_layout.data();
}

void RowViewContoller::setLayout(platform::ui::CollectionViewLayout* layout)
{
    if (m_layout == layout)
        return;
    delete m_layout.data();
    // The row view keeps its layout (a collection view takes only layouts nobody owns).
    if (layout)
        layout->setParent(this);
    m_layout = layout;
}

int RowViewContoller::getSpacing()
{
    return DeviceHelper::isIPHONE() ? 10 : 15;
}
