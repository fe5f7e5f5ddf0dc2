#include "platform/ui/BatchUpdate.h"

namespace platform::ui {

BatchUpdate::BatchUpdate(std::vector<int> oldCounts)
    : m_oldCounts(std::move(oldCounts))
{
}

bool BatchUpdate::isEmpty() const
{
    return m_deletedSections.empty() && m_insertedSections.empty() && m_reloadedSections.empty()
        && m_deletedItems.empty() && m_insertedItems.empty() && m_reloadedItems.empty()
        && m_moves.empty();
}

void BatchUpdate::deleteSections(const QList<int>& sections)
{
    m_deletedSections.insert(sections.begin(), sections.end());
}

void BatchUpdate::insertSections(const QList<int>& sections)
{
    m_insertedSections.insert(sections.begin(), sections.end());
}

void BatchUpdate::reloadSections(const QList<int>& sections)
{
    m_reloadedSections.insert(sections.begin(), sections.end());
}

void BatchUpdate::deleteItems(const QList<IndexPath>& paths)
{
    m_deletedItems.insert(paths.begin(), paths.end());
}

void BatchUpdate::insertItems(const QList<IndexPath>& paths)
{
    m_insertedItems.insert(paths.begin(), paths.end());
}

void BatchUpdate::reloadItems(const QList<IndexPath>& paths)
{
    m_reloadedItems.insert(paths.begin(), paths.end());
}

void BatchUpdate::moveItem(const IndexPath& from, const IndexPath& to)
{
    m_moves[from] = to;
}

void BatchUpdate::merge(const BatchUpdate& other)
{
    m_deletedSections.insert(other.m_deletedSections.begin(), other.m_deletedSections.end());
    m_insertedSections.insert(other.m_insertedSections.begin(), other.m_insertedSections.end());
    m_reloadedSections.insert(other.m_reloadedSections.begin(), other.m_reloadedSections.end());
    m_deletedItems.insert(other.m_deletedItems.begin(), other.m_deletedItems.end());
    m_insertedItems.insert(other.m_insertedItems.begin(), other.m_insertedItems.end());
    m_reloadedItems.insert(other.m_reloadedItems.begin(), other.m_reloadedItems.end());
    for (const auto& [from, to] : other.m_moves)
        m_moves[from] = to;
}

bool BatchUpdate::resolve(const std::vector<int>& newCounts, QString* error)
{
    m_newCounts = newCounts;
    m_resolved = false;
    auto fail = [error](const QString& message) {
        if (error)
            *error = message;
        return false;
    };
    const int oldSections = int(m_oldCounts.size());
    const int newSections = int(m_newCounts.size());

    for (int s : m_deletedSections)
        if (s < 0 || s >= oldSections)
            return fail(QStringLiteral("attempt to delete section %1, but there are only %2 "
                                       "sections before the update")
                            .arg(s)
                            .arg(oldSections));
    for (int s : m_reloadedSections)
        if (s < 0 || s >= oldSections)
            return fail(QStringLiteral("attempt to reload section %1, but there are only %2 "
                                       "sections before the update")
                            .arg(s)
                            .arg(oldSections));
    for (int s : m_insertedSections)
        if (s < 0 || s >= newSections)
            return fail(QStringLiteral("attempt to insert section %1, but there are only %2 "
                                       "sections after the update")
                            .arg(s)
                            .arg(newSections));
    const int survivors = oldSections - int(m_deletedSections.size());
    if (survivors != newSections - int(m_insertedSections.size()))
        return fail(QStringLiteral("Invalid update: invalid number of sections. The number of "
                                   "sections contained after the update (%1) must be equal to "
                                   "the number of sections contained before the update (%2), "
                                   "plus or minus the number of sections inserted or deleted "
                                   "(%3 inserted, %4 deleted).")
                        .arg(newSections)
                        .arg(oldSections)
                        .arg(m_insertedSections.size())
                        .arg(m_deletedSections.size()));

    m_sectionOldToNew.assign(size_t(oldSections), -1);
    m_sectionNewToOld.assign(size_t(newSections), -1);
    int old = 0;
    for (int s = 0; s < newSections; ++s) {
        if (m_insertedSections.count(s))
            continue;
        while (m_deletedSections.count(old))
            ++old;
        m_sectionOldToNew[size_t(old)] = s;
        m_sectionNewToOld[size_t(s)] = old;
        ++old;
    }

    // Item changes, gathered by the section they touch.
    struct Touch {
        std::set<int> leaving; // old items deleted or moved away
        std::set<int> arriving; // new items inserted
        std::map<int, IndexPath> movedIn; // new item -> old place
    };
    std::map<int, Touch> byOld; // old section -> leaving
    std::map<int, Touch> byNew; // new section -> arriving
    for (const IndexPath& p : m_deletedItems) {
        if (p.section() < 0 || p.section() >= oldSections || p.item() < 0
            || p.item() >= m_oldCounts[size_t(p.section())])
            return fail(QStringLiteral("attempt to delete item %1 from section %2, which "
                                       "does not hold it before the update")
                            .arg(p.item())
                            .arg(p.section()));
        if (!m_deletedSections.count(p.section()))
            byOld[p.section()].leaving.insert(p.item());
    }
    for (const IndexPath& p : m_reloadedItems)
        if (p.section() < 0 || p.section() >= oldSections || p.item() < 0
            || p.item() >= m_oldCounts[size_t(p.section())])
            return fail(QStringLiteral("attempt to reload item %1 in section %2, which does "
                                       "not hold it before the update")
                            .arg(p.item())
                            .arg(p.section()));
    for (const IndexPath& p : m_insertedItems) {
        if (p.section() < 0 || p.section() >= newSections || p.item() < 0
            || p.item() >= m_newCounts[size_t(p.section())])
            return fail(QStringLiteral("attempt to insert item %1 into section %2, which holds "
                                       "only %3 items after the update")
                            .arg(p.item())
                            .arg(p.section())
                            .arg(p.section() >= 0 && p.section() < newSections
                                    ? m_newCounts[size_t(p.section())]
                                    : 0));
        if (!m_insertedSections.count(p.section()))
            byNew[p.section()].arriving.insert(p.item());
    }
    for (const auto& [from, to] : m_moves) {
        if (from.section() < 0 || from.section() >= oldSections || from.item() < 0
            || from.item() >= m_oldCounts[size_t(from.section())] || to.section() < 0
            || to.section() >= newSections || to.item() < 0
            || to.item() >= m_newCounts[size_t(to.section())])
            return fail(QStringLiteral("attempt to move an item from section %1 item %2 to "
                                       "section %3 item %4, outside the counts")
                            .arg(from.section())
                            .arg(from.item())
                            .arg(to.section())
                            .arg(to.item()));
        if (m_deletedSections.count(from.section()) || m_insertedSections.count(to.section()))
            return fail(QStringLiteral("attempt to move an item out of a deleted section or "
                                       "into an inserted one"));
        byOld[from.section()].leaving.insert(from.item());
        byNew[to.section()].movedIn[to.item()] = from;
    }

    // Every surviving section whose items change gets a map; reloaded sections count as
    // all-new and need none.
    std::set<int> touched;
    for (const auto& [s, t] : byOld)
        touched.insert(s);
    for (const auto& [s, t] : byNew)
        if (m_sectionNewToOld[size_t(s)] >= 0)
            touched.insert(m_sectionNewToOld[size_t(s)]);
    m_itemMaps.clear();
    for (int s = 0; s < oldSections; ++s) {
        const int t = m_sectionOldToNew[size_t(s)];
        if (t < 0 || m_reloadedSections.count(s))
            continue;
        const int oldCount = m_oldCounts[size_t(s)];
        const int newCount = m_newCounts[size_t(t)];
        const Touch& out = byOld[s];
        const Touch& in = byNew[t];
        const int staying = oldCount - int(out.leaving.size());
        const int places = newCount - int(in.arriving.size()) - int(in.movedIn.size());
        if (staying != places) {
            int movedOut = 0;
            for (const auto& [from, to] : m_moves)
                if (from.section() == s)
                    ++movedOut;
            const int deleted = int(out.leaving.size()) - movedOut;
            return fail(QStringLiteral("Invalid update: invalid number of items in section %1. "
                                       "The number of items contained in an existing section "
                                       "after the update (%2) must be equal to the number of "
                                       "items contained in that section before the update (%3), "
                                       "plus or minus the number of items inserted or deleted "
                                       "from that section (%4 inserted, %5 deleted) and plus or "
                                       "minus the number of items moved into or out of that "
                                       "section (%6 moved in, %7 moved out).")
                            .arg(t)
                            .arg(newCount)
                            .arg(oldCount)
                            .arg(in.arriving.size())
                            .arg(deleted)
                            .arg(in.movedIn.size())
                            .arg(movedOut));
        }
        if (!touched.count(s) && oldCount == newCount)
            continue;
        SectionMap map;
        map.oldToNew.assign(size_t(oldCount), -1);
        map.newToOld.assign(size_t(newCount), -1);
        int next = 0;
        for (int j = 0; j < newCount; ++j) {
            if (in.arriving.count(j) || in.movedIn.count(j))
                continue;
            while (out.leaving.count(next))
                ++next;
            map.oldToNew[size_t(next)] = j;
            map.newToOld[size_t(j)] = next;
            ++next;
        }
        m_itemMaps[s] = std::move(map);
    }
    m_resolved = true;
    return true;
}

std::optional<int> BatchUpdate::newSection(int oldSection) const
{
    if (!m_resolved)
        return oldSection;
    if (oldSection < 0 || size_t(oldSection) >= m_sectionOldToNew.size())
        return std::nullopt;
    const int s = m_sectionOldToNew[size_t(oldSection)];
    if (s < 0)
        return std::nullopt;
    return s;
}

std::optional<int> BatchUpdate::oldSection(int newSection) const
{
    if (!m_resolved)
        return newSection;
    if (newSection < 0 || size_t(newSection) >= m_sectionNewToOld.size())
        return std::nullopt;
    const int s = m_sectionNewToOld[size_t(newSection)];
    if (s < 0)
        return std::nullopt;
    return s;
}

std::optional<IndexPath> BatchUpdate::newIndexPath(const IndexPath& oldPath) const
{
    auto moved = m_moves.find(oldPath);
    if (moved != m_moves.end())
        return moved->second;
    const auto section = newSection(oldPath.section());
    if (!section)
        return std::nullopt;
    if (m_deletedItems.count(oldPath))
        return std::nullopt;
    if (m_reloadedSections.count(oldPath.section())) {
        // The whole section is made anew; elements keep their place while it lasts.
        if (oldPath.item() >= m_newCounts[size_t(*section)])
            return std::nullopt;
        return IndexPath(oldPath.item(), *section);
    }
    auto map = m_itemMaps.find(oldPath.section());
    if (map == m_itemMaps.end())
        return IndexPath(oldPath.item(), *section);
    if (oldPath.item() < 0 || size_t(oldPath.item()) >= map->second.oldToNew.size())
        return std::nullopt;
    const int item = map->second.oldToNew[size_t(oldPath.item())];
    if (item < 0)
        return std::nullopt;
    return IndexPath(item, *section);
}

std::optional<IndexPath> BatchUpdate::oldIndexPath(const IndexPath& newPath) const
{
    if (!m_resolved)
        return newPath;
    if (newPath.section() < 0 || size_t(newPath.section()) >= m_sectionNewToOld.size())
        return std::nullopt;
    const int s = m_sectionNewToOld[size_t(newPath.section())];
    if (s < 0 || m_reloadedSections.count(s))
        return std::nullopt;
    for (const auto& [from, to] : m_moves)
        if (to == newPath)
            return from;
    auto map = m_itemMaps.find(s);
    IndexPath old(newPath.item(), s);
    if (map != m_itemMaps.end()) {
        if (newPath.item() < 0 || size_t(newPath.item()) >= map->second.newToOld.size())
            return std::nullopt;
        const int item = map->second.newToOld[size_t(newPath.item())];
        if (item < 0)
            return std::nullopt;
        old = IndexPath(item, s);
    }
    if (m_reloadedItems.count(old))
        return std::nullopt;
    return old;
}

bool BatchUpdate::isReloaded(const IndexPath& oldPath) const
{
    return m_reloadedItems.count(oldPath) || m_reloadedSections.count(oldPath.section());
}

} // namespace platform::ui
