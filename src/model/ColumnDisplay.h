#pragma once

#include <QString>
#include <QVariant>

#include <optional>

class TemplateColumn;

// How a column shows its values, read from the column once: an export shows every value
// of a column, and the column's type and precision are stored texts and numbers that
// would otherwise be read and compared for each. Holds nothing of the column itself, so
// any thread may use it while the column changes.
class ColumnDisplay {
public:
    explicit ColumnDisplay(const TemplateColumn& column);

    // The value's display text, as TemplateColumn::getStringValue gives it.
    QString text(const QVariant& value) const;
    // A length in UTF-16 units the value's display text surely does not exceed, found
    // without making the text where that costs less (numbers and dates); nullopt when only
    // the text tells.
    std::optional<qsizetype> lengthBound(const QVariant& value) const;

private:
    enum class Kind { Text, Boolean, Numeric, Currency, Date, DateTime, Time, Other };

    Kind m_kind = Kind::Other;
    unsigned m_decimals = 0;
    // A yes/no column's two texts, looked up once.
    QString m_yes;
    QString m_no;
};
