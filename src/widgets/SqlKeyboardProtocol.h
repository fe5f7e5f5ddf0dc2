#pragma once

#include <QString>

// Who hears of a tapped keyword; optional.
class SqlKeyboardProtocol {
public:
    virtual ~SqlKeyboardProtocol() = default;
    virtual void clickedSql(const QString& keyword);
};
