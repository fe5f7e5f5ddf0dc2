#pragma once

#include "reports/mustache/MustacheTemplateRepository.h"
#include "reports/mustache/MustacheTemplateRepositoryDataSource.h"

#include <QHash>

// Templates given as texts by name.
class MustacheTemplateRepositoryPartialsDictionary : public MustacheTemplateRepository,
                                                     public MustacheTemplateRepositoryDataSource {
public:
    explicit MustacheTemplateRepositoryPartialsDictionary(const QVariantMap& partialsDictionary);

    std::optional<QString> templateIDForName(MustacheTemplateRepository& repository,
        const QString& name, const QString& baseTemplateID) override;
    std::optional<QString> templateStringForTemplateID(MustacheTemplateRepository& repository,
        const QString& templateID, platform::Error* error) override;

private:
    QHash<QString, QString> m_partialsDictionary;
};
