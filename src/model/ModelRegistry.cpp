#include "model/ModelRegistry.h"

#include "model/Database.h"
#include "model/Rows.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "model/UserTemplate.h"
#include "utilities/data/Guid.h"
#include "utilities/store/KivoLibObject.h"
#include "utilities/text/KivoDateUtils.h"

#include <mutex>

void ModelRegistry::registerClasses()
{
    static std::once_flag once;
    std::call_once(once, [] {
        using platform::coredata::ManagedObject;
        ManagedObject::registerClass<Database>(Database::entityName());
        ManagedObject::registerClass<UserTemplate>(UserTemplate::entityName());
        ManagedObject::registerClass<Template>(Template::entityName());
        ManagedObject::registerClass<TemplateColumn>(TemplateColumn::entityName());
        ManagedObject::registerClass<Rows>(Rows::entityName());
    });
}

QString ModelRegistry::newId()
{
    return Guid::randomGuid().stringValueWithFormat(Guid::Hyphens | Guid::UpperCase);
}

double ModelRegistry::now()
{
    return KivoDateUtils::ConvertToUnixTime(platform::Date::now());
}

int ModelRegistry::intValue(const QVariant& value)
{
    return value.isValid() && !value.isNull() ? int(value.toLongLong()) : 0;
}

bool ModelRegistry::saveStamped(platform::coredata::ManagedObject* object, bool checkFirst)
{
    if (!object || (checkFirst && !KivoLib::isDataOK(object)))
        return false;
    object->setValue(QStringLiteral("mtimestamp"), now());
    return KivoLib::Save(object);
}
