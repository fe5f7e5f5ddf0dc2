#include "grid/MatrixResponse.h"

MatrixResponse::MatrixResponse() = default;
MatrixResponse::~MatrixResponse() = default;
