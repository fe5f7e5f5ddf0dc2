#pragma once

#include "platform/Error.h"
#include "reports/mustache/MustacheToken.h"

#include <QString>

#include <optional>

class MustacheConfiguration;
class MustacheParserDelegate;

// Cuts a template text into tokens in one pass and hands each to its delegate at once.
// Every character outside tags is kept: there is no trimming of standalone lines.
class MustacheParser {
public:
    explicit MustacheParser(const MustacheConfiguration& configuration);

    MustacheParserDelegate* delegate() const { return m_delegate; }
    void setDelegate(MustacheParserDelegate* delegate) { m_delegate = delegate; }
    const QString& tagStartDelimiter() const { return m_tagStartDelimiter; }
    const QString& tagEndDelimiter() const { return m_tagEndDelimiter; }

    // nullopt stands for a nil text.
    void parseTemplateString(
        const std::optional<QString>& templateString, const QString& templateID);

    // The trimmed name, or a null string with the error ("Missing template name" sets empty).
    static QString parseTemplateName(const QString& text, bool* empty, platform::Error* error);
    // The trimmed pragma, or a null string when it is empty.
    static QString parsePragma(const QString& text);

private:
    bool shouldContinueAfterParsingToken(const std::shared_ptr<const MustacheToken>& token);
    void failWithParseErrorAtLine(int line, const QString& description, const QString& templateID);

    MustacheParserDelegate* m_delegate = nullptr;
    QString m_tagStartDelimiter;
    QString m_tagEndDelimiter;
};
