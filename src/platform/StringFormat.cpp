#include "platform/StringFormat.h"

namespace platform {

QString formatObjects(const QString& format, const QStringList& arguments)
{
    QString result;
    result.reserve(format.size() + 16 * arguments.size());
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c != '%' || i + 1 >= format.size()) {
            result.append(c);
            continue;
        }
        const QChar d = format.at(i + 1);
        if (d == '%') {
            result.append('%');
            ++i;
            continue;
        }
        if (d == '@') {
            if (next < arguments.size())
                result.append(arguments.at(next));
            ++next;
            ++i;
            continue;
        }
        // Positional form %N$@.
        qsizetype j = i + 1;
        while (j < format.size() && format.at(j).isDigit())
            ++j;
        if (j > i + 1 && j + 1 < format.size() && format.at(j) == '$' && format.at(j + 1) == '@') {
            const qsizetype index = format.mid(i + 1, j - i - 1).toLongLong() - 1;
            if (index >= 0 && index < arguments.size())
                result.append(arguments.at(index));
            i = j + 1;
            continue;
        }
        result.append(c);
    }
    return result;
}

} // namespace platform
