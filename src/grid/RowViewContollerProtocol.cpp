#include "grid/RowViewContollerProtocol.h"

RowViewContollerProtocol::~RowViewContollerProtocol() = default;

void RowViewContollerProtocol::createRow(platform::ui::View*, qint64, const QSizeF&)
{
}

QSizeF RowViewContollerProtocol::getRowSizeForIndex(qint64)
{
    return getRowSize();
}

QSizeF RowViewContollerProtocol::getRowSize()
{
    return {};
}

void RowViewContollerProtocol::CreateHeader(platform::ui::View*)
{
}

int RowViewContollerProtocol::getSpacing()
{
    return 0;
}

void RowViewContollerProtocol::clear()
{
}

QColor RowViewContollerProtocol::rowbackColor(qint64)
{
    return {};
}

QVariant RowViewContollerProtocol::pageSize()
{
    return {};
}

platform::ui::CollectionViewLayout* RowViewContollerProtocol::collectionViewLayout()
{
    return nullptr;
}

void RowViewContollerProtocol::WillMoveItemFromIndex(qint64, qint64)
{
}

void RowViewContollerProtocol::DidMoveItemFromIndex(qint64, qint64)
{
}
