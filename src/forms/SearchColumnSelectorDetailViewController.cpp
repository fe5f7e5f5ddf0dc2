#include "forms/SearchColumnSelectorDetailViewController.h"

#include "forms/FormRootElement.h"
#include "forms/FormSelectSection.h"
#include "forms/RowFormDataController.h"
#include "grid/BaseDataController.h"
#include "model/TemplateColumn.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"

const QString SearchColumnSelectorDetailViewController::SectionKey
    = QStringLiteral("searchColumns");

namespace {

QList<TemplateColumn*> columnsOf(BaseDataController* controller)
{
    const auto* table = dynamic_cast<const RowFormDataController*>(controller);
    return table ? table->Columns() : QList<TemplateColumn*>();
}

} // namespace

SearchColumnSelectorDetailViewController::SearchColumnSelectorDetailViewController(QObject* parent)
    : QuickDetailViewController(parent)
{
}

SearchColumnSelectorDetailViewController::~SearchColumnSelectorDetailViewController() = default;

std::shared_ptr<FormRootElement> SearchColumnSelectorDetailViewController::createForm()
{
    auto form = std::make_shared<FormRootElement>();
    form->setControllerName(QStringLiteral("SearchColumnSelectorDetailViewController"));
    return form;
}

QSizeF SearchColumnSelectorDetailViewController::popupContentSize() const
{
    return { 300, calculateHeight(unsigned(columnsOf(callingDataController()).size())) };
}

void SearchColumnSelectorDetailViewController::createFields()
{
    FormRootElement* form = root();
    if (!form)
        return;
    const QString title = LocalizedStrings::SearchColumns();
    form->setGrouped(true);
    form->setTitle(title);
    setTitle(title);
    BaseDataController* controller = callingDataController();
    QVariantList names;
    QVariantList searched;
    for (const TemplateColumn* column : columnsOf(controller)) {
        const QString name = column->name().toString();
        names << name;
        if (controller->searchColumns().value(column->id().toString()).toBool())
            searched << name;
    }
    auto section = FormSelectSection::initWithItemsSelectedItems(names, searched, QString());
    section->setKey(SectionKey);
    section->setMultipleAllowed(true);
    form->addSection(section);
    addSaveSection(*form);
}

void SearchColumnSelectorDetailViewController::onSave()
{
    try {
        FormRootElement* form = root();
        auto* section
            = form ? qobject_cast<FormSelectSection*>(form->sectionWithKey(SectionKey)) : nullptr;
        BaseDataController* controller = callingDataController();
        if (!section || !controller)
            return;
        const QVariantList chosen = section->selectedItems();
        for (const TemplateColumn* column : columnsOf(controller))
            controller->searchColumns().insert(
                column->id().toString(), chosen.contains(QVariant(column->name().toString())));
        afterSave();
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}
