#pragma once

#include "platform/Date.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

// How row values compare when rows are filtered and sorted: numbers and yes/no flags by
// value, dates by moment, texts by UTF-16 code unit. A missing value (absent or null)
// orders before every other value, and values of different kinds order by kind
// (numbers, then dates, then texts, then anything else), so sorting any mix of values
// is consistent.
class RowValueCompare {
public:
    RowValueCompare() = delete;

    enum class Kind { Missing, Number, Date, Text, Other };

    static Kind kindOf(const QVariant& value);
    static bool isMissing(const QVariant& value) { return kindOf(value) == Kind::Missing; }
    // The moment a date column's value stands for: a date as it is, a number as Unix
    // seconds; invalid for anything else.
    static platform::Date momentOf(const QVariant& value);
    // The same to the millisecond, for display.
    static QDateTime dateOf(const QVariant& value);

    // -1, 0 or 1: the total order above.
    static int compare(const QVariant& a, const QVariant& b);

    // A value read once for comparing many times, as a sort does: comparing the keys of
    // two values gives what comparing the values gives.
    struct Key {
        Kind kind = Kind::Missing;
        double number = 0;
        double moment = 0; // Unix seconds
        QString text;
    };
    static Key keyOf(const QVariant& value);
    static int compare(const Key& a, const Key& b);

    // Whether the values are of one kind that can be ordered (so a filter's <, >, <=, >=
    // and == mean something); a missing value comparable only with a missing one.
    static bool comparable(const QVariant& a, const QVariant& b);

    // The text with case and diacritics folded away ("Éclair" and "eclair" agree).
    static QString fold(const QString& text);
    // Whether the folded text of the value contains the folded needle. A missing value
    // contains nothing.
    static bool containsFolded(const QVariant& value, const QString& foldedNeedle);
    // The value as text for matching: texts as they are, numbers in their shortest form,
    // dates in ISO form.
    static QString textOf(const QVariant& value);
};
