#pragma once

#include <QHashFunctions>
#include <QList>
#include <QMetaType>

#include <compare>

namespace platform::ui {

// A place in a sectioned list: a section and, within it, a row (tables) or an item
// (collections); the two names mean the same number. Ordered by section, then row.
class IndexPath {
public:
    constexpr IndexPath() = default;
    constexpr IndexPath(int row, int section)
        : m_section(section)
        , m_row(row)
    {
    }
    static constexpr IndexPath forRow(int row, int section) { return IndexPath(row, section); }
    static constexpr IndexPath forItem(int item, int section) { return IndexPath(item, section); }

    constexpr int section() const { return m_section; }
    constexpr int row() const { return m_row; }
    constexpr int item() const { return m_row; }

    constexpr auto operator<=>(const IndexPath& other) const = default;

private:
    int m_section = 0;
    int m_row = 0;
};

inline size_t qHash(const IndexPath& path, size_t seed = 0)
{
    return qHashMulti(seed, path.section(), path.row());
}

} // namespace platform::ui

Q_DECLARE_METATYPE(platform::ui::IndexPath)
