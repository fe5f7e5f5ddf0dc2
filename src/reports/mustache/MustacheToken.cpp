#include "reports/mustache/MustacheToken.h"

MustacheToken::MustacheToken(
    Type type, QString templateString, QString templateID, int line, Range range)
    : m_type(type)
    , m_templateString(std::move(templateString))
    , m_templateID(std::move(templateID))
    , m_line(line)
    , m_range(range)
{
}

QString MustacheToken::templateSubstring() const
{
    return m_templateString.mid(m_range.location, m_range.length);
}

QString MustacheToken::tagInnerContent() const
{
    return m_templateString.mid(m_tagInnerRange.location, m_tagInnerRange.length);
}
