#include "model/RowText.h"

#include <QVarLengthArray>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <string_view>

namespace {

// Deep enough for any row; deeper text is refused rather than risking the stack.
constexpr int kMaximumDepth = 64;

class Parser {
public:
    Parser(QStringView text, const QStringList& knownKeys, const RowText::Adjust& adjust,
        bool onlyKnown)
        : m_p(text.data())
        , m_end(text.data() + text.size())
        , m_knownKeys(knownKeys)
        , m_adjust(adjust)
        , m_onlyKnown(onlyKnown)
    {
    }

    std::optional<QVariantMap> document()
    {
        skipBlanks();
        QVariantMap object;
        if (!parseObject(object, 0))
            return std::nullopt;
        skipBlanks();
        if (m_p != m_end)
            return std::nullopt;
        return object;
    }

private:
    void skipBlanks()
    {
        while (m_p != m_end && (*m_p == u' ' || *m_p == u'\n' || *m_p == u'\r' || *m_p == u'\t'))
            ++m_p;
    }

    bool take(char16_t c)
    {
        skipBlanks();
        if (m_p == m_end || *m_p != c)
            return false;
        ++m_p;
        return true;
    }

    bool literal(const char* word)
    {
        for (const char* w = word; *w; ++w, ++m_p) {
            if (m_p == m_end || *m_p != QChar::fromLatin1(*w))
                return false;
        }
        return true;
    }

    bool parseObject(QVariantMap& object, int depth)
    {
        if (!take(u'{'))
            return false;
        skipBlanks();
        if (m_p != m_end && *m_p == u'}') {
            ++m_p;
            return true;
        }
        // Built as the standard map the dictionary wraps, members moved in: stored members
        // come in order, so the end is where each one goes.
        std::map<QString, QVariant> members;
        while (true) {
            skipBlanks();
            QString key;
            qsizetype known = -1;
            const bool onlyKnown = depth == 0 && m_onlyKnown;
            if (!parseKey(key, known, onlyKnown) || !take(u':'))
                return false;
            if (onlyKnown && known < 0) {
                // Checked, but not kept.
                if (!skipValue(depth + 1))
                    return false;
            } else {
                QVariant value;
                if (!parseValue(value, depth + 1))
                    return false;
                if (depth == 0 && known >= 0 && m_adjust && !m_adjust(known, value)) {
                    // Left out, also when an earlier member of the same name was kept.
                    members.erase(key);
                } else {
                    const auto size = members.size();
                    const auto at
                        = members.try_emplace(members.end(), std::move(key), std::move(value));
                    // A name given twice keeps its last value, as the dictionary's insert
                    // has it (try_emplace leaves the value alone when the name is there).
                    if (members.size() == size)
                        at->second = std::move(value);
                }
            }
            if (take(u','))
                continue;
            if (!take(u'}'))
                return false;
            object = QVariantMap(std::move(members));
            return true;
        }
    }

    bool parseArray(QVariantList& list, int depth)
    {
        ++m_p; // '['
        skipBlanks();
        if (m_p != m_end && *m_p == u']') {
            ++m_p;
            return true;
        }
        while (true) {
            QVariant value;
            if (!parseValue(value, depth + 1))
                return false;
            list.append(value);
            if (take(u','))
                continue;
            return take(u']');
        }
    }

    bool parseValue(QVariant& value, int depth)
    {
        if (depth > kMaximumDepth)
            return false;
        skipBlanks();
        if (m_p == m_end)
            return false;
        switch (m_p->unicode()) {
        case u'"': {
            QString text;
            if (!parseString(text))
                return false;
            value = text;
            return true;
        }
        case u'{': {
            QVariantMap object;
            if (!parseObject(object, depth))
                return false;
            value = object;
            return true;
        }
        case u'[': {
            QVariantList list;
            if (!parseArray(list, depth))
                return false;
            value = list;
            return true;
        }
        case u't':
            value = true;
            return literal("true");
        case u'f':
            value = false;
            return literal("false");
        case u'n':
            value = QVariant::fromValue(nullptr);
            return literal("null");
        default:
            return parseNumber(value);
        }
    }

    static int hexDigit(char16_t c)
    {
        if (c >= u'0' && c <= u'9')
            return c - u'0';
        if (c >= u'a' && c <= u'f')
            return c - u'a' + 10;
        if (c >= u'A' && c <= u'F')
            return c - u'A' + 10;
        return -1;
    }

    // A value read only to check it: texts are not made.
    bool skipValue(int depth)
    {
        if (depth > kMaximumDepth)
            return false;
        skipBlanks();
        if (m_p == m_end)
            return false;
        switch (m_p->unicode()) {
        case u'"':
            return skipString();
        case u't':
            return literal("true");
        case u'f':
            return literal("false");
        case u'n':
            return literal("null");
        default: {
            QVariant value;
            return parseValue(value, depth);
        }
        }
    }

    bool skipString()
    {
        ++m_p; // opening quote
        if (!skipPlain())
            return false;
        while (*m_p == u'\\') {
            ++m_p;
            QString escaped;
            if (!appendEscape(escaped) || !skipPlain())
                return false;
        }
        ++m_p; // closing quote
        return true;
    }

    // A member name: the known key it equals when it has no escapes, else a new text (or,
    // with `skipUnknown`, no text when it is none of the known ones).
    bool parseKey(QString& out, qsizetype& known, bool skipUnknown)
    {
        if (m_p != m_end && *m_p == u'"' && !m_knownKeys.isEmpty()) {
            const QChar* start = m_p + 1;
            const QChar* q = start;
            // Plain characters only, as skipPlain takes them: a name with an escape or a
            // raw control character is read (or refused) the one way every text is.
            while (q != m_end && *q != u'"' && *q != u'\\' && q->unicode() >= 0x20)
                ++q;
            if (q != m_end && *q == u'"') {
                const QStringView name(start, q - start);
                for (qsizetype i = 0; i < m_knownKeys.size(); ++i) {
                    const QString& candidate = m_knownKeys[i];
                    if (candidate.size() == name.size()
                        && (name.isEmpty() || candidate.front() == name.front())
                        && name == candidate) {
                        out = candidate;
                        known = i;
                        m_p = q + 1;
                        return true;
                    }
                }
                // Not a known name: read it as any other text, or only pass it.
                if (!skipUnknown)
                    return parseString(out);
                m_p = q + 1;
                return true;
            }
        }
        if (!parseString(out))
            return false;
        // A name written with escapes can still be a known one.
        known = m_knownKeys.indexOf(out);
        return true;
    }

    // Moves past plain characters up to the next quote or escape; false at the end of
    // the text or at a raw control character.
    bool skipPlain()
    {
        while (m_p != m_end && *m_p != u'"' && *m_p != u'\\') {
            if (m_p->unicode() < 0x20)
                return false;
            ++m_p;
        }
        return m_p != m_end;
    }

    // Appends the character of the escape after a backslash and moves past it.
    bool appendEscape(QString& out)
    {
        // The one-letter escapes and what they stand for, position by position.
        static constexpr std::u16string_view letters = u"\"\\/bfnrt";
        static constexpr std::u16string_view meanings = u"\"\\/\b\f\n\r\t";
        if (m_p == m_end)
            return false;
        if (const auto at = letters.find(m_p->unicode()); at != std::u16string_view::npos) {
            out += QChar(meanings[at]);
            ++m_p;
            return true;
        }
        if (*m_p != u'u' || m_end - m_p < 5)
            return false;
        int code = 0;
        for (int i = 1; i <= 4; ++i) {
            const int digit = hexDigit(m_p[i].unicode());
            if (digit < 0)
                return false;
            code = code * 16 + digit;
        }
        out += QChar(char16_t(code));
        m_p += 5;
        return true;
    }

    bool parseString(QString& out)
    {
        if (m_p == m_end || *m_p != u'"')
            return false;
        ++m_p;
        const QChar* start = m_p;
        // The common case: no escapes, one copy.
        if (!skipPlain())
            return false;
        out = QString(start, m_p - start);
        while (*m_p == u'\\') {
            ++m_p;
            if (!appendEscape(out))
                return false;
            start = m_p;
            if (!skipPlain())
                return false;
            out.append(start, m_p - start);
        }
        ++m_p; // closing quote
        return true;
    }

    bool parseNumber(QVariant& value)
    {
        // JSON's grammar: -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
        const QChar* start = m_p;
        bool integral = true;
        const auto digits = [&] {
            const QChar* begin = m_p;
            while (m_p != m_end && *m_p >= u'0' && *m_p <= u'9')
                ++m_p;
            return m_p - begin;
        };
        if (m_p != m_end && *m_p == u'-')
            ++m_p;
        const QChar* first = m_p;
        const auto whole = digits();
        if (whole == 0 || (whole > 1 && *first == u'0'))
            return false;
        if (m_p != m_end && *m_p == u'.') {
            integral = false;
            ++m_p;
            if (digits() == 0)
                return false;
        }
        if (m_p != m_end && (*m_p == u'e' || *m_p == u'E')) {
            integral = false;
            ++m_p;
            if (m_p != m_end && (*m_p == u'+' || *m_p == u'-'))
                ++m_p;
            if (digits() == 0)
                return false;
        }
        // The number's characters are ASCII: narrowed in place for the number reader.
        QVarLengthArray<char, 64> token(m_p - start);
        std::transform(start, m_p, token.begin(), [](QChar c) { return char(c.unicode()); });
        const char* begin = token.data();
        const char* end = begin + token.size();
        if (integral) {
            qlonglong whole64 = 0;
            const auto result = std::from_chars(begin, end, whole64);
            if (result.ec == std::errc() && result.ptr == end) {
                value = whole64;
                return true;
            }
        }
        double number = 0;
        const auto result = std::from_chars(begin, end, number);
        if (result.ec != std::errc() || result.ptr != end || !std::isfinite(number))
            return false;
        value = number;
        return true;
    }

    const QChar* m_p;
    const QChar* m_end;
    const QStringList& m_knownKeys;
    const RowText::Adjust& m_adjust;
    const bool m_onlyKnown;
};

} // namespace

std::optional<QVariantMap> RowText::parseObject(
    QStringView text, const QStringList& knownKeys, const Adjust& adjust, bool onlyKnown)
{
    return Parser(text, knownKeys, adjust, onlyKnown).document();
}
