#include "utilities/KivoArray.h"

#include "utilities/Strings.h"

namespace KivoArray {

QString concatStrings(const QVariantList& list)
{
    QString joined;
    for (const QVariant& element : list)
        joined += Strings::getString(element);
    return joined;
}

} // namespace KivoArray
