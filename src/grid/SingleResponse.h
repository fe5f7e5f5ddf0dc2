#pragma once

#include <QString>
#include <QVariantList>

// The reply of a single desktop-server call.
class SingleResponse {
public:
    SingleResponse();
    virtual ~SingleResponse();

    QString Message;
    bool Success = false;
    QVariantList Rows;
    QString Id;
};
