#include "reports/PdfReportPageSearch.h"

#include <algorithm>

PdfReportPageSearch::PdfReportPageSearch(Mode mode, quint64 itemsPerPage)
    : m_mode(mode)
    , m_itemsPerPage(std::max<quint64>(1, itemsPerPage))
{
}

void PdfReportPageSearch::beginPage(quint64 itemsLeft)
{
    m_cap = std::clamp<quint64>(itemsLeft, 1, m_itemsPerPage);
    m_accepted = 0;
    if (m_mode == Mode::Literal) {
        m_count = m_itemsPerPage;
        m_min = m_itemsPerPage;
        m_success = false;
        return;
    }
    m_fits = 0;
    m_overflows = m_cap + 1;
    m_stepUp = 1;
    m_stepDown = 1;
    m_count = m_previous == 0 ? m_cap : std::min(m_previous, m_cap);
}

bool PdfReportPageSearch::decide(quint64 count)
{
    m_accepted = std::max<quint64>(1, count);
    m_previous = m_accepted;
    return true;
}

bool PdfReportPageSearch::tried(bool fits)
{
    if (m_mode == Mode::Literal) {
        if (!fits) {
            const quint64 next = m_success ? m_count - 1 : m_count / 2;
            // Not even one item fits: it goes alone.
            if (next == 0)
                return decide(1);
            m_count = next;
            return false;
        }
        // Every count past the items left is the same page.
        if (m_min == m_count || m_count >= m_cap)
            return decide(m_count);
        m_min = m_count;
        ++m_count;
        m_success = true;
        return false;
    }
    if (fits)
        m_fits = m_count;
    else
        m_overflows = m_count;
    if (m_fits >= m_cap)
        return decide(m_cap);
    if (m_overflows == m_fits + 1)
        return decide(m_fits);
    nextQuickCount();
    return false;
}

void PdfReportPageSearch::nextQuickCount()
{
    if (m_overflows > m_cap) {
        m_count = std::min(m_cap, m_fits + m_stepUp);
        m_stepUp *= 2;
    } else if (m_fits == 0) {
        m_count = m_overflows > m_stepDown ? m_overflows - m_stepDown : 1;
        m_stepDown *= 2;
    } else {
        m_count = m_fits + (m_overflows - m_fits) / 2;
    }
}

void PdfReportPageSearch::settle(quint64 count, bool remembered)
{
    const quint64 previous = m_previous;
    decide(std::min(count, m_cap));
    if (!remembered && previous > 0)
        m_previous = previous;
}

quint64 PdfReportPageSearch::overfullCount() const
{
    // A first page of one-line rows holds about thirty: forty are laid out, and more only
    // when they all fit.
    if (m_previous == 0)
        return std::min<quint64>(m_cap, 40);
    // Pages of rows differ by a row or two: a sixteenth more, and two, covers them.
    return std::min(m_cap, m_previous + m_previous / 16 + 2);
}
