#pragma once

#include "model/RowText.h"
#include "model/Rows.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVarLengthArray>
#include <QVariant>

#include <optional>

// A table's rows decoded one after another, reading only the asked columns into one slot
// each: what a whole-table job (filter, sort, chart, export, search) needs, without a
// dictionary per row. The slots of decode(stored) are reused from row to row; the
// decoder itself is read-only once made, so pool threads share one through
// decodeInto with slots of their own. The columns are read once, here: rows are then
// decoded without touching them.
class RowDecoder {
public:
    // Every column's value, in the columns' order.
    RowDecoder(const Rows::Columns& columns, Rows::Password password);
    // Only the columns of those ids, in the ids' order (an id of none of the columns reads
    // the stored member of that name, with no default).
    RowDecoder(const Rows::Columns& columns, const QStringList& ids, Rows::Password password);
    // Its date adjustment points into it.
    RowDecoder(const RowDecoder&) = delete;
    RowDecoder& operator=(const RowDecoder&) = delete;

    // The column ids of the slots.
    const QStringList& keys() const { return m_layout.keys; }
    qsizetype size() const { return m_layout.keys.size(); }

    // The values of a row's stored text into `values` (one per key), as a decode of only
    // these columns gives them: each column's default for a row never given values, invalid
    // for a member absent; false, every value invalid, when the text does not decrypt or
    // parse.
    bool decodeInto(const QVariant& stored, QVariant* values) const;
    // The same into the decoder's own slots, replacing the last row's.
    bool decode(const QVariant& stored);
    const QVariant& value(qsizetype key) const { return m_values[key]; }

    // The row's plain text, as the bytes or the text it is held in: as stored when it is in
    // the clear (whatever the password), else decrypted with the password (nullopt when
    // there is none or it does not decrypt to UTF-8).
    struct PlainText {
        QByteArray utf8;
        QString text;
        bool isUtf8 = false;
    };
    static std::optional<PlainText> plainText(
        const QVariant& stored, const Rows::Password& password);
    // Whether a stored text is a row in the clear: a JSON object begins with "{" (after
    // blanks or a byte order mark), which the Base64 of an encrypted row never does. Rows
    // of a table whose protection changed on another machine meanwhile may be in either
    // form, so a reader goes by this rather than by the table's flag alone.
    static bool isClearText(const QVariant& stored);
    // A date column keeps Unix seconds: they become the date; an empty or unreadable one is
    // left out. `isDate` (by known key) must outlive the result.
    static RowText::Adjust datesOf(const QList<bool>& isDate);

private:
    Rows::StoredLayout m_layout;
    QVariantList m_defaults; // by key
    Rows::Password m_password;
    RowText::Adjust m_toDate;
    QVarLengthArray<QVariant, 16> m_values;
};
