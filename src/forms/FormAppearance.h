#pragma once

#include "platform/ui/IndexPath.h"
#include "style/Color.h"

#include <QFont>

#include <functional>
#include <memory>
#include <optional>

class FormElement;
class FormSection;
class FormTableView;

namespace platform::ui {
class TableViewCell;
class View;
} // namespace platform::ui

// The fonts, colours, alignments and sizes every form cell, section header and footer
// and form table takes its look from. One record is shared by the elements of every form
// (FormElement::appearance), so a change through one form shows in all. Values unset
// (nullopt) leave the platform's own look. Used on the main thread only.
class FormAppearance {
public:
    FormAppearance();
    virtual ~FormAppearance();

    // A new record of the same class, so with that class's defaults, taking this one's
    // colours, fonts and alignments; the toolbar settings and the cell border width keep
    // the new record's defaults.
    std::shared_ptr<FormAppearance> copy() const;

    bool toolbarTranslucent = false;
    std::optional<QFont> sectionTitleFont;
    std::optional<Color> sectionTitleColor;
    std::optional<QFont> sectionFooterFont;
    std::optional<Color> sectionFooterColor;
    Qt::Alignment entryAlignment = Qt::AlignLeft;
    Qt::Alignment buttonAlignment = Qt::AlignLeft;
    std::optional<Color> sectionTitleShadowColor;
    std::optional<Color> labelColorDisabled;
    std::optional<Color> labelColorEnabled;
    std::optional<QFont> labelFont;
    std::optional<Color> backgroundColorEnabled;
    std::optional<Color> backgroundColorDisabled;
    Qt::Alignment labelAlignment = Qt::AlignLeft;
    std::optional<Color> tableGroupedBackgroundColor;
    std::optional<Color> tableBackgroundColor;
    std::optional<Color> tableSeparatorColor;
    std::optional<QFont> entryFont;
    std::optional<Color> entryTextColorEnabled;
    std::optional<Color> entryTextColorDisabled;
    std::optional<Color> valueColorEnabled;
    std::optional<Color> valueColorDisabled;
    std::optional<QFont> valueFont;
    Qt::Alignment valueAlignment = Qt::AlignLeft;
    std::optional<Color> actionColorEnabled;
    std::optional<Color> actionColorDisabled;
    double cellBorderWidth = 0;
    int toolbarStyle = 0; // the platform's bar style: 0 default, 1 black

    // Views a table or a selected row shows behind its content. A view has one place in
    // the window, so the record keeps how to make one; unset for none.
    using ViewMaker = std::function<platform::ui::View*()>;
    ViewMaker selectedBackgroundView;
    ViewMaker tableBackgroundView;
    ViewMaker tableGroupedBackgroundView;

    // The view shown as the section's header (footer); null for its title text.
    virtual platform::ui::View* buildHeaderForSection(
        FormSection* section, FormTableView* tableView, int index);
    virtual platform::ui::View* buildFooterForSection(
        FormSection* section, FormTableView* tableView, int index);
    // The height of the section's own header (footer) view when it has one, else
    // the table's automatic height.
    virtual double heightForHeaderInSection(
        FormSection* section, FormTableView* tableView, int index);
    virtual double heightForFooterInSection(
        FormSection* section, FormTableView* tableView, int index);
    // Told before a row's cell shows.
    virtual void cellWillAppearForElement(platform::ui::TableViewCell* cell, FormElement* element,
        const platform::ui::IndexPath& indexPath);

protected:
    // The record's defaults; each subclass runs its base's first. Subclass constructors
    // call their own, since a virtual call from the base constructor would not reach it.
    virtual void setDefaults();
    // A new record of this class with its defaults.
    virtual std::shared_ptr<FormAppearance> makeEmpty() const;
};
