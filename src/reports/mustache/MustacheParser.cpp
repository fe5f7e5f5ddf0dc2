#include "reports/mustache/MustacheParser.h"

#include "reports/mustache/MustacheConfiguration.h"
#include "reports/mustache/MustacheError.h"
#include "reports/mustache/MustacheParserDelegate.h"

#include <QStringList>
#include <QStringView>

#include <iterator>

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c.isSpace();
}

// The delimiters in force: the set-delimiters and triple forms follow the tag delimiters.
struct Delimiters {
    QString start;
    QString end;
    QString setStart;
    QString setEnd;
    bool triple = false;

    Delimiters(const QString& tagStart, const QString& tagEnd)
        : start(tagStart)
        , end(tagEnd)
        , setStart(tagStart + u'=')
        , setEnd(u'=' + tagEnd)
        , triple(tagStart == QLatin1String("{{") && tagEnd == QLatin1String("}}"))
    {
    }
};

// Compares the first character before the whole substring, so substrings are only
// compared where a delimiter could start.
inline bool matches(const QChar* text, qsizetype length, qsizetype at, const QString& delimiter)
{
    const qsizetype size = delimiter.size();
    if (size == 0 || at + size > length || text[at] != delimiter.at(0))
        return false;
    return QStringView(text + at, size) == QStringView(delimiter);
}

const QString TripleStart = QStringLiteral("{{{");
const QString TripleEnd = QStringLiteral("}}}");

// The character after the opening delimiter that sets a tag's kind, and that kind; a tag
// without one is an escaped variable.
constexpr char16_t Sigils[] = u"!#^$/><%&{";
constexpr MustacheToken::Type SigilTypes[] = { MustacheToken::Comment,
    MustacheToken::SectionOpening, MustacheToken::InvertedSectionOpening,
    MustacheToken::OverridableSectionOpening, MustacheToken::Closing, MustacheToken::Partial,
    MustacheToken::OverridablePartial, MustacheToken::Pragma, MustacheToken::UnescapedVariable,
    MustacheToken::UnescapedVariable };
static_assert(std::size(Sigils) - 1 == std::size(SigilTypes));

// The kind of a tag whose inner text (after the opening delimiter) starts at `at`; `sigil`
// is set when that character marks the kind and is not part of the tag's content.
MustacheToken::Type tagType(const QChar* text, qsizetype at, qsizetype end, bool* sigil)
{
    *sigil = false;
    if (at >= end)
        return MustacheToken::EscapedVariable;
    for (qsizetype k = 0; k < qsizetype(std::size(SigilTypes)); ++k) {
        if (text[at] == QChar(Sigils[k])) {
            *sigil = true;
            return SigilTypes[k];
        }
    }
    return MustacheToken::EscapedVariable;
}

// The blank-separated words of text[from, to).
QStringList words(const QChar* text, qsizetype from, qsizetype to)
{
    QStringList pieces;
    qsizetype pieceStart = -1;
    for (qsizetype k = from; k <= to; ++k) {
        const bool blank = k == to || isBlank(text[k]);
        if (blank && pieceStart >= 0) {
            pieces.append(QString(text + pieceStart, k - pieceStart));
            pieceStart = -1;
        } else if (!blank && pieceStart < 0) {
            pieceStart = k;
        }
    }
    return pieces;
}

} // namespace

MustacheParser::MustacheParser(const MustacheConfiguration& configuration)
    : m_tagStartDelimiter(configuration.tagStartDelimiter())
    , m_tagEndDelimiter(configuration.tagEndDelimiter())
{
}

bool MustacheParser::shouldContinueAfterParsingToken(
    const std::shared_ptr<const MustacheToken>& token)
{
    return m_delegate ? m_delegate->parserShouldContinueAfterParsingToken(*this, token) : true;
}

void MustacheParser::failWithParseErrorAtLine(
    int line, const QString& description, const QString& templateID)
{
    if (!m_delegate)
        return;
    const QString message = templateID.isEmpty()
        ? QStringLiteral("Parse error at line %1: %2").arg(line).arg(description)
        : QStringLiteral("Parse error at line %1 of template %2: %3")
              .arg(line)
              .arg(templateID, description);
    m_delegate->parserDidFailWithError(
        *this, MustacheError::make(MustacheError::ParseError, message));
}

void MustacheParser::parseTemplateString(
    const std::optional<QString>& templateString, const QString& templateID)
{
    if (!templateString) {
        if (m_delegate)
            m_delegate->parserDidFailWithError(*this,
                MustacheError::make(MustacheError::TemplateNotFound,
                    QStringLiteral("Nil template string can not be parsed.")));
        return;
    }
    // Every token keeps the text it comes from, and a section's closing tag must share the
    // opening one's: text without a block of its own (a literal) is copied into one.
    QString source = *templateString;
    if (!source.data_ptr().d_ptr())
        source = QString(templateString->constData(), templateString->size());
    const QChar* text = source.constData();
    const qsizetype length = source.size();
    auto delimiters = std::make_unique<Delimiters>(m_tagStartDelimiter, m_tagEndDelimiter);

    enum class State { Start, Text, Tag, TripleTag, SetDelimitersTag };
    State state = State::Start;
    int line = 1;
    int tagLine = 1;
    qsizetype tokenStart = 0;
    qsizetype i = 0;

    auto deliver = [&](MustacheToken::Type type, int tokenLine, MustacheToken::Range range,
                       MustacheToken::Range inner, bool hasInner) {
        auto token = std::make_shared<MustacheToken>(type, source, templateID, tokenLine, range);
        if (hasInner)
            token->setTagInnerRange(inner);
        return shouldContinueAfterParsingToken(token);
    };

    while (i < length) {
        const QChar c = text[i];
        switch (state) {
        case State::Start:
        case State::Text: {
            State next = State::Start;
            qsizetype openerSize = 0;
            if (delimiters->triple && matches(text, length, i, TripleStart)) {
                next = State::TripleTag;
                openerSize = TripleStart.size();
            } else if (matches(text, length, i, delimiters->setStart)) {
                next = State::SetDelimitersTag;
                openerSize = delimiters->setStart.size();
            } else if (matches(text, length, i, delimiters->start)) {
                next = State::Tag;
                openerSize = delimiters->start.size();
            }
            if (openerSize > 0) {
                if (state == State::Text && i > tokenStart
                    && !deliver(
                        MustacheToken::Text, line, { tokenStart, i - tokenStart }, {}, false))
                    return;
                tagLine = line;
                tokenStart = i;
                state = next;
                i += openerSize;
                continue;
            }
            if (state == State::Start) {
                tokenStart = i;
                state = State::Text;
            }
            break;
        }
        case State::Tag:
        case State::TripleTag:
        case State::SetDelimitersTag: {
            const QString& opener = state == State::Tag ? delimiters->start
                : state == State::TripleTag             ? TripleStart
                                                        : delimiters->setStart;
            const QString& closer = state == State::Tag ? delimiters->end
                : state == State::TripleTag             ? TripleEnd
                                                        : delimiters->setEnd;
            if (!matches(text, length, i, closer))
                break;
            MustacheToken::Type type = MustacheToken::UnescapedVariable;
            qsizetype innerStart = tokenStart + opener.size();
            QStringList newDelimiters;
            if (state == State::Tag) {
                bool sigil = false;
                type = tagType(text, innerStart, i, &sigil);
                if (sigil)
                    ++innerStart;
            } else if (state == State::SetDelimitersTag) {
                type = MustacheToken::SetDelimiter;
                newDelimiters = words(text, innerStart, i);
                if (newDelimiters.size() != 2) {
                    failWithParseErrorAtLine(
                        line, QStringLiteral("Invalid set delimiters tag"), templateID);
                    return;
                }
            }
            const qsizetype tokenEnd = i + closer.size();
            if (!deliver(type, tagLine, { tokenStart, tokenEnd - tokenStart },
                    { innerStart, i - innerStart }, true))
                return;
            if (!newDelimiters.isEmpty()) {
                m_tagStartDelimiter = newDelimiters.at(0);
                m_tagEndDelimiter = newDelimiters.at(1);
                delimiters = std::make_unique<Delimiters>(m_tagStartDelimiter, m_tagEndDelimiter);
            }
            state = State::Start;
            tokenStart = tokenEnd;
            i = tokenEnd;
            continue;
        }
        }
        if (c == u'\n')
            ++line;
        ++i;
    }

    switch (state) {
    case State::Tag:
    case State::TripleTag:
    case State::SetDelimitersTag:
        failWithParseErrorAtLine(tagLine, QStringLiteral("Unclosed Mustache tag"), templateID);
        break;
    case State::Text:
        deliver(MustacheToken::Text, line, { tokenStart, length - tokenStart }, {}, false);
        break;
    case State::Start:
        break;
    }
}

QString MustacheParser::parseTemplateName(const QString& text, bool* empty, platform::Error* error)
{
    const QString name = text.trimmed();
    if (name.isEmpty()) {
        if (empty)
            *empty = true;
        if (error)
            *error = MustacheError::make(
                MustacheError::ParseError, QStringLiteral("Missing template name"));
        return {};
    }
    for (QChar c : name) {
        if (isBlank(c)) {
            if (empty)
                *empty = false;
            if (error)
                *error = MustacheError::make(
                    MustacheError::ParseError, QStringLiteral("Invalid template name"));
            return {};
        }
    }
    return name;
}

QString MustacheParser::parsePragma(const QString& text)
{
    const QString pragma = text.trimmed();
    return pragma.isEmpty() ? QString() : pragma;
}
