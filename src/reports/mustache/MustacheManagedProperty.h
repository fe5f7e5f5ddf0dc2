#pragma once

#include <QString>
#include <QVariant>

// A dynamic property of a context subclass whose value lives in the context stack:
// reading it looks its name up like a key, setting it stores the value on that context.
struct MustacheManagedProperty {
    enum class Kind { Number, Object, Class, Other };
    QString name;
    QString getter; // empty: the name
    QString setter; // empty: "set" + capitalised name + ":"; unused when read-only
    Kind kind = Kind::Object;
    bool readOnly = false;
    bool copy = false;
    // For numbers: the zero of the property's type (an int 0, a double 0.0, false, ...).
    QVariant zero = {};
};
