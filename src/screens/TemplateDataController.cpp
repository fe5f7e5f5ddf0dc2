#include "screens/TemplateDataController.h"

#include "grid/GridData.h"
#include "grid/GridScreenProtocol.h"
#include "grid/RowObject.h"
#include "grid/ScreenData.h"
#include "model/DefinitionRules.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "model/UserTemplate.h"
#include "screens/ScreenFactory.h"
#include "screens/ScreenHost.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/store/KivoLibObject.h"
#include "utilities/text/LocalizedStrings.h"

namespace {

constexpr unsigned EditTemplateButton = 2;

QString textOf(const QVariant& value)
{
    return value.isNull() ? QString() : value.toString();
}

void rollbackTemplateEdits()
{
    KivoAppDelegate::ApplicationDelegate()->rollbackContext();
}

} // namespace

TemplateDataController::TemplateDataController() = default;

TemplateDataController::~TemplateDataController() = default;

Template* TemplateDataController::rowAt(qint64 index) const
{
    return qobject_cast<Template*>(RowObject::object(getRowData(index)));
}

void TemplateDataController::loadData(const std::shared_ptr<Parent>&)
{
    QVariantList definitions;
    for (Template* definition : Template::getTemplates())
        definitions.append(RowObject::fromObject(definition));
    setRows(definitions);
}

std::shared_ptr<GridData> TemplateDataController::getGridData(qint64 index)
{
    const QVariant row = getRowData(index);
    auto* definition = qobject_cast<Template*>(RowObject::object(row));
    if (!definition)
        return nullptr;
    auto item = std::make_shared<GridData>(row);
    item->Menu = textOf(definition->name());
    const QString image = textOf(definition->image());
    item->Image = image.isEmpty() ? DefinitionRules::DefaultImage : image;
    return item;
}

QStringList TemplateDataController::columnHeaders() const
{
    return { LocalizedStrings::Name(), LocalizedStrings::Descr() };
}

QList<double> TemplateDataController::columnWidths() const
{
    return { 100, 100 };
}

QStringList TemplateDataController::columnValues(qint64 index)
{
    Template* definition = rowAt(index);
    if (!definition)
        return { QString(), QString() };
    return { textOf(definition->name()), textOf(definition->descr()) };
}

void TemplateDataController::searchData(const QString& searchText)
{
    filterRows(searchText, getNameSearchBlock(searchText));
}

void TemplateDataController::addRow()
{
    Template* definition = Template::add();
    if (!definition)
        return;
    setDetailRowInAction(RowObject::fromObject(definition));
    if (GridScreenProtocol* grid = mainGridViewController())
        grid->ShowDetail(RowObject::fromObject(definition));
}

bool TemplateDataController::saveRow(const QVariant& row)
{
    auto* definition = qobject_cast<Template*>(RowObject::object(row));
    if (!definition)
        return false;
    QList<Template*> definitions;
    for (const QVariant& shown : rows())
        if (auto* other = qobject_cast<Template*>(RowObject::object(shown)))
            definitions << other;
    const QStringList problems = DefinitionRules::templateProblems(
        definition, definitions, lastClickedButton() == EditTemplateButton);
    if (problems.isEmpty() && definition->saveTemplate())
        return true;
    if (!problems.isEmpty())
        MessageHelper::ShowMultipleMessage(problems, false);
    // What was refused must not ride along with a later commit.
    rollbackTemplateEdits();
    return false;
}

bool TemplateDataController::deleteRow()
{
    GridScreenProtocol* grid = mainGridViewController();
    Template* definition = grid ? rowAt(grid->selectedRow()) : nullptr;
    if (!definition)
        return false;
    const QString id = textOf(definition->id());
    if (UserTemplate::isTemplateUsed(id)) {
        MessageHelper::ShowMessage(LocalizedStrings::TemplateInUse(), false);
        return false;
    }
    // The columns and their definition go together or not at all: a definition never
    // loses some of its columns alone.
    QList<platform::coredata::ManagedObject*> doomed;
    for (TemplateColumn* column : TemplateColumn::getColumns(id))
        doomed << column;
    doomed << definition;
    if (!KivoLib::DeleteObjects(doomed)) {
        rollbackTemplateEdits();
        return false;
    }
    return true;
}

void TemplateDataController::checkoutTouched(platform::ui::Control*)
{
    GridScreenProtocol* grid = mainGridViewController();
    ScreenHost* host = screenHost();
    if (!grid || !host)
        return;
    const auto record = grid->screen();
    host->showScreen(
        ScreenFactory::DownloadTemplates, record ? record->toSegue : QString(), QVariant());
}
