#pragma once

#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <functional>
#include <memory>

class BridgeResponse;

// What the grid and the forms need of the desktop-server client above them: a matrix
// call. The bridge layer installs the one implementation at start-up; until then a call
// fails at once with a message.
class BridgeServices {
public:
    using ResponseHandler = std::function<void(const BridgeResponse& response)>;

    virtual ~BridgeServices();

    // Sends one matrix call: the service and method, the request's properties ("Tables",
    // "PageSize", "Id") and the method's parameters. The delegate screen (held weakly) is
    // told requestStarted and, however the call ends, requestCompleted with the reason of
    // a failure, which it shows. The handler hears the outcome first: a reply only when it
    // passed its checks, and the error when there is one.
    virtual void InvokeAppMatrix(const QString& service, const QString& method,
        const QVariantMap& properties, const QVariantList& parameters, QObject* delegate,
        ResponseHandler handler, int tag)
        = 0;

    // The installed services, or null.
    static BridgeServices* instance();
    static void install(std::unique_ptr<BridgeServices> services);

    // Said when no client is installed.
    static const QString NotAvailableMessage;
};
