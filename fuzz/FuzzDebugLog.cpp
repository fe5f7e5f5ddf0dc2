// The debug log of a fuzz run: millions of inputs, nothing worth keeping in a log.
#include "utilities/shell/DebugHelper.h"

DebugHelper& DebugHelper::singleton()
{
    static DebugHelper instance;
    return instance;
}

void DebugHelper::logMessage(const QString&)
{
}
