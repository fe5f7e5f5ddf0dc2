#include "grid/GenericOrderableRowViewController.h"

#include "grid/BaseDataController.h"
#include "grid/CollectionViewController.h"
#include "platform/Exception.h"
#include "utilities/shell/MessageHelper.h"
#include "widgets/ReorderableCollectionViewFlowLayout.h"

GenericOrderableRowViewController::GenericOrderableRowViewController() = default;

GenericOrderableRowViewController::~GenericOrderableRowViewController() = default;

platform::ui::CollectionViewLayout* GenericOrderableRowViewController::makeLayout()
{
    auto* layout = new ReorderableCollectionViewFlowLayout();
    layout->setScrollDirection(platform::ui::FlowLayout::ScrollDirection::Vertical);
    const double spacing = getSpacing();
    layout->setSectionInset(QMarginsF(spacing, spacing, spacing, spacing));
    return layout;
}

void GenericOrderableRowViewController::WillMoveItemFromIndex(qint64 from, qint64 to)
{
    try {
        CollectionViewController* grid = gridViewController();
        const auto controller = grid ? grid->dataController() : nullptr;
        if (controller && !controller->moveRow(from, to))
            throw platform::Exception(platform::Exception::RangeError,
                QStringLiteral("The row cannot move from %1 to %2.").arg(from).arg(to));
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void GenericOrderableRowViewController::DidMoveItemFromIndex(qint64, qint64 to)
{
    CollectionViewController* grid = gridViewController();
    if (!grid)
        return;
    const auto controller = grid->dataController();
    if (controller && controller->respondsToItemsReorderd()) {
        controller->itemsReorderd();
        grid->setSelectedRow(to);
        grid->refreshView();
    } else {
        grid->setSelectedRow(to);
        grid->refreshGrid();
    }
}
