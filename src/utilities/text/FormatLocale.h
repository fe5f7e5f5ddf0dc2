#pragma once

#include <QLocale>

// The locale dates and numbers are formatted in: the default locale. Setting it here also
// tells every thread's kept formatters (LocaleBound) to be made again, which a check of
// one counter per use finds; comparing locales instead took a shared reference count on
// every formatted cell, which the decoding threads fought over.
class FormatLocale {
public:
    FormatLocale() = delete;

    static void setDefault(const QLocale& locale);
    // Grows at every setDefault; formatters made at another generation are stale.
    static int generation();
};
