#include "forms/RecordCopy.h"

#include <QMetaProperty>

namespace RecordCopy {

void copyProperties(const QObject& from, QObject& to)
{
    const QMetaObject* cls = from.metaObject();
    if (!to.metaObject()->inherits(cls))
        return;
    for (int i = QObject::staticMetaObject.propertyCount(); i < cls->propertyCount(); ++i) {
        const QMetaProperty property = cls->property(i);
        if (property.isWritable())
            property.write(&to, property.read(&from));
    }
}

} // namespace RecordCopy
