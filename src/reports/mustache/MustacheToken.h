#pragma once

#include <QString>
#include <QStringView>

// One piece of a template text: plain text or a tag, with where it lies (in UTF-16 units)
// and its line for error messages.
class MustacheToken {
public:
    enum Type {
        Text = 0,
        EscapedVariable = 1,
        Comment = 2,
        UnescapedVariable = 3,
        SectionOpening = 4,
        InvertedSectionOpening = 5,
        Closing = 6,
        Partial = 7,
        SetDelimiter = 8,
        Pragma = 9,
        OverridablePartial = 10,
        OverridableSectionOpening = 11,
    };
    struct Range {
        qsizetype location = 0;
        qsizetype length = 0;
        qsizetype end() const { return location + length; }
    };

    MustacheToken(Type type, QString templateString, QString templateID, int line, Range range);

    Type type() const { return m_type; }
    const QString& templateString() const { return m_templateString; }
    // Empty for a template compiled from a string.
    const QString& templateID() const { return m_templateID; }
    int line() const { return m_line; }
    Range range() const { return m_range; }
    Range tagInnerRange() const { return m_tagInnerRange; }
    void setTagInnerRange(Range range) { m_tagInnerRange = range; }
    QString templateSubstring() const;
    QString tagInnerContent() const;

private:
    Type m_type;
    QString m_templateString;
    QString m_templateID;
    int m_line;
    Range m_range;
    Range m_tagInnerRange;
};
