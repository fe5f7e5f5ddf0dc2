#include "screens/ColorDataController.h"

#include "grid/CollectionViewController.h"
#include "grid/ContainsPredicate.h"
#include "grid/GridData.h"
#include "grid/GridScreenProtocol.h"
#include "grid/Parent.h"
#include "grid/RowObject.h"
#include "grid/RowViewContoller.h"
#include "grid/ScreenData.h"
#include "model/Database.h"
#include "model/DefaultContent.h"
#include "model/FilterExtended.h"
#include "model/KivotabPrefernces.h"
#include "model/Rows.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "model/UserTemplate.h"
#include "platform/ui/SearchBar.h"
#include "screens/ApplicationState.h"
#include "screens/ScreenFactory.h"
#include "style/ColorDictionaries.h"
#include "style/Theme.h"
#include "style/UIColor_Expanded.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/store/KivoLibObject.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/MenuItem.h"
#include "widgets/UIImage_Theme.h"
#include "widgets/VerticalMenuViewController.h"

const QString ColorDataController::ColorImage = QStringLiteral("color");
const QString ColorDataController::SourceImage = QStringLiteral("databaset");
const QString ColorDataController::ProtectedList = QStringLiteral(
    "The colors are kept in a protected list: unprotect it to see or change them.");

namespace {

const QString& nameId()
{
    return DefaultContent::ColorNameColumnId;
}

bool hasColorTemplate(const UserTemplate* table)
{
    return table->template_id().toString() == DefaultContent::ColorListTemplateId;
}

} // namespace

ColorDataController::ColorDataController() = default;

ColorDataController::~ColorDataController() = default;

bool ColorDataController::isSelector() const
{
    GridScreenProtocol* grid = mainGridViewController();
    const auto record = grid ? grid->screen() : nullptr;
    return record && record->id == ScreenFactory::ColorSelector;
}

Database* ColorDataController::database() const
{
    return m_databaseId.isEmpty() ? nullptr : Database::getDatabase(m_databaseId);
}

QString ColorDataController::databaseName() const
{
    Database* shown = database();
    return QStringLiteral("#%1").arg(shown ? shown->name().toString() : QString());
}

bool ColorDataController::isColorList() const
{
    return m_colorDictionary == databaseName();
}

Template* ColorDataController::colorTemplate()
{
    // Looked up each time: a definition kept across a store reload would be a dead one.
    return Template::getTemplate(DefaultContent::ColorListTemplateId);
}

UserTemplate* ColorDataController::findColorTable() const
{
    for (UserTemplate* table : UserTemplate::getUserTemplates(m_databaseId)) {
        if (hasColorTemplate(table))
            return table;
    }
    return nullptr;
}

UserTemplate* ColorDataController::userTemplate() const
{
    if (m_uTemplate && m_uTemplate->managedObjectContext() == KivoLib::currentContext()
        && m_uTemplate->database_id().toString() == m_databaseId)
        return m_uTemplate;
    m_uTemplate = nullptr;
    if (!database())
        return nullptr;
    m_uTemplate = findColorTable();
    return m_uTemplate;
}

UserTemplate* ColorDataController::makeColorTable()
{
    // No table is made for a database that has gone.
    if (!database())
        return nullptr;
    if (UserTemplate* table = userTemplate())
        return table;
    if (UserTemplate::getUserTemplates(m_databaseId).isEmpty()) {
        if (!Database::loadDefaultTemplatesToDatabase(m_databaseId))
            KivoAppDelegate::ApplicationDelegate()->rollbackContext();
        if (UserTemplate* table = userTemplate())
            return table;
    }
    // Any other table may come first: the colours need a table of their own.
    Template* definition = colorTemplate();
    UserTemplate* table = definition ? UserTemplate::add(m_databaseId) : nullptr;
    if (!table)
        return nullptr;
    table->setTemplate_id(DefaultContent::ColorListTemplateId);
    table->setIsprotected(false);
    table->setName(definition->name());
    table->setDescr(definition->descr());
    if (!table->saveUserTemplate()) {
        KivoAppDelegate::ApplicationDelegate()->rollbackContext();
        return nullptr;
    }
    m_uTemplate = table;
    return table;
}

void ColorDataController::addToNewTable(const QVariantMap& values)
{
    // Its row is made, in the table the save makes, once the colour is saved.
    m_addToNewTable = true;
    setDetailRowInAction({});
    setLastClickedButton(AddAction);
    if (GridScreenProtocol* grid = mainGridViewController())
        grid->ShowDetail(QVariant(values));
}

bool ColorDataController::colorTableProtected() const
{
    UserTemplate* table = userTemplate();
    return table && table->isprotected().toBool();
}

bool ColorDataController::refuseProtected() const
{
    if (!colorTableProtected())
        return false;
    MessageHelper::ShowMessage(LocalizedStrings::getLocalizedString(ProtectedList), false);
    return true;
}

void ColorDataController::loadData(const std::shared_ptr<Parent>& parent)
{
    Database* shown = nullptr;
    if (isSelector()) {
        // Only its colours: Home and the database opened next time stay as they are.
        shown = Database::getDatabase(DefaultContent::SystemDatabaseId);
    } else {
        shown = parent ? qobject_cast<Database*>(RowObject::object(parent->data)) : nullptr;
        if (!shown)
            shown = ApplicationState::database();
        if (shown) {
            ApplicationState::setDatabase(shown);
            ApplicationState::preferences()->setDefaultDatabase(shown->id());
        }
    }
    // After a store reload the same database is found again by its id.
    if (shown)
        m_databaseId = shown->id().toString();
    if (m_colorDictionary.isEmpty())
        m_colorDictionary = databaseName();
    // A renamed database leaves a list name that is no dictionary: the list it was.
    if (!isColorList() && !UIColor_Expanded::colorDictionaryNamed(m_colorDictionary))
        m_colorDictionary = databaseName();
    setScreenTitle(m_colorDictionary);
    loadColorDictionaries();
}

void ColorDataController::loadColorDictionaries()
{
    loadColumns(DefaultContent::ColorListTemplateId);
    if (!isColorList()) {
        QVariantList names;
        if (const ColorDictionary* dictionary
            = UIColor_Expanded::colorDictionaryNamed(m_colorDictionary)) {
            for (const ColorDictionary::Entry& entry : dictionary->entries())
                names.append(entry.name);
        }
        setRows(std::move(names));
        return;
    }
    UserTemplate* table = userTemplate();
    if (!table || refuseProtected()) {
        setRows({});
        return;
    }
    // The table's own link: the rows controller reads its table from the link's data.
    auto link = std::make_shared<Parent>();
    link->data = RowObject::fromObject(table);
    GenericTemplateDataController::loadData(link);
}

QVariantMap ColorDataController::colorValues(qint64 index)
{
    if (isColorList())
        return rowValues(index);
    const QVariant row = getRowData(index);
    return row.isValid() ? getDictionaryForColor(row.toString()) : QVariantMap();
}

QVariantMap ColorDataController::getDictionaryForColor(const QString& name) const
{
    QVariantMap values { { nameId(), name } };
    if (const auto color = UIColor_Expanded::colorWithName(name, m_colorDictionary)) {
        values.insert(DefaultContent::ColorValueColumnId, UIColor_Expanded::stringValue(*color));
        values.insert(DefaultContent::ColorHexColumnId, UIColor_Expanded::hexStringValue(*color));
    }
    return values;
}

Rows* ColorDataController::getColorForName(const QString& name) const
{
    UserTemplate* table = userTemplate();
    TemplateColumn* column = TemplateColumn::getColumnForId(nameId(), Columns());
    if (!table || !column || table->isprotected().toBool())
        return nullptr;
    auto filter = std::make_shared<FilterExtended>();
    filter->setHeader(column->name().toString());
    filter->setColumn(nameId());
    filter->setAndOr(LocalizedStrings::Or());
    filter->setTextValue(name);
    filter->setOperator(LocalizedStrings::EqualTo());
    const QList<Rows*> found
        = Rows::getRows(table->id().toString(), Columns(), { filter }, {}, std::nullopt);
    return found.isEmpty() ? nullptr : found.first();
}

std::shared_ptr<GridData> ColorDataController::getGridData(qint64 index)
{
    const QVariantMap values = colorValues(index);
    if (values.isEmpty())
        return nullptr;
    auto item = std::make_shared<GridData>(QVariant(values));
    item->Menu = values.value(nameId()).toString();
    item->Image = ColorImage;
    return item;
}

platform::ui::Image ColorDataController::getDynamicUIImage(qint64 index)
{
    const QString text = colorValues(index).value(DefaultContent::ColorValueColumnId).toString();
    const auto color = UIColor_Expanded::colorWithString(text);
    return UIImage_Theme::themedimageNamed1(ColorImage, color.value_or(Color::blackColor()));
}

QString ColorDataController::getImage()
{
    return ColorImage;
}

QString ColorDataController::getTitle()
{
    Template* definition = colorTemplate();
    return definition ? definition->name().toString() : QString();
}

QStringList ColorDataController::columnValues(qint64 index)
{
    if (isColorList())
        return GenericTemplateDataController::columnValues(index);
    const QVariantMap values = colorValues(index);
    return { values.value(nameId()).toString(),
        values.value(DefaultContent::ColorValueColumnId).toString(),
        values.value(DefaultContent::ColorHexColumnId).toString() };
}

void ColorDataController::searchData(const QString& text)
{
    if (isColorList()) {
        GenericTemplateDataController::searchData(text);
        return;
    }
    filterRows(text, [predicate = ContainsPredicate(text)](const QVariant& row) {
        return predicate.evaluate(row.toString());
    });
}

QString ColorDataController::dataChecksum(const QVariant& row) const
{
    // A dictionary's selection does not outlive a reload.
    return isColorList() ? GenericTemplateDataController::dataChecksum(row) : QString();
}

qint8 ColorDataController::tilesButtons()
{
    return isColorList() ? GenericTemplateDataController::tilesButtons() : 0;
}

void ColorDataController::addTouched(platform::ui::Control* sender)
{
    if (isColorList())
        GenericTemplateDataController::addTouched(sender);
}

void ColorDataController::editTouched(platform::ui::Control* sender)
{
    m_addToNewTable = false;
    if (isColorList())
        GenericTemplateDataController::editTouched(sender);
}

void ColorDataController::removeTouched(platform::ui::Control* sender)
{
    if (isColorList())
        GenericTemplateDataController::removeTouched(sender);
}

void ColorDataController::shareTouched(platform::ui::Control* sender)
{
    if (isColorList())
        GenericTemplateDataController::shareTouched(sender);
}

void ColorDataController::addRow()
{
    m_addToNewTable = false;
    if (refuseProtected())
        return;
    if (!userTemplate() && database()) {
        addToNewTable({});
        return;
    }
    GenericTemplateDataController::addRow();
}

void ColorDataController::tapOnDisclosure(qint64 index)
{
    if (isColorList()) {
        GenericTemplateDataController::tapOnDisclosure(index);
        return;
    }
    m_addToNewTable = false;
    const QVariant name = getRowData(index);
    UserTemplate* table = userTemplate();
    GridScreenProtocol* grid = mainGridViewController();
    if (!name.isValid() || !database() || !grid || refuseProtected())
        return;
    if (!table) {
        addToNewTable(getDictionaryForColor(name.toString()));
        return;
    }
    // A colour already in the list is edited there; another is added to it.
    if (Rows* existing = getColorForName(name.toString())) {
        setDetailRowInAction(RowObject::fromObject(existing));
        setLastClickedButton(EditAction);
        grid->ShowDetail(QVariant(existing->getData(Columns(), std::nullopt)));
        return;
    }
    Rows* row = Rows::add(table->id().toString());
    if (!row)
        return;
    setDetailRowInAction(RowObject::fromObject(row));
    setLastClickedButton(AddAction);
    grid->ShowDetail(QVariant(getDictionaryForColor(name.toString())));
}

QStringList ColorDataController::sourceNames() const
{
    QStringList names { databaseName() };
    for (const QString& name : UIColor_Expanded::availableColorDictionaries()) {
        if (name != UIColor_Expanded::BaseDictionary)
            names << name;
    }
    return names;
}

void ColorDataController::databaseTouched(platform::ui::Control*)
{
    if (isSearchActive())
        return;
    GridScreenProtocol* grid = mainGridViewController();
    auto* screen
        = grid ? dynamic_cast<CollectionViewController*>(grid->gridViewController()) : nullptr;
    if (!screen)
        return;
    QPointer<ColorDataController> self(this);
    QList<MenuItem*> items;
    for (const QString& name : sourceNames())
        items << new MenuItem(name, SourceImage, [self, name](MenuItem*) {
            if (self)
                self->changeDictionary(name);
        });
    const Theme* style = screen->currentStyle() ? screen->currentStyle() : Theme::current();
    auto* menu = new VerticalMenuViewController(
        items, nullptr, style ? style->toolbarColor().toQColor() : QColor());
    screen->showPopupController(menu, menu->menuSize() + QSizeF(30, 10),
        BaseViewController::NoArrow, screen->viewForButton(DatabaseAction), false, 0, false);
}

void ColorDataController::changeDictionary(const QString& name)
{
    GridScreenProtocol* grid = mainGridViewController();
    if (grid) {
        if (auto* screen = dynamic_cast<BaseViewController*>(grid->gridViewController()))
            screen->dismissPopup();
    }
    m_colorDictionary = name;
    if (grid) {
        grid->setSelectedRow(-1);
        if (auto* rowView = qobject_cast<RowViewContoller*>(grid->rowViewContoller()))
            rowView->setEditing(false);
    }
    refreshView();
}

void ColorDataController::applyTouched(platform::ui::Control*)
{
    GridScreenProtocol* grid = mainGridViewController();
    const qint64 selected = grid ? grid->selectedRow() : -1;
    if (selected < 0 || selected >= count())
        return;
    const QVariantMap values = colorValues(selected);
    const QString name = values.value(nameId()).toString();
    KivotabPrefernces* settings = ApplicationState::preferences();
    settings->setImagetheme(name);
    settings->setBartheme(name);
    settings->setImagethemeColor(values);
    settings->setBarthemeColor(values);
    Theme::reloadStyle();
}

void ColorDataController::endSearch()
{
    setIsSearchActive(false);
    GridScreenProtocol* grid = mainGridViewController();
    auto* screen
        = grid ? dynamic_cast<CollectionViewController*>(grid->gridViewController()) : nullptr;
    if (platform::ui::SearchBar* bar = screen ? screen->searchBar() : nullptr) {
        bar->setText(QString());
        bar->resignFirstResponder();
    }
}

bool ColorDataController::saveRow(const QVariant& values)
{
    const QVariantMap map = values.toMap();
    auto* row = qobject_cast<Rows*>(RowObject::object(detailRowInAction()));
    if (!row && !m_addToNewTable)
        return false;
    if (refuseProtected() || (row && !KivoLib::isDataOK(row)))
        return false;
    if (!isRowValid(map))
        return false;
    Rows* named = getColorForName(map.value(nameId()).toString());
    const bool sameRow = named && row && lastClickedButton() == EditAction
        && named->id().toString() == row->id().toString();
    if (named && !sameRow) {
        MessageHelper::ShowMessage(LocalizedStrings::DuplicateEntry(), false);
        return false;
    }
    if (!row) {
        UserTemplate* table = makeColorTable();
        row = table ? Rows::add(table->id().toString()) : nullptr;
        if (!row)
            return false;
        setDetailRowInAction(RowObject::fromObject(row));
        m_addToNewTable = false;
    }
    if (!updateAndSaveRow(map))
        return false;
    if (!isColorList()) {
        m_colorDictionary = databaseName();
        endSearch();
        if (GridScreenProtocol* grid = mainGridViewController())
            grid->setSelectedRow(-1);
    }
    return true;
}
