#pragma once

#include <QVariant>

// One cell of a desktop-server row: the column's position (a ResponseColumn's Order) and
// its value (text, number or other).
class ResponseRowColumn {
public:
    unsigned Column = 0;
    QVariant Value;
};
