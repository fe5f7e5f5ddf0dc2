#include "bridge/BridgeCaller.h"

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
