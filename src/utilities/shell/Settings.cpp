#include "utilities/shell/Settings.h"

#include "platform/UserDefaults.h"

QString Settings::GetSettings(const QString& key)
{
    return platform::UserDefaults::standard().stringForKey(key);
}
