#include "grid/ResponseColumn.h"

const QString ResponseColumn::ImageColumnPrefix = QStringLiteral("QDGUDP");
