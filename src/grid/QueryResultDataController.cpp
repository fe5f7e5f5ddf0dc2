#include "grid/QueryResultDataController.h"

#include "grid/MainCollectionViewController.h"
#include "grid/MatrixResponse.h"
#include "grid/Parent.h"
#include "grid/RowObject.h"
#include "grid/ScreenData.h"

const QString QueryResultDataController::QueryStudioScreenId
    = MainCollectionViewController::QueryStudioScreenId;

QueryResultDataController::QueryResultDataController() = default;
QueryResultDataController::~QueryResultDataController() = default;

void QueryResultDataController::loadData(const std::shared_ptr<Parent>& parent)
{
    const auto source = parent ? parent->dataController.lock() : nullptr;
    if (!source)
        return;
    const auto screen = parent->screen.lock();
    std::shared_ptr<MatrixResponse> reply;
    if (screen && screen->id == QueryStudioScreenId)
        reply = source->matrixResponse();
    else
        reply = source->extraData().value<std::shared_ptr<MatrixResponse>>();
    setResponse(reply);
    if (!reply || reply->Tables.isEmpty() || !reply->Tables.first())
        return;
    selectTable(0);
    initTablePickerData();
}
