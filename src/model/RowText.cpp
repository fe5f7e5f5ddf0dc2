#include "model/RowText.h"

#include <QVarLengthArray>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <string_view>

namespace {

// Deep enough for any row; deeper text is refused rather than risking the stack.
constexpr int kMaximumDepth = 64;

// The code unit at a place of the text: UTF-16 units as they are, UTF-8 bytes as
// 0..255 (so a byte of a multi-byte character is never mistaken for a control character
// or for JSON's punctuation).
inline char16_t unitOf(QChar c)
{
    return c.unicode();
}

inline char16_t unitOf(char c)
{
    return char16_t(static_cast<unsigned char>(c));
}

// The UTF-8 bytes of known member names (none for a name beyond ASCII).
struct KnownBytes {
    QStringList keys;
    QList<std::optional<QByteArray>> bytes;
};

// Where the values go: a dictionary of every member, or (for the reader of known members
// only) one slot per known key.
template<class Char> class Parser {
public:
    Parser(const Char* begin, const Char* end, const QStringList& knownKeys,
        const RowText::Adjust& adjust, bool onlyKnown)
        : m_p(begin)
        , m_end(end)
        , m_knownKeys(knownKeys)
        , m_adjust(adjust)
        , m_onlyKnown(onlyKnown)
    {
        if constexpr (std::is_same_v<Char, char>) {
            // A thread reads many rows with the same names: their bytes are made once.
            thread_local KnownBytes cache;
            // The same list (shared, so unchanged) is the usual case: no text is compared.
            const bool same = cache.keys.constData() == knownKeys.constData()
                && cache.keys.size() == knownKeys.size();
            if (!same) {
                if (cache.keys != knownKeys) {
                    cache.bytes.clear();
                    for (const QString& key : knownKeys) {
                        // Only ASCII names are matched byte for byte; others are read as text.
                        const bool ascii = std::all_of(
                            key.cbegin(), key.cend(), [](QChar c) { return c.unicode() < 0x80; });
                        cache.bytes.append(ascii ? std::optional(key.toLatin1()) : std::nullopt);
                    }
                }
                cache.keys = knownKeys;
            }
            m_knownUtf8 = &cache.bytes;
        }
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

    // The known members' values into their slots (invalid for those absent); false when
    // the text is not a JSON object.
    bool knownValues(QVariant* into)
    {
        m_slots = into;
        for (qsizetype i = 0; i < m_knownKeys.size(); ++i)
            into[i] = QVariant();
        skipBlanks();
        QVariantMap unused;
        bool parsed = parseObject(unused, 0);
        skipBlanks();
        parsed = parsed && m_p == m_end;
        if (!parsed) {
            for (qsizetype i = 0; i < m_knownKeys.size(); ++i)
                into[i] = QVariant();
        }
        return parsed;
    }

private:
    char16_t at() const { return unitOf(*m_p); }

    void skipBlanks()
    {
        while (m_p != m_end && (at() == u' ' || at() == u'\n' || at() == u'\r' || at() == u'\t'))
            ++m_p;
    }

    bool take(char16_t c)
    {
        skipBlanks();
        if (m_p == m_end || at() != c)
            return false;
        ++m_p;
        return true;
    }

    bool literal(const char* word)
    {
        for (const char* w = word; *w; ++w, ++m_p) {
            if (m_p == m_end || at() != char16_t(*w))
                return false;
        }
        return true;
    }

    bool parseObject(QVariantMap& object, int depth)
    {
        if (!take(u'{'))
            return false;
        skipBlanks();
        if (m_p != m_end && at() == u'}') {
            ++m_p;
            return true;
        }
        const bool toSlots = depth == 0 && m_slots;
        // Built as the standard map the dictionary wraps, members moved in: stored members
        // come in order, so the end is where each one goes.
        std::map<QString, QVariant> members;
        while (true) {
            skipBlanks();
            QString key;
            qsizetype known = -1;
            const bool onlyKnown = depth == 0 && m_onlyKnown;
            if (!parseKey(key, known, onlyKnown, !toSlots) || !take(u':'))
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
                    if (toSlots)
                        m_slots[known] = QVariant();
                    else
                        members.erase(key);
                } else if (toSlots) {
                    m_slots[known] = std::move(value);
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
            if (!toSlots)
                object = QVariantMap(std::move(members));
            return true;
        }
    }

    bool parseArray(QVariantList& list, int depth)
    {
        ++m_p; // '['
        skipBlanks();
        if (m_p != m_end && at() == u']') {
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
        switch (at()) {
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
        switch (at()) {
        case u'"':
            return skipString();
        case u't':
            return literal("true");
        case u'f':
            return literal("false");
        case u'n':
            return literal("null");
        case u'-':
        case u'0':
        case u'1':
        case u'2':
        case u'3':
        case u'4':
        case u'5':
        case u'6':
        case u'7':
        case u'8':
        case u'9':
            return skipNumber();
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
        while (at() == u'\\') {
            ++m_p;
            QString escaped;
            if (!appendEscape(escaped) || !skipPlain())
                return false;
        }
        ++m_p; // closing quote
        return true;
    }

    // The known key a plain name equals, or -1.
    qsizetype knownIndex(const Char* start, const Char* stop) const
    {
        const qsizetype size = stop - start;
        if constexpr (std::is_same_v<Char, char>) {
            for (qsizetype i = 0; i < m_knownUtf8->size(); ++i) {
                const auto& bytes = (*m_knownUtf8)[i];
                if (!bytes)
                    continue;
                const QByteArray& candidate = *bytes;
                if (candidate.size() == size
                    && (size == 0
                        || (candidate.front() == *start
                            && std::memcmp(candidate.constData(), start, size_t(size)) == 0)))
                    return i;
            }
        } else {
            const QStringView name(start, size);
            for (qsizetype i = 0; i < m_knownKeys.size(); ++i) {
                const QString& candidate = m_knownKeys[i];
                if (candidate.size() == size
                    && (name.isEmpty() || candidate.front() == name.front()) && name == candidate)
                    return i;
            }
        }
        return -1;
    }

    // Whether a run of the text holds only ASCII: its UTF-8 bytes then are its characters.
    static bool isAscii(const Char* start, const Char* stop)
    {
        return std::all_of(start, stop, [](Char c) { return unitOf(c) < 0x80; });
    }

    // A member name: the known key it equals when it has no escapes, else a new text (or,
    // with `skipUnknown`, no text when it is none of the known ones). Without `named`, a
    // known name is given by its place alone: pool threads reading rows at once would
    // otherwise all count references to the same few key texts.
    bool parseKey(QString& out, qsizetype& known, bool skipUnknown, bool named = true)
    {
        if (m_p != m_end && at() == u'"' && !m_knownKeys.isEmpty()) {
            const Char* start = m_p + 1;
            const Char* q = start;
            // Plain characters only, as skipPlain takes them: a name with an escape or a
            // raw control character is read (or refused) the one way every text is.
            while (q != m_end && unitOf(*q) != u'"' && unitOf(*q) != u'\\' && unitOf(*q) >= 0x20)
                ++q;
            if (q != m_end && unitOf(*q) == u'"') {
                const qsizetype index = knownIndex(start, q);
                if (index >= 0) {
                    if (named)
                        out = m_knownKeys[index];
                    known = index;
                    m_p = q + 1;
                    return true;
                }
                // Not a known name: read it as any other text, or only pass it. Bytes
                // beyond ASCII may still spell a known name once read as UTF-8.
                if (!skipUnknown || (std::is_same_v<Char, char> && !isAscii(start, q))) {
                    if (!parseString(out))
                        return false;
                    known = m_knownKeys.indexOf(out);
                    return true;
                }
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
        // Eight bytes at a time while none of them can end the run: texts are most of a
        // row.
        constexpr size_t lanes = sizeof(quint64) / sizeof(Char);
        constexpr quint64 ones = sizeof(Char) == 1 ? 0x0101010101010101ULL : 0x0001000100010001ULL;
        constexpr quint64 highs = ones << (8 * sizeof(Char) - 1);
        const auto hasZero = [](quint64 word) { return (word - ones) & ~word & highs; };
        while (size_t(m_end - m_p) >= lanes) {
            quint64 word;
            std::memcpy(&word, m_p, sizeof word);
            if (hasZero(word ^ (ones * u'"')) || hasZero(word ^ (ones * u'\\'))
                || ((word - ones * 0x20) & ~word & highs))
                break;
            m_p += lanes;
        }
        while (m_p != m_end && at() != u'"' && at() != u'\\') {
            if (at() < 0x20)
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
        if (const auto found = letters.find(at()); found != std::u16string_view::npos) {
            out += QChar(meanings[found]);
            ++m_p;
            return true;
        }
        if (at() != u'u' || m_end - m_p < 5)
            return false;
        int code = 0;
        for (int i = 1; i <= 4; ++i) {
            const int digit = hexDigit(unitOf(m_p[i]));
            if (digit < 0)
                return false;
            code = code * 16 + digit;
        }
        out += QChar(char16_t(code));
        m_p += 5;
        return true;
    }

    static void appendPlain(QString& out, const Char* start, const Char* stop)
    {
        if constexpr (std::is_same_v<Char, char>) {
            // Bytes that are not UTF-8 read as the replacement character, as a text made
            // of the whole row would have them.
            if (out.isEmpty())
                out = QString::fromUtf8(start, stop - start);
            else
                out += QString::fromUtf8(start, stop - start);
        } else {
            out.append(start, stop - start);
        }
    }

    bool parseString(QString& out)
    {
        if (m_p == m_end || at() != u'"')
            return false;
        ++m_p;
        const Char* start = m_p;
        // The common case: no escapes, one copy.
        if (!skipPlain())
            return false;
        out.clear();
        appendPlain(out, start, m_p);
        while (at() == u'\\') {
            ++m_p;
            if (!appendEscape(out))
                return false;
            start = m_p;
            if (!skipPlain())
                return false;
            appendPlain(out, start, m_p);
        }
        ++m_p; // closing quote
        return true;
    }

    qsizetype skipDigits()
    {
        const Char* begin = m_p;
        while (m_p != m_end && at() >= u'0' && at() <= u'9')
            ++m_p;
        return m_p - begin;
    }

    // An optional minus and the whole part, which starts with 0 only when it is 0.
    bool skipSignAndWhole(qsizetype& whole)
    {
        if (m_p != m_end && at() == u'-')
            ++m_p;
        const Char* first = m_p;
        whole = skipDigits();
        return whole != 0 && (whole == 1 || unitOf(*first) != u'0');
    }

    // A number read only to check it: what parseNumber refuses is refused. Without an
    // exponent and with at most 300 digits on either side of the point it is finite and
    // not too small, so it need not be converted.
    bool skipNumber()
    {
        const Char* start = m_p;
        qsizetype whole = 0;
        if (!skipSignAndWhole(whole))
            return false;
        qsizetype fraction = 0;
        if (m_p != m_end && at() == u'.') {
            ++m_p;
            fraction = skipDigits();
            if (fraction == 0)
                return false;
        }
        if ((m_p != m_end && (at() == u'e' || at() == u'E')) || whole > 300 || fraction > 300) {
            m_p = start;
            QVariant value;
            return parseNumber(value);
        }
        return true;
    }

    bool parseNumber(QVariant& value)
    {
        // JSON's grammar: -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
        const Char* start = m_p;
        bool integral = true;
        qsizetype whole = 0;
        if (!skipSignAndWhole(whole))
            return false;
        if (m_p != m_end && at() == u'.') {
            integral = false;
            ++m_p;
            if (skipDigits() == 0)
                return false;
        }
        if (m_p != m_end && (at() == u'e' || at() == u'E')) {
            integral = false;
            ++m_p;
            if (m_p != m_end && (at() == u'+' || at() == u'-'))
                ++m_p;
            if (skipDigits() == 0)
                return false;
        }
        const char* begin;
        const char* end;
        // The number's characters are ASCII: UTF-16 ones are narrowed for the number reader.
        QVarLengthArray<char, 64> token;
        if constexpr (std::is_same_v<Char, char>) {
            begin = start;
            end = m_p;
        } else {
            token.resize(m_p - start);
            std::transform(start, m_p, token.begin(), [](QChar c) { return char(c.unicode()); });
            begin = token.data();
            end = begin + token.size();
        }
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

    const Char* m_p;
    const Char* m_end;
    const QStringList& m_knownKeys;
    const QList<std::optional<QByteArray>>* m_knownUtf8 = nullptr;
    const RowText::Adjust& m_adjust;
    const bool m_onlyKnown;
    QVariant* m_slots = nullptr;
};

} // namespace

std::optional<QVariantMap> RowText::parseObject(
    QStringView text, const QStringList& knownKeys, const Adjust& adjust, bool onlyKnown)
{
    return Parser<QChar>(text.data(), text.data() + text.size(), knownKeys, adjust, onlyKnown)
        .document();
}

std::optional<QVariantMap> RowText::parseObject(
    QByteArrayView utf8, const QStringList& knownKeys, const Adjust& adjust, bool onlyKnown)
{
    return Parser<char>(utf8.data(), utf8.data() + utf8.size(), knownKeys, adjust, onlyKnown)
        .document();
}

bool RowText::parseKnown(
    QStringView text, const QStringList& knownKeys, const Adjust& adjust, QVariant* values)
{
    return Parser<QChar>(text.data(), text.data() + text.size(), knownKeys, adjust, true)
        .knownValues(values);
}

bool RowText::parseKnown(
    QByteArrayView utf8, const QStringList& knownKeys, const Adjust& adjust, QVariant* values)
{
    return Parser<char>(utf8.data(), utf8.data() + utf8.size(), knownKeys, adjust, true)
        .knownValues(values);
}
