#pragma once

#include <QLocale>

#include <optional>
#include <utility>

// A thread's formatter, or texts it wrote, kept for as long as the default locale is the one
// it was made in: after the locale changed, `get` makes it afresh. Comparing two locales
// compares their shared data, so the check costs next to nothing on every use.
template<typename T> class LocaleBound {
public:
    template<typename Make> T& get(Make&& make)
    {
        const QLocale current;
        if (!m_value || !(current == m_locale)) {
            m_value.reset();
            m_value.emplace(std::forward<Make>(make)());
            m_locale = current;
        }
        return *m_value;
    }

    T& get()
    {
        return get([] { return T(); });
    }

private:
    QLocale m_locale = QLocale::c();
    std::optional<T> m_value;
};
