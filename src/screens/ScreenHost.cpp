#include "screens/ScreenHost.h"

ScreenHost::~ScreenHost() = default;
