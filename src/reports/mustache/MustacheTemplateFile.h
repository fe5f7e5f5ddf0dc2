#pragma once

#include "platform/Error.h"

#include <QString>
#include <QStringConverter>

#include <optional>

// Reading template files for the folder-based repositories, and keeping names inside
// their folder.
class MustacheTemplateFile {
public:
    MustacheTemplateFile() = delete;

    // The text, or nullopt with the platform's file-reading error.
    static std::optional<QString> read(
        const QString& path, QStringConverter::Encoding encoding, platform::Error* error);
    // The cleaned path when it lies inside the folder, else nullopt: a name never reaches
    // outside its repository.
    static std::optional<QString> inside(const QString& folder, const QString& path);
    static QString withExtension(const QString& name, const QString& extension);
};
