#include "forms/OrderingDetailViewController.h"

#include "forms/FormLabelElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSortingSection.h"
#include "grid/BaseDataController.h"
#include "platform/MutableDictionary.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"

const QString OrderingDetailViewController::SectionKey = QStringLiteral("sortingSection");

OrderingDetailViewController::OrderingDetailViewController(QObject* parent)
    : QuickDetailViewController(parent)
{
}

OrderingDetailViewController::~OrderingDetailViewController() = default;

std::shared_ptr<FormRootElement> OrderingDetailViewController::createForm()
{
    auto form = std::make_shared<FormRootElement>();
    form->setControllerName(QStringLiteral("OrderingDetailViewController"));
    return form;
}

QSizeF OrderingDetailViewController::popupContentSize() const
{
    BaseDataController* controller = callingDataController();
    const auto items = controller ? controller->getOrderingData().count() : 0;
    return { 400, calculateHeight(unsigned(items)) };
}

void OrderingDetailViewController::createFields()
{
    FormRootElement* form = root();
    if (!form)
        return;
    const QString title = LocalizedStrings::Order();
    form->setGrouped(true);
    form->setTitle(title);
    setTitle(title);
    auto section = std::make_shared<FormSortingSection>();
    section->setKey(SectionKey);
    if (BaseDataController* controller = callingDataController()) {
        const OrderedDictionary items = controller->getOrderingData();
        for (const QString& id : items.keyEnumerator()) {
            auto item
                = FormLabelElement::initWithTitle(items.objectForKey(id).toString(), QVariant());
            item->setKey(id);
            section->addElement(item);
        }
    }
    form->addSection(section);
    addSaveSection(*form);
}

void OrderingDetailViewController::onSave()
{
    try {
        FormRootElement* form = root();
        FormSection* section = form ? form->sectionWithKey(SectionKey) : nullptr;
        BaseDataController* controller = callingDataController();
        if (!section || !controller)
            return;
        platform::MutableDictionary gathered;
        section->fetchValueIntoObject(QVariant::fromValue(gathered));
        QStringList ids;
        for (const QVariant& id : gathered.toMap().value(SectionKey).toList())
            ids << id.toString();
        if (controller->respondsToOnOrderingComplete() && controller->onOrderingComplete(ids))
            afterSave();
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}
