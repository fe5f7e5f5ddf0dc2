#pragma once

// Kinds the template engine shares between its parts; the numbers are stable.
enum class MustacheContentType : unsigned {
    HTML = 0,
    Text = 1,
};

enum class MustacheTagType : unsigned {
    Variable = 2,
    Section = 4,
    OverridableSection = 8,
    InvertedSection = 16,
};

// Nesting deeper than this (sections, partials, overrides, expressions, nested lists,
// templates found in the data, partials compiled inside each other) is refused with an
// error instead of exhausting the stack.
inline constexpr int MustacheMaximumDepth = 256;
