#include "utilities/text/KivoArray.h"

#include "utilities/text/Strings.h"

namespace KivoArray {

QString concatStrings(const QVariantList& list)
{
    QString joined;
    for (const QVariant& element : list)
        joined += Strings::getString(element);
    return joined;
}

} // namespace KivoArray
