#pragma once

#include <QList>
#include <QString>
#include <QVariantList>

// Helpers on mutable lists.
namespace KivoArray {

// The elements' texts joined with nothing between them.
QString concatStrings(const QVariantList& list);

// Takes the element out at `from` and inserts it at `to`, or appends it when `to` is not
// less than the count after taking it out. Indexes outside the list change nothing.
template<class T> void moveObjectFromIndex(QList<T>& list, qsizetype from, qsizetype to)
{
    if (from == to || from < 0 || from >= list.size() || to < 0)
        return;
    T element = list.takeAt(from);
    if (to < list.size())
        list.insert(to, std::move(element));
    else
        list.append(std::move(element));
}

} // namespace KivoArray
