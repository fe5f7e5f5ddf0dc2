#pragma once

#include "platform/ui/IndexPath.h"

#include <QList>
#include <QString>

#include <map>
#include <optional>
#include <set>
#include <vector>

namespace platform::ui {

// The changes of one batch update of a sectioned list, and where each element goes.
// Deletions, reloads and the sources of moves name places before the update; insertions
// and move targets name places after it. resolve() checks them against the counts after
// the update, as the platform does, and maps every old place to its new one.
class BatchUpdate {
public:
    explicit BatchUpdate(std::vector<int> oldCounts = {});

    bool isEmpty() const;
    const std::vector<int>& oldCounts() const { return m_oldCounts; }

    void deleteSections(const QList<int>& sections);
    void insertSections(const QList<int>& sections);
    void reloadSections(const QList<int>& sections);
    void deleteItems(const QList<IndexPath>& paths);
    void insertItems(const QList<IndexPath>& paths);
    void reloadItems(const QList<IndexPath>& paths);
    void moveItem(const IndexPath& from, const IndexPath& to);
    // Adds the changes of another batch (nested updates) made against the same counts.
    void merge(const BatchUpdate& other);

    // False when the changes do not add up to the new counts; the message says why.
    bool resolve(const std::vector<int>& newCounts, QString* error);

    // After resolve. The new place of an old section or element; none when deleted.
    std::optional<int> newSection(int oldSection) const;
    std::optional<int> oldSection(int newSection) const;
    std::optional<IndexPath> newIndexPath(const IndexPath& oldPath) const;
    // The old place of a new element; none when it is new (inserted or reloaded).
    std::optional<IndexPath> oldIndexPath(const IndexPath& newPath) const;
    // An old element that stays but is made anew (reloaded, alone or with its section).
    bool isReloaded(const IndexPath& oldPath) const;
    bool isSectionInserted(int newSection) const { return m_insertedSections.count(newSection); }
    bool isSectionDeleted(int oldSection) const { return m_deletedSections.count(oldSection); }
    bool isSectionReloaded(int oldSection) const { return m_reloadedSections.count(oldSection); }
    const std::set<int>& deletedSections() const { return m_deletedSections; }
    const std::set<int>& insertedSections() const { return m_insertedSections; }
    const std::set<IndexPath>& deletedItems() const { return m_deletedItems; }
    const std::set<IndexPath>& insertedItems() const { return m_insertedItems; }
    const std::set<IndexPath>& reloadedItems() const { return m_reloadedItems; }
    const std::map<IndexPath, IndexPath>& moves() const { return m_moves; }

private:
    // Per surviving section touched by item changes: new index of each old item (-1 when
    // it leaves), and old index of each new item (-1 when it is new).
    struct SectionMap {
        std::vector<int> oldToNew;
        std::vector<int> newToOld;
    };

    std::vector<int> m_oldCounts;
    std::vector<int> m_newCounts;
    std::set<int> m_deletedSections;
    std::set<int> m_insertedSections;
    std::set<int> m_reloadedSections;
    std::set<IndexPath> m_deletedItems;
    std::set<IndexPath> m_insertedItems;
    std::set<IndexPath> m_reloadedItems;
    std::map<IndexPath, IndexPath> m_moves; // old -> new
    std::vector<int> m_sectionOldToNew;
    std::vector<int> m_sectionNewToOld;
    std::map<int, SectionMap> m_itemMaps; // by old section
    bool m_resolved = false;
};

} // namespace platform::ui
