#include "grid/GridData.h"

GridData::GridData() = default;

GridData::GridData(QString menu, QString image)
    : Menu(std::move(menu))
    , Image(std::move(image))
{
}

GridData::GridData(QVariant data)
    : Data(std::move(data))
{
}
