#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace platform::ui {

// One recipient of a mail: an address, with the name shown for it when one is given
// ("ana@example.com", "Ana <ana@example.com>", "\"Doe, Ana\" <ana@example.com>").
class MailRecipient {
public:
    // The recipient the text is, or none when it is anything else: no address, more than
    // one, a name holding what only a quoted name may hold, or a control character.
    static std::optional<MailRecipient> fromText(const QString& text);
    // The recipients typed into an address field, cut at the commas and semicolons that
    // stand outside quotes; each trimmed, blank ones left out.
    static QStringList split(const QString& text);

    const QString& name() const { return m_name; }
    const QString& address() const { return m_address; }
    // The name as a plain-ASCII header writes it: as it stands where it is words, else
    // quoted.
    QString quotedName() const;
    // Whether the text may stand unquoted in a header: ASCII words of letters, digits and
    // the few signs an atom allows, and the spaces between them.
    static bool isPlainWords(const QString& text);

private:
    QString m_name;
    QString m_address;
};

} // namespace platform::ui
