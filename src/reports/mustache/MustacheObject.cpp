#include "reports/mustache/MustacheObject.h"

#include <typeinfo>

MustacheObject::~MustacheObject() = default;

QString MustacheObject::description() const
{
    return QStringLiteral("<%1: 0x%2>")
        .arg(QString::fromLatin1(typeid(*this).name()))
        .arg(quintptr(this), 0, 16);
}
