#pragma once

#include <QString>
#include <QVariant>

// The list search of every grid, "SELF contains[cd] %@": whether a value's text holds
// the searched text as a substring, ignoring case and diacritics. Texts are tested as
// they are and numbers through their decimal text (so 12 finds 123); other values (none,
// lists, dictionaries) never match, and neither does an empty search text.
class ContainsPredicate {
public:
    explicit ContainsPredicate(const QString& text);

    bool evaluate(const QVariant& value) const;
    bool evaluate(const QString& text) const;
    // The searched text with case and diacritics folded away.
    const QString& folded() const { return m_folded; }

    // The text a number is tested through: whole numbers as integers, others in their
    // shortest exact form, flags as 1 and 0.
    static QString numberText(const QVariant& number);

private:
    QString m_folded;
};
