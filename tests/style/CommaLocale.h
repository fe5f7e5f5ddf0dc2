#pragma once

#include <QLocale>
#include <QTemporaryDir>

#include <clocale>
#include <string>

// Puts the process in a locale whose decimal separator is a comma, for both Qt
// (QLocale::setDefault) and the C library (setlocale), and restores the C locale after.
// The C library's locale is compiled into a temporary folder when the system lacks it.
class CommaLocale {
public:
    CommaLocale();
    ~CommaLocale();

    // True when the C library really formats 0.5 as "0,5" now.
    bool cLibraryUsesComma() const { return m_cLibraryComma; }

private:
    QTemporaryDir m_folder;
    bool m_cLibraryComma = false;
};
