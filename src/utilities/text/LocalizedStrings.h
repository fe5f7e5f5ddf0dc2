#pragma once

#include <QString>
#include <QStringList>

// Every text the user sees, one class method per text. Each looks up its English text
// as the key in the strings table of the user's language and answers the key itself
// when the table has no entry, so an untranslated text shows in English.
class LocalizedStrings {
public:
    LocalizedStrings() = delete;

    // The translation of the key, or the key when the current language lacks it.
    static QString getLocalizedString(const QString& key);
    // From a named strings table of its own ("strings/<table>/<language>.json", as the
    // widgets keep theirs), falling back to its English entries; the key itself when the
    // table or the key is missing.
    static QString getLocalizedString(const QString& key, const QString& tableName);
    // The translation of a format key, filled with the arguments ("%@" placeholders).
    static QString getMessageWithFormat(const QString& formatKey, const QStringList& arguments);

    // "Delete %@?" with the item's name.
    static QString Delete(const QString& item);
    // "%@ the selected item?" with the action.
    static QString SelectedItem(const QString& action);
    // "iOS7 %@" (not translated) with the text of Style.
    static QString iOS7Style();

#define KIVO_TEXT(method, key) static QString method();
#include "utilities/text/LocalizedStringList.h"
#undef KIVO_TEXT
};
