#pragma once

#include "utilities/text/FormatLocale.h"

#include <optional>
#include <utility>

// A thread's formatter, or texts it wrote, kept until the formatting locale is set again:
// `get` then makes it afresh.
template<typename T> class LocaleBound {
public:
    template<typename Make> T& get(Make&& make)
    {
        const int generation = FormatLocale::generation();
        if (!m_value || generation != m_generation) {
            m_value.emplace(std::forward<Make>(make)());
            m_generation = generation;
        }
        return *m_value;
    }

    T& get()
    {
        return get([] { return T(); });
    }

private:
    int m_generation = 0;
    std::optional<T> m_value;
};
