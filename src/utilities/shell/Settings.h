#pragma once

#include <QString>

// The text stored in the user defaults under a key.
class Settings {
public:
    Settings() = delete;
    static QString GetSettings(const QString& key);
};
