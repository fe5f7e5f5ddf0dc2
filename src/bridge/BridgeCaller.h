#pragma once

#include "platform/net/HttpClient.h"

#include <QString>
#include <QUrl>
#include <QVariant>

#include <functional>

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
};
