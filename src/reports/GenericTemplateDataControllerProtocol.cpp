#include "reports/GenericTemplateDataControllerProtocol.h"

GenericTemplateDataControllerProtocol::~GenericTemplateDataControllerProtocol() = default;
