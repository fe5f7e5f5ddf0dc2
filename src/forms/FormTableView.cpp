#include "forms/FormTableView.h"

#include "forms/FormAppearance.h"
#include "forms/FormControllerProtocol.h"
#include "forms/FormDataSource.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormTableDelegate.h"
#include "forms/FormThread.h"

using platform::ui::IndexPath;

struct FormTableView::ControllerLink {
    FormControllerReference reference;
    FormControllerProtocol* plain = nullptr; // a controller that is no QObject
};

FormTableView::FormTableView(
    FormControllerProtocol* controller, std::shared_ptr<FormRootElement> root, QWidget* parent)
    : TableView(QRectF(), root && root->grouped() ? Style::Grouped : Style::Plain, parent)
    , m_controller(std::make_unique<ControllerLink>())
{
    FormThread::assertMain();
    m_controller->reference = FormControllerReference(controller);
    if (controller && !controller->controllerObject())
        m_controller->plain = controller;
    m_dataSource = std::make_unique<FormDataSource>(this);
    m_delegate = std::make_unique<FormTableDelegate>(this);
    setDataSource(m_dataSource.get());
    setDelegate(m_delegate.get());
    setAutoresizingMask(
        platform::ui::AutoresizingFlexibleWidth | platform::ui::AutoresizingFlexibleHeight);
    setRoot(std::move(root));
}

FormTableView::~FormTableView()
{
    setDataSource(nullptr);
    setDelegate(nullptr);
}

FormControllerProtocol* FormTableView::controller() const
{
    if (FormControllerProtocol* alive = m_controller->reference.get())
        return alive;
    return m_controller->plain;
}

void FormTableView::setRoot(std::shared_ptr<FormRootElement> root)
{
    m_root = std::move(root);
    bool needsEditing = false;
    if (m_root)
        for (const auto& section : m_root->sections())
            needsEditing = needsEditing || section->needsEditing();
    if (needsEditing) {
        setEditing(true, true);
        setAllowsSelectionDuringEditing(true);
    }
    reloadData();
}

void FormTableView::reloadData()
{
    if (m_root)
        applyAppearanceForRoot(m_root.get());
    TableView::reloadData();
}

void FormTableView::applyAppearanceForRoot(FormRootElement* root)
{
    if (!root)
        return;
    const std::shared_ptr<FormAppearance> look = root->appearance();
    const bool grouped = root->grouped();
    if (look->tableGroupedBackgroundColor) {
        const std::optional<Color>& color
            = grouped ? look->tableGroupedBackgroundColor : look->tableBackgroundColor;
        if (color)
            setBackgroundColor(color->toQColor());
        setBackgroundView(look->tableBackgroundView ? look->tableBackgroundView() : nullptr);
    }
    if (look->tableBackgroundView && !grouped)
        setBackgroundView(look->tableBackgroundView());
    if (look->tableGroupedBackgroundView && grouped)
        setBackgroundView(look->tableGroupedBackgroundView());
    if (look->tableSeparatorColor)
        setSeparatorColor(look->tableSeparatorColor->toQColor());
}

void FormTableView::setContentInset(const QMarginsF& inset)
{
    ScrollView::setContentInset(inset);
    setScrollIndicatorInsets(inset);
}

std::optional<IndexPath> FormTableView::indexForElement(const FormElement* element) const
{
    if (!m_root || !element)
        return std::nullopt;
    const auto& sections = m_root->sections();
    for (qsizetype s = 0; s < sections.size(); ++s) {
        const qsizetype row = sections[s]->indexOfElement(element);
        if (row != FormNotFound)
            return IndexPath(int(row), int(s));
    }
    return std::nullopt;
}

platform::ui::TableViewCell* FormTableView::cellForElement(const FormElement* element)
{
    if (!element || element->hidden())
        return nullptr;
    const std::optional<FormIndexPath> path = element->getIndexPath();
    if (!path || !m_root || element->parentSection()->rootElement() != m_root.get())
        return nullptr;
    return cellForRowAtIndexPath(tablePath(*path));
}

void FormTableView::deselectRows()
{
    const std::optional<IndexPath> selected = indexPathForSelectedRow();
    if (!selected || !m_deselectRowWhenViewAppears)
        return;
    reloadRowsAtIndexPaths({ *selected }, RowAnimation::None);
    selectRowAtIndexPath(*selected, false, ScrollPosition::None);
    deselectRowAtIndexPath(*selected, true);
}

void FormTableView::reloadCellForElements(const QList<FormElement*>& elements)
{
    QList<IndexPath> paths;
    for (FormElement* element : elements) {
        if (!element || element->hidden())
            continue;
        if (const std::optional<FormIndexPath> path = element->getIndexPath())
            paths.append(tablePath(*path));
    }
    if (!paths.isEmpty())
        reloadRowsAtIndexPaths(paths, RowAnimation::None);
}

FormElement* FormTableView::elementAt(const IndexPath& indexPath) const
{
    FormSection* section
        = m_root ? m_root->getVisibleSectionForIndex(indexPath.section()) : nullptr;
    return section ? section->getVisibleElementForIndex(indexPath.row()) : nullptr;
}

IndexPath FormTableView::tablePath(const FormIndexPath& path)
{
    return IndexPath(int(path.row), int(path.section));
}
