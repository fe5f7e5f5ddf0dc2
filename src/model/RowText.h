#pragma once

#include <QStringList>
#include <QStringView>
#include <QVariantMap>

#include <functional>
#include <optional>

// Reading a row's stored text. Rows are decoded by the hundred thousand when a table is
// filtered or sorted, so the text is parsed straight from its UTF-16 form into the value
// dictionary, without the detour through UTF-8 and a JSON document. Values come out as
// the JSON reader gives them: texts, whole numbers as 64-bit integers, other numbers as
// doubles, flags, null, and lists and dictionaries of those.
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
};
