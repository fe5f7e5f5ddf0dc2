#include "model/Template.h"

#include "utilities/shell/DeviceHelper.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/store/KivoLibObject.h"

namespace {

const QString kFetchTemplates = QStringLiteral("FetchRequest_Templates");
const QString kFetchTemplate = QStringLiteral("FetchRequest_Template");
const QString kFetchTemplateAll = QStringLiteral("FetchRequest_Template_All");
const QString kTemplateIdVariable = QStringLiteral("TEMPLATE_ID");
const QString kCategory = QStringLiteral("category");

} // namespace

QString Template::entityName()
{
    return QStringLiteral("Template");
}

quint64 Template::getTemplatesCount()
{
    return KivoLib::countFetchRequest(kFetchTemplates);
}

QList<Template*> Template::getTemplates()
{
    return ModelRegistry::fetch<Template>(kFetchTemplates);
}

QList<Template*> Template::getTemplatesAll()
{
    return ModelRegistry::fetch<Template>(kFetchTemplateAll);
}

Template* Template::getTemplate(const QString& templateId)
{
    const auto found
        = ModelRegistry::fetch<Template>(kFetchTemplate, { { kTemplateIdVariable, templateId } });
    return found.size() == 1 ? found.first() : nullptr;
}

Template* Template::add()
{
    ModelRegistry::registerClasses();
    auto* definition = qobject_cast<Template*>(KivoLib::addEntity(entityName()));
    if (!definition)
        return nullptr;
    const QString empty(QLatin1String(""));
    definition->setId(ModelRegistry::newId());
    definition->setIssystem(false);
    definition->setCtimestamp(ModelRegistry::now());
    definition->setName(empty);
    definition->setDescr(empty);
    definition->setCategory(empty);
    definition->setIsprotected(false);
    definition->setTilescolumns(DeviceHelper::isIPAD() ? 2 : 1);
    return definition;
}

bool Template::saveTemplate()
{
    return ModelRegistry::saveStamped(this);
}

bool Template::deleteTemplate(Template* definition)
{
    if (!definition)
        return false;
    return KivoLib::Delete(definition);
}

QVariantList Template::getCategories()
{
    return KivoLib::getDistinctValues(kCategory, entityName());
}

QByteArray Template::toJSON()
{
    const auto definitions = getTemplatesAll();
    return KivoLib::toJSON({ definitions.cbegin(), definitions.cend() });
}
