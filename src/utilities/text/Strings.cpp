#include "utilities/text/Strings.h"

#include <QLocale>

QString Strings::getString(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QString(QLatin1String(""));
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        break;
    }
    if (value.canConvert<QString>())
        return value.toString();
    return QString::fromLatin1(value.typeName());
}
