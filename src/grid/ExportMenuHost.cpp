#include "grid/ExportMenuHost.h"

ExportMenuHost::~ExportMenuHost() = default;
