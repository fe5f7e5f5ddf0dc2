#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class BridgeRequest;
class MatrixResponse;

// The JSON the desktop server and this client exchange (see WireFormat.md beside this
// file). A reply is checked whole before anything uses it.
class BridgeWireFormat {
public:
    BridgeWireFormat() = delete;

    // The body of a matrix request: type, service, method, parameters (token first) and
    // the request's "Tables", "PageSize" and "Id" when it has them.
    static QByteArray requestBody(const BridgeRequest& request);
    // The reply, or null with `failure` saying why: not JSON, a member of the wrong kind
    // (a cell holding a list or a record too), a page or position outside 32 bits. Cells
    // past a table's columns are dropped, and an image column's value that is not a plain
    // image name becomes no value.
    static std::shared_ptr<MatrixResponse> parseMatrixReply(
        const QByteArray& body, QString* failure);
    // Whether the text can name a bundled image: letters, digits, '_', '-' and inner dots,
    // no path.
    static bool isPlainImageName(const QString& name);
};
