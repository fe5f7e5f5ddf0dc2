#include "grid/ColumnTableDataController.h"

ColumnTableDataController::~ColumnTableDataController() = default;

void ColumnTableDataController::headerLabelTouched(qint64)
{
}
