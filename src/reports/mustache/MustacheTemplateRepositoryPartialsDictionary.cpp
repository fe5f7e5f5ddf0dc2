#include "reports/mustache/MustacheTemplateRepositoryPartialsDictionary.h"

#include "platform/Exception.h"
#include "reports/mustache/MustacheValue.h"

MustacheTemplateRepositoryPartialsDictionary::MustacheTemplateRepositoryPartialsDictionary(
    const QVariantMap& partialsDictionary)
{
    for (auto it = partialsDictionary.begin(); it != partialsDictionary.end(); ++it) {
        if (!MustacheValue::isString(it.value()))
            throw platform::Exception(platform::Exception::InvalidArgument,
                QStringLiteral("Template is not a string: %1")
                    .arg(MustacheValue::description(it.value())));
        m_partialsDictionary.insert(it.key(), it.value().toString());
    }
    setDataSource(this);
}

std::optional<QString> MustacheTemplateRepositoryPartialsDictionary::templateIDForName(
    MustacheTemplateRepository&, const QString& name, const QString&)
{
    return name;
}

std::optional<QString> MustacheTemplateRepositoryPartialsDictionary::templateStringForTemplateID(
    MustacheTemplateRepository&, const QString& templateID, platform::Error*)
{
    const auto it = m_partialsDictionary.constFind(templateID);
    if (it == m_partialsDictionary.constEnd())
        return std::nullopt;
    return it.value();
}
