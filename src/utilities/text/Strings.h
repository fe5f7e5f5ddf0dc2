#pragma once

#include <QString>
#include <QVariant>

class Strings {
public:
    // "" for no value; a text as it is; a number as decimal text; anything else as its
    // text form.
    static QString getString(const QVariant& value);
};
