#include "forms/FormEntryTableViewCell.h"

#include "forms/FormAppearance.h"
#include "forms/FormEntryElement.h"
#include "forms/FormEntryElementDelegate.h"
#include "forms/FormRootElement.h"
#include "forms/FormScheduler.h"
#include "forms/FormSection.h"
#include "forms/FormTableView.h"
#include "forms/FormTextField.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/Window.h"
#include "style/Theme.h"
#include "style/ThemeSegmentedButton.h"
#include "utilities/text/LocalizedStrings.h"

#include <algorithm>
#include <cmath>

using namespace platform::ui;

const QString FormEntryTableViewCell::ReuseIdentifier = QStringLiteral("QuickformEntryElement");

namespace {

// The room the field keeps from the cell's edges.
constexpr double kFieldInset = 10;
// Past the widest title: the gap before the entry column.
constexpr double kTitleGap = 20;
constexpr double kTitleExtra = 10;
constexpr double kImageGap = 16;

enum Segment { PreviousSegment = 0, NextSegment = 1 };

} // namespace

FormEntryTableViewCell::FormEntryTableViewCell(QWidget* parent)
    : FormEntryTableViewCell(ReuseIdentifier, new FormTextField, parent)
{
}

FormEntryTableViewCell::FormEntryTableViewCell(
    const QString& reuseIdentifier, TextField* field, QWidget* parent)
    : FormTableViewCell(reuseIdentifier, Style::Value1, parent)
    , m_textField(field)
{
    setSelectionStyle(SelectionStyle::None);
    createSubviews();
}

FormEntryTableViewCell::~FormEntryTableViewCell()
{
    m_textField->setDelegate(nullptr);
}

FormTextField* FormEntryTableViewCell::formTextField() const
{
    return qobject_cast<FormTextField*>(m_textField);
}

void FormEntryTableViewCell::createSubviews()
{
    m_textField->setContentVerticalAlignment(TextField::VerticalAlignment::Center);
    m_textField->setBorderStyle(TextField::BorderStyle::None);
    m_textField->setDelegate(this);
    m_textField->setClearButtonMode(TextField::ViewMode::WhileEditing);
    m_textField->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    QPointer<FormEntryTableViewCell> self(this);
    m_textField->addTarget(
        [self](Control*) {
            if (self)
                self->textFieldEditingChanged();
        },
        ControlEventEditingChanged);
    contentView()->addSubview(m_textField);
    setNeedsLayout();
}

void FormEntryTableViewCell::rememberElement(FormEntryElement* element, FormTableView* tableView)
{
    m_tableView = tableView;
    m_entryElement = element
        ? std::static_pointer_cast<FormEntryElement>(element->weak_from_this().lock())
        : nullptr;
}

void FormEntryTableViewCell::applyAppearanceForElement(FormElement* element)
{
    FormTableViewCell::applyAppearanceForElement(element);
    if (!element)
        return;
    const std::shared_ptr<FormAppearance> look = element->appearance();
    if (look->entryFont)
        m_textField->setFont(*look->entryFont);
    const std::optional<Color>& color
        = element->isEnabled() ? look->entryTextColorEnabled : look->entryTextColorDisabled;
    if (color)
        m_textField->setTextColor(color->toQColor());
}

void FormEntryTableViewCell::prepareForElement(FormEntryElement* element, FormTableView* tableView)
{
    applyAppearanceForElement(element);
    textLabel()->setText(element->title());
    setLabelingPolicy(element->labelingPolicy());
    rememberElement(element, tableView);

    m_textField->setText(element->textValue());
    m_textField->setPlaceholder(element->placeholder());
    if (FormTextField* field = formTextField()) {
        field->setPrefix(element->prefix());
        field->setSuffix(element->suffix());
    }
    m_textField->setTraits(element->traits());
    m_textField->setClearsOnBeginEditing(element->clearsOnBeginEditing());
    m_textField->setContentVerticalAlignment(TextField::VerticalAlignment::Center);
    m_textField->setTextAlignment(element->appearance()->entryAlignment | Qt::AlignVCenter);
    setAccessoryType(AccessoryType(element->accessoryType()));

    if (m_actionBar || m_textField->isFirstResponder())
        installActionBar();
    updatePrevNextStatus();
    setNeedsLayout();
}

bool FormEntryTableViewCell::textFieldShouldBeginEditing(TextField* field)
{
    installActionBar();
    updatePrevNextStatus();
    return TextFieldDelegate::textFieldShouldBeginEditing(field);
}

void FormEntryTableViewCell::installActionBar()
{
    FormEntryElement* element = m_entryElement.get();
    if (!element || element->hiddenToolbar()) {
        m_textField->setInputAccessoryView(nullptr);
        return;
    }
    if (!m_actionBar)
        m_actionBar = createActionBar();
    const std::shared_ptr<FormAppearance> look = element->appearance();
    m_actionBar->setTranslucent(look->toolbarTranslucent);
    if (look->toolbarStyle == 1 && !Theme::current())
        m_actionBar->setBarTintColor(QColor(22, 22, 22));
    m_textField->setInputAccessoryView(m_actionBar);
    if (m_textField->isFirstResponder())
        m_textField->reloadInputViews();
}

Toolbar* FormEntryTableViewCell::createActionBar()
{
    auto* bar = new Toolbar;
    Theme* theme = Theme::current();
    if (theme)
        theme->applyStyleForToolbar(bar);
    bar->setTranslucent(true);

    QPointer<FormEntryTableViewCell> self(this);
    const QStringList titles = { LocalizedStrings::getLocalizedString(QStringLiteral("Previous")),
        LocalizedStrings::getLocalizedString(QStringLiteral("Next")) };
    auto previousNext = [self](Control* sender) {
        auto* control = static_cast<SegmentedControl*>(sender);
        const int segment = control->selectedSegmentIndex();
        if (self)
            self->handleActionBarPreviousNext(segment);
    };
    SegmentedControl* control = nullptr;
    if (theme) {
        control = theme->createSegmentedControlWithItems(titles, this, previousNext);
    } else {
        control = new SegmentedControl(QVariantList { titles[0], titles[1] });
        control->setMomentary(true);
        control->addTarget(previousNext, ControlEventValueChanged);
    }
    control->setFrame(QRectF(QPointF(0, 0), control->sizeThatFits({})));
    m_prevNext = control;

    auto done = [self](Control*) {
        if (self)
            self->handleActionBarDone();
    };
    const QString doneTitle = LocalizedStrings::getLocalizedString(QStringLiteral("Done"));
    BarButtonItem* doneItem = nullptr;
    if (theme) {
        doneItem = theme->createBarButtonItemWithTitle(doneTitle, this, done);
    } else {
        doneItem = new BarButtonItem(doneTitle, BarButtonItem::Style::Done, [self](BarButtonItem*) {
            if (self)
                self->handleActionBarDone();
        });
    }
    auto* segments = new BarButtonItem(control);
    auto* space = new BarButtonItem(BarButtonItem::SystemItem::FlexibleSpace);
    for (BarButtonItem* item : { segments, space, doneItem })
        item->setParent(bar);
    bar->setItems({ segments, space, doneItem });
    bar->sizeToFit();
    return bar;
}

FormRootElement* FormEntryTableViewCell::formRoot() const
{
    FormEntryElement* element = m_entryElement.get();
    FormSection* section = element ? element->parentSection() : nullptr;
    return section ? section->rootElement() : nullptr;
}

void FormEntryTableViewCell::updatePrevNextStatus()
{
    if (!m_prevNext)
        return;
    FormRootElement* root = formRoot();
    FormEntryElement* element = m_entryElement.get();
    m_prevNext->setEnabledForSegmentAtIndex(
        root && root->findElementToFocusOnBefore(element), PreviousSegment);
    m_prevNext->setEnabledForSegmentAtIndex(
        root && root->findElementToFocusOnAfter(element), NextSegment);
}

QRectF FormEntryTableViewCell::calculateFrameForEntryElement()
{
    FormEntryElement* element = m_entryElement.get();
    const double right = m_textField->clearButtonMode() != TextField::ViewMode::Never ? 10 : 15;
    const double W = contentView()->bounds().width();
    const double H = bounds().height();
    const double height = std::max(0.0, H - 2 * kFieldInset);
    const bool titled = element && !element->title().isEmpty();
    const Image image = element ? element->image() : Image();
    if (!titled && image.isNull())
        return QRectF(kFieldInset, kFieldInset, std::max(0.0, W - kFieldInset - right), height);
    if (!titled) {
        // Past the icon as the row shows it, on the row icons' square.
        const double w = rowIcon(image).size().width() + kImageGap;
        return QRectF(
            w + kFieldInset, kFieldInset, std::max(0.0, W - kFieldInset - w - right), height);
    }
    FormSection* section = element->parentSection();
    if (section && !section->entryPosition.isNull())
        return section->entryPosition;
    // The entry column of the section: past the widest title of its entry rows.
    QFont font = textLabel()->font();
    font.setPixelSize(std::max(1, int(std::lround(pointSize(font)))));
    const double imageWidth
        = imageView()->image().isNull() ? 0 : imageView()->image().size().width();
    double widest = 0;
    auto measure = [&](const FormEntryElement* entry) {
        const double withImage = entry->image().isNull() ? 0 : imageWidth + kImageGap;
        widest = std::max(widest, withImage + entry->titleWidth(font));
    };
    if (section) {
        for (const auto& candidate : section->elements())
            if (const auto* entry = qobject_cast<const FormEntryElement*>(candidate.get()))
                measure(entry);
    } else {
        measure(element);
    }
    const double m = std::ceil(widest) + kTitleExtra;
    const QRectF column(m + kTitleGap, kFieldInset,
        std::max(0.0, W - m - element->appearance()->cellBorderWidth - right), height);
    if (section)
        section->entryPosition = column;
    return column;
}

void FormEntryTableViewCell::recalculateEntryFieldPosition()
{
    FormEntryElement* element = m_entryElement.get();
    FormSection* section = element ? element->parentSection() : nullptr;
    if (section)
        section->entryPosition = QRectF();
    const QRectF frame = calculateFrameForEntryElement();
    m_textField->setFrame(frame);
    if (Label* detail = detailTextLabel(); detail && !detail->text().isEmpty()) {
        const QRectF old = detail->frame();
        detail->setFrame(
            QRectF(frame.x(), old.y(), std::max(0.0, old.right() - frame.x()), old.height()));
    }
    const double border = element ? element->appearance()->cellBorderWidth : 0;
    const double column = section ? section->entryPosition.x() : frame.x();
    const QRectF title = textLabel()->frame();
    textLabel()->setFrame(
        QRectF(title.topLeft(), QSizeF(std::max(0.0, column - border), title.height())));
}

void FormEntryTableViewCell::layoutSubviews()
{
    FormTableViewCell::layoutSubviews();
    recalculateEntryFieldPosition();
}

bool FormEntryTableViewCell::becomeFirstResponder()
{
    m_textField->becomeFirstResponder();
    return true;
}

void FormEntryTableViewCell::prepareForReuse()
{
    // A cell taken for another row lets go of the keys first: the text reaches its own
    // element, not the next one's.
    if (m_textField->isFirstResponder())
        m_textField->forceResignFirstResponder();
    FormTableViewCell::prepareForReuse();
    m_tableView.clear();
    m_entryElement.reset();
}

void FormEntryTableViewCell::textFieldEditingChanged()
{
    FormEntryElement* element = m_entryElement.get();
    if (!element)
        return;
    element->setTextFromField(m_textField->text());
    element->handleEditingChanged(this);
}

void FormEntryTableViewCell::textSetByCell()
{
    textFieldEditingChanged();
}

void FormEntryTableViewCell::textFieldDidBeginEditing(TextField* field)
{
    FormEntryElement* element = m_entryElement.get();
    if (!element)
        return;
    QPointer<FormTableView> table(m_tableView);
    std::weak_ptr<FormElement> weak = element->weak_from_this();
    FormScheduler::after(ScrollDelayMilliseconds, [table, weak] {
        const std::shared_ptr<FormElement> alive = weak.lock();
        if (!table || !alive)
            return;
        // Only as far as the row needs to show above the keyboard bar or picker.
        if (const std::optional<FormIndexPath> path = alive->getIndexPath())
            table->scrollToRowAtIndexPath(
                FormTableView::tablePath(*path), TableView::ScrollPosition::None, true);
    });
    if (field->returnKeyType() == TextInputTraits::ReturnKeyType::Default) {
        FormRootElement* root = formRoot();
        field->setReturnKeyType(root && root->findElementToFocusOnAfter(element)
                ? TextInputTraits::ReturnKeyType::Next
                : TextInputTraits::ReturnKeyType::Done);
    }
    if (FormEntryElementDelegate* delegate = element->delegate())
        delegate->FormEntryDidBeginEditingElement(element, this);
}

void FormEntryTableViewCell::textFieldDidEndEditing(TextField* field)
{
    const std::shared_ptr<FormEntryElement> element = m_entryElement;
    if (!element)
        return;
    element->setTextFromField(field->text());
    if (FormEntryElementDelegate* delegate = element->delegate())
        delegate->FormEntryDidEndEditingElement(element.get(), this);
    element->fieldDidEndEditing();
}

bool FormEntryTableViewCell::textFieldShouldChangeCharactersInRange(
    TextField* field, const TextRange& range, const QString& replacement)
{
    FormEntryElement* element = m_entryElement.get();
    if (!element)
        return true;
    const QString text = field->text();
    // A change longer than the room left is cut to fit, a paste included.
    const std::optional<QString> fitting
        = FormEntryElement::fittingReplacement(text, range, replacement, element->maxLength());
    if (!fitting)
        return false;
    if (FormEntryElementDelegate* delegate = element->delegate())
        if (!delegate->FormEntryShouldChangeCharactersInRange(range, *fitting, element, this))
            return false;
    if (*fitting == replacement)
        return true;
    QString changed = text;
    changed.replace(std::clamp(range.location, 0, int(text.size())),
        std::clamp(range.length, 0, int(text.size())), *fitting);
    field->setText(changed);
    field->setSelectedRange(TextRange { int(range.location + fitting->size()), 0 });
    textSetByCell();
    return false;
}

bool FormEntryTableViewCell::textFieldShouldReturn(TextField* field)
{
    const std::shared_ptr<FormEntryElement> element = m_entryElement;
    if (!element)
        return true;
    FormRootElement* root = formRoot();
    if (FormEntryElement* next = root ? root->findElementToFocusOnAfter(element.get()) : nullptr)
        focusElement(next);
    else
        field->resignFirstResponder();
    if (FormEntryElementDelegate* delegate = element->delegate())
        return delegate->FormEntryShouldReturnForElement(element.get(), this);
    return true;
}

bool FormEntryTableViewCell::textFieldShouldMoveFocus(TextField*, FocusMove move)
{
    handleActionBarPreviousNext(move == FocusMove::Next ? NextSegment : PreviousSegment);
    return true;
}

void FormEntryTableViewCell::focusElement(FormEntryElement* target)
{
    if (!target || !m_tableView)
        return;
    if (auto* cell = qobject_cast<FormTableViewCell*>(m_tableView->cellForElement(target))) {
        cell->becomeFirstResponder();
        return;
    }
    const std::optional<FormIndexPath> path = target->getIndexPath();
    if (!path)
        return;
    m_tableView->scrollToRowAtIndexPath(
        FormTableView::tablePath(*path), TableView::ScrollPosition::None, true);
    QPointer<FormTableView> table(m_tableView);
    std::weak_ptr<FormElement> weak = target->weak_from_this();
    FormScheduler::after(FocusDelayMilliseconds, [table, weak] {
        const std::shared_ptr<FormElement> alive = weak.lock();
        if (!table || !alive)
            return;
        if (auto* cell = qobject_cast<FormTableViewCell*>(table->cellForElement(alive.get())))
            cell->becomeFirstResponder();
    });
}

void FormEntryTableViewCell::handleActionBarPreviousNext(int segment)
{
    const std::shared_ptr<FormEntryElement> element = m_entryElement;
    FormRootElement* root = formRoot();
    if (element && root) {
        FormEntryElement* target = segment == NextSegment
            ? root->findElementToFocusOnAfter(element.get())
            : root->findElementToFocusOnBefore(element.get());
        QPointer<FormTableView> table(m_tableView);
        focusElement(target);
        if (element->keepSelected() && table)
            if (const std::optional<FormIndexPath> path = element->getIndexPath())
                table->deselectRowAtIndexPath(FormTableView::tablePath(*path), true);
    }
    if (m_prevNext)
        m_prevNext->setSelectedSegmentIndex(SegmentedControl::NoSegment);
}

bool FormEntryTableViewCell::handleActionBarDone()
{
    const std::shared_ptr<FormEntryElement> element = m_entryElement;
    TextInput::endEditing(this, true);
    TextInput::endEditing(this, false);
    m_textField->resignFirstResponder();
    TextInput::endEditing(window(), true);
    if (element)
        if (FormEntryElementDelegate* delegate = element->delegate())
            delegate->FormEntryMustReturnForElement(element.get(), this);
    return false;
}
