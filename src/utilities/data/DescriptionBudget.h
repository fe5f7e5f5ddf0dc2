#pragma once

#include <QString>

// What describing a value may do, for a caller that bounds its work (a template rendering):
// how deep its containers are described, and a price for each container's items and for
// each piece of text a level writes. Data from outside may nest deeper than the stack
// reaches or hold millions of items, so a description asks before it goes on and stops as
// soon as a payment is refused.
class DescriptionBudget {
public:
    virtual ~DescriptionBudget() = default;

    // Values deeper than this, counted in containers, are written as cutShort().
    virtual int maximumDepth() const = 0;
    static QString cutShort() { return QStringLiteral("..."); }
    // Pays for describing a container's items, before they are; false: stop.
    virtual bool spendItems(qsizetype count) = 0;
    // Pays for text written into a level's description; false: stop.
    virtual bool spendCharacters(qsizetype count) = 0;

    // Pays for a container's items, one line each, and for the indent every line begins
    // with: known before any item is described, so that a long container too deep to be
    // written stops before its walk.
    bool spendLines(qsizetype count, const QString& lead)
    {
        return spendItems(count) && spendCharacters(count * lead.size());
    }

    // Adds a piece to a level's text once it is paid for; false: stop.
    bool write(QString& text, const QString& piece)
    {
        if (!spendCharacters(piece.size()))
            return false;
        text += piece;
        return true;
    }
};
