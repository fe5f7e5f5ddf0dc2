#include "forms/FormRadioSection.h"

FormRadioSection::FormRadioSection() = default;

qint64 FormRadioSection::selected() const
{
    const QVariantList indexes = selectedIndexes();
    if (indexes.isEmpty())
        return -1;
    bool ok = false;
    const qint64 index = indexes.first().toLongLong(&ok);
    return ok && index >= 0 && index < qint64(std::max(items().size(), elements().size())) ? index
                                                                                           : -1;
}

void FormRadioSection::setSelected(qint64 index)
{
    QVariantList& indexes = mutableSelectedIndexes();
    if (indexes.isEmpty())
        indexes.append(QVariant(index));
    else
        indexes[0] = QVariant(index);
}
