#pragma once

#include "grid/MatrixResponse.h"
#include "platform/Error.h"

#include <memory>

// The outcome of one desktop-server call: the reply of a matrix call, or the error that
// stopped it (a null error when it went through).
class BridgeResponse {
public:
    platform::Error error;
    std::shared_ptr<MatrixResponse> matrixResponse;
};
