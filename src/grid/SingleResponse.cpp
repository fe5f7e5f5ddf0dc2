#include "grid/SingleResponse.h"

SingleResponse::SingleResponse() = default;
SingleResponse::~SingleResponse() = default;
