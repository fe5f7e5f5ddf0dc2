#include "bridge/BridgeCaller.h"

#include "bridge/BridgeWireFormat.h"
#include "grid/BaseViewController.h"
#include "grid/BridgeResponse.h"
#include "grid/BridgeServices.h"
#include "grid/MatrixResponse.h"
#include "platform/Dispatch.h"
#include "platform/Error.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MessageHelper.h"

#include <QVariantList>

void BridgeCaller::SimpleJSONGet(
    const QUrl& url, JSONReceived datareceived, const platform::net::HttpRequestOptions& options)
{
    platform::net::HttpClient::shared().get(
        url,
        [datareceived = std::move(datareceived)](const platform::net::HttpResponse& response) {
            if (!datareceived)
                return;
            QString failure = response.error;
            QVariant json;
            if (response.ok)
                json = response.json(&failure);
            if (!json.isValid()) {
                datareceived(QVariantList(), failure);
                return;
            }
            datareceived(json, QString());
        },
        options);
}

namespace {

struct MatrixSettings {
    QString token;
    platform::net::HttpRequestOptions options;
};

MatrixSettings& matrixSettings()
{
    static MatrixSettings settings;
    return settings;
}

// The client the grid and the forms call through their interface.
class ClientServices : public BridgeServices {
public:
    void InvokeAppMatrix(const QString& service, const QString& method,
        const QVariantMap& properties, const QVariantList& parameters, QObject* delegate,
        ResponseHandler handler, int tag) override
    {
        BridgeCaller::InvokeAppMatrix(
            service, method, properties, parameters, delegate, std::move(handler), tag);
    }
};

enum ErrorCode { NoAddress = 1, RequestFailed = 2, BadReply = 3, Refused = 4 };

// Ends a request: the handler hears the outcome, then the screen is told the request is
// over (so its overlay goes whatever the handler did) and shows the reason of a failure.
void finishMatrix(const BridgeRequest& request, std::shared_ptr<MatrixResponse> reply,
    ErrorCode code, const QString& failure)
{
    BridgeResponse response;
    response.matrixResponse = std::move(reply);
    if (!failure.isEmpty())
        response.error = platform::Error::withDescription(BridgeCaller::ErrorDomain, code, failure);
    if (request.responseHandler) {
        try {
            request.responseHandler(response);
        } catch (const std::exception& exception) {
            MessageHelper::ShowException(exception);
        }
    }
    if (auto* screen = qobject_cast<BaseViewController*>(request.delegate.data()))
        screen->requestCompleted(response.error);
    else if (!failure.isEmpty())
        MessageHelper::ShowMessage(failure, true);
}

} // namespace

const QString BridgeCaller::NoAddressMessage
    = QStringLiteral("The desktop server is not set up: no address is given for it.");
const QString BridgeCaller::ErrorDomain = QStringLiteral("BridgeCaller");

void BridgeCaller::setMatrixAddress(const QUrl& url)
{
    if (KivoAppDelegate* delegate = KivoAppDelegate::ApplicationDelegate())
        delegate->setUrlBridgeMatrix(url.toString());
}

void BridgeCaller::setToken(const QString& token)
{
    matrixSettings().token = token;
}

QString BridgeCaller::token()
{
    return matrixSettings().token;
}

void BridgeCaller::setMatrixOptions(const platform::net::HttpRequestOptions& options)
{
    matrixSettings().options = options;
}

void BridgeCaller::install()
{
    BridgeServices::install(std::make_unique<ClientServices>());
}

void BridgeCaller::InvokeAppMatrix(const QString& service, const QString& method,
    const QVariantMap& properties, const QVariantList& parameters, QObject* delegate,
    BridgeRequest::ResponseHandler handler, int tag)
{
    auto request = std::make_shared<BridgeRequest>();
    request->requestType = BridgeRequest::MatrixRequest;
    request->serviceType = service;
    request->method = method;
    request->methodParameters = parameters;
    request->methodParameters.prepend(token());
    request->requestProperties = properties;
    request->delegate = delegate;
    request->responseHandler = std::move(handler);
    request->tag = tag;
    request->synchronous = false;
    sendRequest(std::move(request));
}

void BridgeCaller::sendRequest(std::shared_ptr<BridgeRequest> request)
{
    if (auto* screen = qobject_cast<BaseViewController*>(request->delegate.data()))
        screen->requestStarted();
    KivoAppDelegate* delegate = KivoAppDelegate::ApplicationDelegate();
    const QString address = delegate ? delegate->urlBridgeMatrix() : QString();
    if (address.isEmpty()) {
        // Later than this call, as every other outcome is.
        platform::dispatch::asyncMain(
            [request] { finishMatrix(*request, nullptr, NoAddress, NoAddressMessage); });
        return;
    }
    platform::net::HttpClient::shared().postJSON(
        QUrl(address), BridgeWireFormat::requestBody(*request),
        [request](const platform::net::HttpResponse& answer) {
            if (!answer.ok) {
                finishMatrix(*request, nullptr, RequestFailed, answer.error);
                return;
            }
            QString failure;
            auto reply = BridgeWireFormat::parseMatrixReply(answer.body, &failure);
            if (!reply) {
                finishMatrix(*request, nullptr, BadReply,
                    QStringLiteral("The desktop server's reply could not be used. %1")
                        .arg(failure));
                return;
            }
            if (!reply->Success) {
                const QString message = reply->Message.isEmpty()
                    ? QStringLiteral("The desktop server refused the request.")
                    : reply->Message;
                finishMatrix(*request, std::move(reply), Refused, message);
                return;
            }
            finishMatrix(*request, std::move(reply), RequestFailed, QString());
        },
        matrixSettings().options);
}
