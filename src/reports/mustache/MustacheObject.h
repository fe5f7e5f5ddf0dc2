#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>

#include <memory>

// Base of every shared object a template can see: filters, rendering objects, tag
// delegates, templates, contexts and objects that answer keys. Held in a QVariant as a
// MustacheObjectPtr; what an object can do is asked with dynamic_cast.
class MustacheObject : public std::enable_shared_from_this<MustacheObject> {
public:
    virtual ~MustacheObject();
    // The text a variable tag shows for the object when it does not render itself.
    virtual QString description() const;
};

using MustacheObjectPtr = std::shared_ptr<MustacheObject>;
Q_DECLARE_METATYPE(MustacheObjectPtr)
