#pragma once

#include <QtGlobal>

#include <algorithm>

// Finds how many items go on one report page: the largest count, up to the items per page,
// whose page does not overflow, and one item alone when even that overflows (it then runs
// on over further pages). Counts past the items left are all the same page, so the search
// stops at the items left.
//
// Literal: the generator's original search, trial for trial: the items per page first,
// halving while the page overflows, then one more at a time until it overflows again.
// Quick: starts from the previous page's count and gallops, then bisects; the same counts,
// in a handful of trials, as long as more items never need less room.
class PdfReportPageSearch {
public:
    enum class Mode { Literal, Quick };

    PdfReportPageSearch(Mode mode, quint64 itemsPerPage);

    // Begins the search of a new page with this many items not yet placed.
    void beginPage(quint64 itemsLeft);
    // The count to try now.
    quint64 count() const { return m_count; }
    // The outcome of trying count(); true once the page's count is decided (accepted()).
    bool tried(bool fits);
    quint64 accepted() const { return m_accepted; }

    // The most items the page may take: the items per page, or the items left.
    quint64 cap() const { return m_cap; }
    // A count to lay out at once when the layout tells how many of its items fit: a few
    // more than the previous page took, or forty on the first page.
    quint64 overfullCount() const;
    // Takes a count found otherwise as the page's; the next page starts from it when
    // `remembered`.
    void settle(quint64 count, bool remembered = true);

private:
    bool decide(quint64 count);
    void nextQuickCount();

    Mode m_mode;
    quint64 m_itemsPerPage;
    quint64 m_cap = 0;
    quint64 m_count = 0;
    quint64 m_accepted = 0;
    quint64 m_previous = 0;
    // Literal search.
    quint64 m_min = 0;
    bool m_success = false;
    // Quick search: the largest count known to fit (0: none) and the smallest known to
    // overflow (cap + 1: none), and the gallop steps.
    quint64 m_fits = 0;
    quint64 m_overflows = 0;
    quint64 m_stepUp = 1;
    quint64 m_stepDown = 1;
};
