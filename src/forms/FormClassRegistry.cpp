#include "forms/FormClassRegistry.h"

#include "forms/FormAutoEntryElement.h"
#include "forms/FormBadgeElement.h"
#include "forms/FormBooleanElement.h"
#include "forms/FormButtonElement.h"
#include "forms/FormController.h"
#include "forms/FormCountdownElement.h"
#include "forms/FormDateTimeElement.h"
#include "forms/FormDateTimeInlineElement.h"
#include "forms/FormDecimalElement.h"
#include "forms/FormDynamicDataSection.h"
#include "forms/FormEmptyListElement.h"
#include "forms/FormEntryElement.h"
#include "forms/FormFloatElement.h"
#include "forms/FormImageElement.h"
#include "forms/FormLabelElement.h"
#include "forms/FormLoadingElement.h"
#include "forms/FormMultilineElement.h"
#include "forms/FormProgressElement.h"
#include "forms/FormRadioElement.h"
#include "forms/FormRadioItemElement.h"
#include "forms/FormRadioSection.h"
#include "forms/FormSegmentedElement.h"
#include "forms/FormSelectItemElement.h"
#include "forms/FormSelectSection.h"
#include "forms/FormSortingSection.h"
#include "forms/FormTextElement.h"
#include "forms/FormWebController.h"

#include <QHash>

#include <mutex>

namespace {

struct Registry {
    Registry();
    std::mutex mutex;
    QHash<QString, const QMetaObject*> classes;
};

Registry::Registry()
{
    for (const QMetaObject* cls :
        { &FormElement::staticMetaObject, &FormRootElement::staticMetaObject,
            &FormLabelElement::staticMetaObject, &FormEntryElement::staticMetaObject,
            &FormAutoEntryElement::staticMetaObject, &FormDecimalElement::staticMetaObject,
            &FormMultilineElement::staticMetaObject, &FormFloatElement::staticMetaObject,
            &FormLoadingElement::staticMetaObject, &FormEmptyListElement::staticMetaObject,
            &FormTextElement::staticMetaObject, &FormBooleanElement::staticMetaObject,
            &FormButtonElement::staticMetaObject, &FormBadgeElement::staticMetaObject,
            &FormDateTimeInlineElement::staticMetaObject, &FormDateTimeElement::staticMetaObject,
            &FormRadioElement::staticMetaObject, &FormSegmentedElement::staticMetaObject,
            &FormRadioItemElement::staticMetaObject, &FormSelectItemElement::staticMetaObject,
            &FormSection::staticMetaObject, &FormSortingSection::staticMetaObject,
            &FormDynamicDataSection::staticMetaObject, &FormSelectSection::staticMetaObject,
            &FormRadioSection::staticMetaObject, &FormController::staticMetaObject,
            &FormImageElement::staticMetaObject, &FormProgressElement::staticMetaObject,
            &FormCountdownElement::staticMetaObject, &FormWebController::staticMetaObject })
        classes.insert(QString::fromLatin1(cls->className()), cls);
}

Registry& registry()
{
    static Registry known;
    return known;
}

} // namespace

void FormClassRegistry::registerClass(const QMetaObject* cls)
{
    Registry& known = registry();
    std::lock_guard lock(known.mutex);
    known.classes.insert(QString::fromLatin1(cls->className()), cls);
}

const QMetaObject* FormClassRegistry::classNamed(const QString& name)
{
    Registry& known = registry();
    std::lock_guard lock(known.mutex);
    return known.classes.value(name);
}

QObject* FormClassRegistry::create(const QString& name, const QMetaObject* base)
{
    const QMetaObject* cls = classNamed(name);
    if (!cls || (base && !cls->inherits(base)))
        return nullptr;
    return cls->newInstance();
}
