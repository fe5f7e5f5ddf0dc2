#include "utilities/text/LocalizedStrings.h"

#include "utilities/text/StringsLanguage.h"

#include "platform/Folders.h"
#include "platform/StringFormat.h"

#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QMutex>

namespace {

// Strings tables live in the bundle as "strings/<language>.json" (the main table) and
// "strings/<table>/<language>.json" (named tables), each one object mapping English keys
// to translations. A table is read once per language. `name` is the path without the
// ".json".
QHash<QString, QString> readTable(const QString& name)
{
    QHash<QString, QString> table;
    const QString path = platform::Folders::resourcePath("strings/" + name, "json");
    if (path.isEmpty())
        return table;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return table;
    const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
    for (auto it = object.begin(); it != object.end(); ++it)
        if (it.value().isString())
            table.insert(it.key(), it.value().toString());
    return table;
}

// A copy (shared, so cheap): a reference into the map would dangle once another thread
// adds a language and the map grows.
QHash<QString, QString> sharedTableFor(const QString& language)
{
    static QMutex mutex;
    static QHash<QString, QHash<QString, QString>> tables;
    QMutexLocker lock(&mutex);
    auto it = tables.find(language);
    if (it == tables.end())
        it = tables.insert(language, readTable(language));
    return it.value();
}

// A table never changes once read: each thread keeps its own copies, so threads that
// format values by the thousand do not wait on one another for the lock.
const QHash<QString, QString>& tableFor(const QString& language)
{
    thread_local QHash<QString, QHash<QString, QString>> tables;
    auto it = tables.constFind(language);
    if (it == tables.constEnd())
        it = tables.insert(language, sharedTableFor(language));
    return it.value();
}

} // namespace

QString LocalizedStrings::getLocalizedString(const QString& key)
{
    return getLocalizedString(key, QString());
}

QString LocalizedStrings::getLocalizedString(const QString& key, const QString& tableName)
{
    const QString chosen = StringsLanguage::current();
    const QString folder = tableName.isEmpty() ? QString() : tableName + "/";
    // The most specific table first ("de_CH"), then the language's ("de"); a named
    // table's English entries are its base for languages it lacks.
    QStringList languages { chosen, chosen.section('_', 0, 0) };
    if (!tableName.isEmpty())
        languages.append(QStringLiteral("en"));
    for (const QString& language : languages) {
        const auto& table = tableFor(folder + language);
        const auto it = table.constFind(key);
        if (it != table.constEnd())
            return it.value();
    }
    return key;
}

QString LocalizedStrings::getMessageWithFormat(
    const QString& formatKey, const QStringList& arguments)
{
    return platform::formatObjects(getLocalizedString(formatKey), arguments);
}

QString LocalizedStrings::Delete(const QString& item)
{
    return getMessageWithFormat(QStringLiteral("Delete %@?"), { item });
}

QString LocalizedStrings::SelectedItem(const QString& action)
{
    return getMessageWithFormat(QStringLiteral("%@ the selected item?"), { action });
}

QString LocalizedStrings::iOS7Style()
{
    return platform::formatObjects(QStringLiteral("iOS7 %@"), { Style() });
}

#define KIVO_TEXT(method, key)                                                                     \
    QString LocalizedStrings::method()                                                             \
    {                                                                                              \
        return getLocalizedString(QStringLiteral(key));                                            \
    }
#include "utilities/text/LocalizedStringList.h"
#undef KIVO_TEXT
