#include "grid/DetailFormProtocol.h"

DetailFormProtocol::~DetailFormProtocol() = default;
