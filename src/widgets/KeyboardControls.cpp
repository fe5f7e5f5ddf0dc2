#include "widgets/KeyboardControls.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Toolbar.h"
#include "style/Theme.h"
#include "style/ThemeSegmentedButton.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/KeyboardControlsDelegate.h"
#include "widgets/SqlKeyboardView.h"

using namespace platform::ui;

const QString KeyboardControls::TableName = QStringLiteral("KeyboardControls");

namespace {

TextInput* inputOf(View* view)
{
    return dynamic_cast<TextInput*>(view);
}

} // namespace

KeyboardControls::KeyboardControls(QWidget* parent)
    : View(QRectF(0, 0, 320, 44), parent)
{
    m_previousTitle = LocalizedStrings::getLocalizedString(QStringLiteral("Previous"), TableName);
    m_nextTitle = LocalizedStrings::getLocalizedString(QStringLiteral("Next"), TableName);
    addDefault();
}

KeyboardControls::~KeyboardControls() = default;

QList<View*> KeyboardControls::textFields() const
{
    QList<View*> fields;
    for (const QPointer<View>& field : m_textFields)
        if (field)
            fields << field;
    return fields;
}

void KeyboardControls::setTextFields(const QList<View*>& fields)
{
    m_textFields.clear();
    for (View* field : fields)
        m_textFields << field;
}

void KeyboardControls::reloadTextFields()
{
    for (View* field : textFields())
        if (TextInput* input = inputOf(field))
            input->setInputAccessoryView(this);
}

void KeyboardControls::clearTextFields()
{
    for (View* field : textFields())
        if (TextInput* input = inputOf(field); input && input->inputAccessoryView() == this)
            input->setInputAccessoryView(nullptr);
    m_textFields.clear();
}

void KeyboardControls::setActiveTextField(View* field)
{
    disconnect(m_activeWatch);
    m_activeTextField = field;
    // An input that goes is no longer active, and the segments say so.
    if (field)
        m_activeWatch = connect(field, &QObject::destroyed, this, [this] {
            m_activeTextField = nullptr;
            updateSegments();
        });
    updateSegments();
}

int KeyboardControls::indexOfActive() const
{
    // A gone input is in no list.
    if (!m_activeTextField)
        return -1;
    return int(textFields().indexOf(m_activeTextField.data()));
}

void KeyboardControls::updateSegments()
{
    if (!m_segmentedPreviousNext)
        return;
    const int index = indexOfActive();
    const int count = index >= 0 ? int(textFields().size()) : 0;
    m_segmentedPreviousNext->setEnabledForSegmentAtIndex(index > 0, 0);
    m_segmentedPreviousNext->setEnabledForSegmentAtIndex(index >= 0 && index < count - 1, 1);
}

void KeyboardControls::addDefault()
{
    setupToolbar(false, DefaultLayoutTag);
}

void KeyboardControls::addQuery()
{
    setupToolbar(true, QueryLayoutTag);
}

void KeyboardControls::setupToolbar(bool withSql, int tag)
{
    if (m_toolbar && m_toolbar->tag() == tag)
        return;
    if (m_toolbar) {
        m_toolbar->removeFromSuperview();
        m_toolbar->deleteLater();
        m_toolbar = nullptr;
    }
    auto* toolbar = new Toolbar();
    toolbar->setFrame(QRectF(QPointF(0, 0), frame().size()));
    Theme* style = Theme::current();
    if (style)
        style->applyStyleForToolbar(toolbar);
    toolbar->setTag(tag);
    QPointer<KeyboardControls> self(this);
    auto segmentChanged = [self](Control* sender) {
        auto* control = qobject_cast<SegmentedControl*>(sender);
        if (self && control)
            self->segmentedControlPreviousNextChangedValue(control->selectedSegmentIndex());
    };
    const QStringList titles = { m_previousTitle, m_nextTitle };
    if (style) {
        m_segmentedPreviousNext
            = style->createSegmentedControlWithItems(titles, this, segmentChanged);
    } else {
        m_segmentedPreviousNext = new ThemeSegmentedButton(titles);
        m_segmentedPreviousNext->addTarget(segmentChanged, ControlEventValueChanged);
    }
    m_segmentedPreviousNext->sizeToFit();
    const QString doneTitle = m_doneTitle.isEmpty()
        ? LocalizedStrings::getLocalizedString(QStringLiteral("Done"), TableName)
        : m_doneTitle;
    auto itemWithTitle = [&](const QString& title, std::function<void()> action) {
        Control::Action run = [self, action](Control*) {
            if (self)
                action();
        };
        BarButtonItem* item = style
            ? style->createBarButtonItemWithTitle(title, this, run)
            : new BarButtonItem(title, BarButtonItem::Style::Plain, [self, action](BarButtonItem*) {
                  if (self)
                      action();
              });
        item->setParent(toolbar);
        return item;
    };
    m_buttonDone = itemWithTitle(doneTitle, [this] { buttonDonePressed(); });
    QList<BarButtonItem*> items;
    items << new BarButtonItem(m_segmentedPreviousNext, toolbar);
    items << new BarButtonItem(BarButtonItem::SystemItem::FlexibleSpace, {}, toolbar);
    if (withSql) {
        m_buttonSQL = itemWithTitle(QStringLiteral("SQL"), [this] { buttonSQLPressed(); });
        items << m_buttonSQL;
    } else {
        m_buttonSQL = nullptr;
    }
    items << m_buttonDone;
    toolbar->setItems(items, false);
    toolbar->setAutoresizingMask(AutoresizingFlexibleWidth);
    addSubview(toolbar);
    m_toolbar = toolbar;
    updateSegments();
}

void KeyboardControls::hidePrevNextButtons(bool hide)
{
    if (m_segmentedPreviousNext)
        m_segmentedPreviousNext->setHidden(hide);
}

void KeyboardControls::setBarStyle(int style)
{
    m_barStyle = style;
    if (!m_toolbar)
        return;
    // Black (1) and black translucent (2) bars; the default bar otherwise.
    m_toolbar->setBarTintColor(style == 1 || style == 2 ? QColor(0, 0, 0) : QColor(247, 247, 247));
    m_toolbar->setTranslucent(style == 2);
}

void KeyboardControls::setPreviousNextTintColor(const QColor& color)
{
    m_previousNextTintColor = color;
    if (m_segmentedPreviousNext)
        m_segmentedPreviousNext->setTintColor(color);
}

void KeyboardControls::setPreviousTitle(const QString& title)
{
    m_previousTitle = title;
    if (m_segmentedPreviousNext)
        m_segmentedPreviousNext->setTitle(title, 0);
}

void KeyboardControls::setNextTitle(const QString& title)
{
    m_nextTitle = title;
    if (m_segmentedPreviousNext)
        m_segmentedPreviousNext->setTitle(title, 1);
}

void KeyboardControls::setDoneTitle(const QString& title)
{
    m_doneTitle = title;
    if (!m_buttonDone)
        return;
    if (auto* button = qobject_cast<Button*>(m_buttonDone->customView()))
        button->setTitle(title);
    else
        m_buttonDone->setTitle(title);
}

void KeyboardControls::setDoneTintColor(const QColor& color)
{
    m_doneTintColor = color;
    if (!m_buttonDone)
        return;
    if (auto* button = qobject_cast<Button*>(m_buttonDone->customView()))
        button->setTitleColor(color);
}

void KeyboardControls::move(int direction)
{
    const int index = indexOfActive();
    const QList<View*> fields = textFields();
    if (index < 0)
        return;
    const int target = index + (direction == 0 ? -1 : 1);
    if (target < 0 || target >= fields.size())
        return;
    View* field = fields[target];
    setActiveTextField(field);
    QPointer<KeyboardControls> self(this);
    // The controls' own answer first: the new input takes the keys.
    if (TextInput* input = inputOf(field))
        input->becomeFirstResponder();
    if (self && m_delegate)
        m_delegate->keyboardControlsPreviousNextPressed(this, direction, field);
}

void KeyboardControls::previous()
{
    move(0);
}

void KeyboardControls::next()
{
    move(1);
}

void KeyboardControls::done()
{
    QPointer<KeyboardControls> self(this);
    if (TextInput* input = inputOf(m_activeTextField))
        input->resignFirstResponder();
    if (self && m_delegate)
        m_delegate->keyboardControlsDonePressed(this);
}

void KeyboardControls::segmentedControlPreviousNextChangedValue(int selectedSegment)
{
    if (selectedSegment == 0)
        previous();
    else if (selectedSegment == 1)
        next();
}

void KeyboardControls::buttonDonePressed()
{
    done();
}

void KeyboardControls::buttonSQLPressed()
{
    TextInput* input = inputOf(m_activeTextField);
    if (!input)
        return;
    if (!input->inputView()) {
        if (!m_sqlKeyboardView) {
            m_sqlKeyboardView = new SqlKeyboardView(this, this);
            m_sqlKeyboardView->setHidden(true);
        }
        input->setInputView(m_sqlKeyboardView);
    } else {
        input->setInputView(nullptr);
    }
    // The new keyboard comes up as the input takes the keys again.
    QPointer<View> field = m_activeTextField;
    input->resignFirstResponder();
    if (field)
        input->becomeFirstResponder();
}

void KeyboardControls::clickedSql(const QString& keyword)
{
    if (auto* field = qobject_cast<TextField*>(m_activeTextField.data())) {
        // Exactly as if typed: the field's delegate may refuse it.
        field->insertText(keyword);
        return;
    }
    auto* view = qobject_cast<TextView*>(m_activeTextField.data());
    if (!view)
        return;
    const TextRange selection = view->selectedRange();
    const int start = std::clamp(selection.location, 0, int(view->text().size()));
    const QString insertion = keyword + " ";
    if (TextViewDelegate* delegate = view->delegate()) {
        if (!delegate->textViewShouldChangeTextInRange(view, TextRange { start, 0 }, insertion))
            return;
    }
    const QString text = view->text();
    view->setScrollEnabled(false);
    view->setText(text.left(start) + insertion + text.mid(start));
    view->setSelectedRange(TextRange { start + int(insertion.size()), selection.length });
    view->setScrollEnabled(true);
}
