#include "grid/GridScreenProtocol.h"

GridScreenProtocol::~GridScreenProtocol() = default;
