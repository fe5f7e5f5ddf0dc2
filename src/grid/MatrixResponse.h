#pragma once

#include "grid/ResponseTable.h"
#include "grid/SingleResponse.h"

#include <QList>

#include <memory>

// The reply of a matrix call: one or more tables; Id names the server's result set.
class MatrixResponse : public SingleResponse {
public:
    MatrixResponse();
    ~MatrixResponse() override;

    QList<std::shared_ptr<ResponseTable>> Tables;
};
