#include "utilities/shell/ScreenRecord.h"

ScreenRecord::~ScreenRecord() = default;
ScreenLink::~ScreenLink() = default;
