#pragma once

#include "platform/Error.h"

#include <QString>

#include <optional>

class MustacheTemplateRepository;

// Where a repository finds template texts: names become template IDs, IDs become texts.
class MustacheTemplateRepositoryDataSource {
public:
    virtual ~MustacheTemplateRepositoryDataSource();
    // The ID of the template a name calls from within the template baseTemplateID (empty
    // for top-level lookups), or nullopt.
    virtual std::optional<QString> templateIDForName(
        MustacheTemplateRepository& repository, const QString& name, const QString& baseTemplateID)
        = 0;
    // The text, or nullopt (with an error when the source has one).
    virtual std::optional<QString> templateStringForTemplateID(
        MustacheTemplateRepository& repository, const QString& templateID, platform::Error* error)
        = 0;
};
