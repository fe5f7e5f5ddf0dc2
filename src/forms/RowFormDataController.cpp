#include "forms/RowFormDataController.h"

RowFormDataController::~RowFormDataController() = default;
