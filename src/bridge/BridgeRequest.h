#pragma once

#include "grid/BridgeResponse.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <functional>

// One call to the desktop server as the bridge client sends it: the service and method,
// the method's parameters (the client's token first), the request's properties (a
// matrix request's "Tables", "PageSize" and "Id"), the screen told when it starts and
// completes, the handler of the outcome and the caller's tag.
class BridgeRequest {
public:
    enum RequestType { SingleRequest = 0, MatrixRequest = 1 };
    using ResponseHandler = std::function<void(const BridgeResponse& response)>;

    int requestType = SingleRequest;
    QString serviceType;
    QString method;
    QVariantList methodParameters;
    QVariantMap requestProperties;
    QPointer<QObject> delegate;
    ResponseHandler responseHandler;
    int tag = 0;
    bool synchronous = false;
};
