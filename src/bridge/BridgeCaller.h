#pragma once

#include "bridge/BridgeRequest.h"
#include "platform/net/HttpClient.h"

#include <QString>
#include <QUrl>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <functional>
#include <memory>

class QObject;

// The client of the desktop server and of the product's web service.
class BridgeCaller {
public:
    // The parsed JSON, or an empty array when the request failed; `failure` then says why
    // (empty on success) for callers that show it.
    using JSONReceived = std::function<void(const QVariant& json, const QString& failure)>;

    // GET of a URL expecting JSON. The block is called once, on the main thread, after
    // this call returns.
    static void SimpleJSONGet(const QUrl& url, JSONReceived datareceived,
        const platform::net::HttpRequestOptions& options = {});

    // A matrix call to the desktop server: a BridgeRequest of type 1 whose parameters are
    // the token followed by the given ones, POSTed to the matrix address (see
    // WireFormat.md). The delegate screen (held weakly) is told requestStarted and, however
    // the call ends (refused, failed, timed out, no server), requestCompleted with the
    // reason, which it shows. The handler gets the outcome afterwards on the main thread:
    // the reply when it passed its checks (Success YES or NO), and the error.
    static void InvokeAppMatrix(const QString& service, const QString& method,
        const QVariantMap& properties, const QVariantList& parameters, QObject* delegate,
        BridgeRequest::ResponseHandler handler, int tag);
    // Sends a request built by a caller.
    static void sendRequest(std::shared_ptr<BridgeRequest> request);

    // The desktop server's matrix address, its token and the limits of its calls are set
    // only here. The application sets none, so its calls fail at once with a message.
    static void setMatrixAddress(const QUrl& url);
    static void setToken(const QString& token);
    static QString token();
    static void setMatrixOptions(const platform::net::HttpRequestOptions& options);

    // Makes this client the one the grid and the forms reach (BridgeServices); done once
    // at start-up.
    static void install();

    static const QString NoAddressMessage;
    static const QString ErrorDomain; // "BridgeCaller"
};
