#include "platform/ui/MailRecipient.h"

#include <QRegularExpression>

#include <algorithm>
#include <utility>

namespace platform::ui {

namespace {

constexpr QChar kQuote = u'"';
constexpr QChar kEscape = u'\\';
constexpr QChar kOpen = u'<';
constexpr QChar kClose = u'>';
// What a name holds only between quotes: the signs of an address and of a list of them.
constexpr QStringView kQuotedOnly = u">@\\,;";

bool isAddress(const QString& text)
{
    // A local part, "@", and a domain of at least two labels; none of it blank or holding
    // what would end the address in a header.
    static const QRegularExpression pattern(QStringLiteral(
        R"(^[^\s@<>()\[\],;:"\\]+@[^\s@<>()\[\],;:"\\.]+(\.[^\s@<>()\[\],;:"\\.]+)+$)"));
    return pattern.match(text).hasMatch();
}

bool holdsControlCharacter(const QString& text)
{
    return std::any_of(text.cbegin(), text.cend(),
        [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
}

} // namespace

bool MailRecipient::isPlainWords(const QString& text)
{
    static const QString signs = QStringLiteral("!#$%&'*+-/=?^_`{|}~ ");
    for (const QChar c : text) {
        if (c.unicode() < 0x80 && (c.isLetterOrNumber() || signs.contains(c)))
            continue;
        return false;
    }
    return true;
}

std::optional<MailRecipient> MailRecipient::fromText(const QString& text)
{
    const QString trimmed = text.trimmed();
    // A header has no place for a control character: it could only be dropped or changed.
    if (holdsControlCharacter(trimmed))
        return std::nullopt;
    MailRecipient recipient;
    if (!trimmed.endsWith(kClose)) {
        if (!isAddress(trimmed))
            return std::nullopt;
        recipient.m_address = trimmed;
        return recipient;
    }
    // "Name <address>": the name runs to the first bracket outside quotes. Unquoted, it
    // holds no sign that belongs to an address, so "x <a@b.c> <d@e.f>" is refused rather
    // than read as one name.
    QString name;
    bool quoted = false;
    qsizetype open = -1;
    for (qsizetype i = 0; i < trimmed.size() && open < 0; ++i) {
        const QChar c = trimmed.at(i);
        if (quoted) {
            if (c == kEscape && i + 1 < trimmed.size())
                name += trimmed.at(++i);
            else if (c == kQuote)
                quoted = false;
            else
                name += c;
        } else if (c == kQuote) {
            quoted = true;
        } else if (c == kOpen) {
            open = i;
        } else if (kQuotedOnly.contains(c)) {
            return std::nullopt;
        } else {
            name += c;
        }
    }
    if (open < 0)
        return std::nullopt;
    const QString address = trimmed.mid(open + 1, trimmed.size() - open - 2).trimmed();
    if (!isAddress(address))
        return std::nullopt;
    recipient.m_name = name.simplified();
    recipient.m_address = address;
    return recipient;
}

QStringList MailRecipient::split(const QString& text)
{
    QStringList parts;
    QString part;
    bool quoted = false;
    const auto keep = [&parts](const QString& typed) {
        if (const QString recipient = typed.trimmed(); !recipient.isEmpty())
            parts.append(recipient);
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted && c == kEscape && i + 1 < text.size()) {
            part += c;
            part += text.at(++i);
            continue;
        }
        if (c == kQuote)
            quoted = !quoted;
        if (!quoted && (c == u',' || c == u';')) {
            keep(std::exchange(part, QString()));
            continue;
        }
        part += c;
    }
    keep(part);
    return parts;
}

QString MailRecipient::quotedName() const
{
    if (isPlainWords(m_name))
        return m_name;
    QString escaped = m_name;
    escaped.replace(kEscape, QStringLiteral("\\\\")).replace(kQuote, QStringLiteral("\\\""));
    return kQuote + escaped + kQuote;
}

} // namespace platform::ui
