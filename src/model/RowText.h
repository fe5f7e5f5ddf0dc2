#pragma once

#include <QByteArrayView>
#include <QStringList>
#include <QStringView>
#include <QVariantMap>

#include <functional>
#include <optional>

// Reading a row's stored text. Rows are decoded by the hundred thousand when a table is
// filtered or sorted, so the text is parsed straight from the form it is held in (the
// store's UTF-8 bytes, or UTF-16) into the values, without a JSON document, and only the
// texts kept are made. Values come out as the JSON reader gives them: texts, whole
// numbers as 64-bit integers, other numbers as doubles, flags, null, and lists and
// dictionaries of those. Bytes that are not UTF-8 read as the replacement character, as
// in a text made of the whole row.
class RowText {
public:
    RowText() = delete;

    // Called with the position in `knownKeys` and the value of each top-level member whose
    // name is known; returns false to leave the member out.
    using Adjust = std::function<bool(qsizetype known, QVariant& value)>;

    // The dictionary of a JSON object text; nullopt for anything else. Member names equal
    // to one of `knownKeys` (the column ids) share that text instead of a copy; `adjust`,
    // when given, turns their values into what the columns hold as they are read. With
    // `onlyKnown`, top-level members of other names are checked but left out.
    [[nodiscard]] static std::optional<QVariantMap> parseObject(QStringView text,
        const QStringList& knownKeys = {}, const Adjust& adjust = {}, bool onlyKnown = false);
    [[nodiscard]] static std::optional<QVariantMap> parseObject(QByteArrayView utf8,
        const QStringList& knownKeys = {}, const Adjust& adjust = {}, bool onlyKnown = false);

    // Only the known members, into `values` (one per known key, invalid for a member
    // absent or left out): what parseObject with `onlyKnown` gives, without making a
    // dictionary per row. False, every value invalid, when the text is not a JSON object.
    [[nodiscard]] static bool parseKnown(
        QStringView text, const QStringList& knownKeys, const Adjust& adjust, QVariant* values);
    [[nodiscard]] static bool parseKnown(
        QByteArrayView utf8, const QStringList& knownKeys, const Adjust& adjust, QVariant* values);
};
