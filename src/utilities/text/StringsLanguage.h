#pragma once

#include <QString>

// The language of the strings tables: the first of the setting "AppleLanguages" when it
// is set, else the system's. Chosen once at start (the first lookup chooses it when
// start-up has not); a change of the setting shows at the next start. Number and date
// formats keep following the system. Safe from any thread.
class StringsLanguage {
public:
    StringsLanguage() = delete;

    // Reads the setting and chooses the language again.
    static void load();
    // The language chosen ("de_CH", "en").
    static QString current();

    static const QString AppleLanguagesKey; // "AppleLanguages"
};
