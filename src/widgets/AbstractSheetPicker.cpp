#include "widgets/AbstractSheetPicker.h"

#include "platform/Exception.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Device.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/PickerView.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "widgets/PickerSheet.h"
#include "widgets/PopoverController.h"

#include <QMetaMethod>

using namespace platform::ui;

const QString AbstractSheetPicker::ButtonTitleKey = QStringLiteral("buttonTitle");
const QString AbstractSheetPicker::ButtonActionKey = QStringLiteral("buttonAction");
const QString AbstractSheetPicker::ButtonValueKey = QStringLiteral("buttonValue");
const QString AbstractSheetPicker::ButtonActionTargetKey = QStringLiteral("buttonActionTarget");

namespace {

const QString kAbstractClass = QStringLiteral(
    "This is an abstract class, you must use a subclass of AbstractSheetPicker (like "
    "SheetStringPicker)");
const QString kNoPickerView
    = QStringLiteral("Picker view failed to instantiate, perhaps you have invalid component data.");

QString describe(QObject* object)
{
    if (!object)
        return QStringLiteral("(null)");
    return QStringLiteral("<%1: 0x%2>")
        .arg(QString::fromLatin1(object->metaObject()->className()))
        .arg(quintptr(object), 0, 16);
}

using HeldTarget = QPointer<QObject>;

// A custom button's target as its record keeps it: watched, so that one deleted while the
// picker is up reads as none (the record still reads as a QObject*).
QVariant heldTarget(QObject* target)
{
    static const int registered = qRegisterMetaType<HeldTarget>();
    Q_UNUSED(registered);
    return target ? QVariant::fromValue(HeldTarget(target)) : QVariant::fromValue(nullptr);
}

QObject* targetOf(const QVariant& value)
{
    return value.metaType() == QMetaType::fromType<HeldTarget>() ? value.value<HeldTarget>().data()
                                                                 : nullptr;
}

} // namespace

AbstractSheetPicker::AbstractSheetPicker(QObject* target, const QByteArray& successAction,
    const QByteArray& cancelAction, QObject* origin, QObject* parent)
    : QObject(parent)
    , m_target(target)
    , m_successAction(successAction)
    , m_cancelAction(cancelAction)
{
    if (auto* item = qobject_cast<BarButtonItem*>(origin))
        m_barButtonItem = item;
    else if (auto* view = qobject_cast<View*>(origin))
        m_containerView = view;
    else
        raise(
            QStringLiteral("Invalid origin provided to SheetPicker ( %1 )").arg(describe(origin)));
    m_doneBarButtonItem = createButtonWithType(0, [this] { actionPickerDone(); });
    m_cancelBarButtonItem = createButtonWithType(1, [this] { actionPickerCancel(); });
    m_selfReference = true;
}

AbstractSheetPicker::~AbstractSheetPicker()
{
    stopObservingRotation();
    releasePickerView();
    m_target = nullptr;
    if (m_popOverController)
        m_popOverController->setDelegate(nullptr);
    // The panel goes with the picker when nothing shows it any more.
    if (m_panel && !m_panel->parentWidget())
        delete m_panel.data();
}

void AbstractSheetPicker::releasePickerView()
{
    // The data source goes first: with none, clearing the delegate asks nothing of a
    // picker that is being destroyed.
    if (auto* picker = qobject_cast<PickerView*>(m_pickerView.data())) {
        picker->setDataSource(nullptr);
        picker->setDelegate(nullptr);
    }
    if (auto* control = qobject_cast<Control*>(m_pickerView.data()))
        control->removeAllTargets();
}

void AbstractSheetPicker::raise(const QString& reason)
{
    throw platform::Exception(platform::Exception::InternalInconsistency, reason);
}

QString AbstractSheetPicker::invalidTargetActionMessage(QObject* target, const QByteArray& action)
{
    return QStringLiteral("Invalid target/action ( %1 / %2 ) combination used for SheetPicker")
        .arg(target ? QString::fromLatin1(target->metaObject()->className())
                    : QStringLiteral("(null)"))
        .arg(action.isEmpty() ? QStringLiteral("(null)") : QString::fromLatin1(action));
}

bool AbstractSheetPicker::answers(
    QObject* target, const QByteArray& action, const QByteArray& parameters)
{
    if (!target || action.isEmpty())
        return false;
    const QByteArray signature = QMetaObject::normalizedSignature(action + "(" + parameters + ")");
    return target->metaObject()->indexOfMethod(signature) >= 0;
}

QSizeF AbstractSheetPicker::viewSize() const
{
    if (Device::current().isPad())
        return QSizeF(PadSize, PadSize);
    return Device::current().screenBounds().size();
}

QObject* AbstractSheetPicker::storedOrigin() const
{
    if (m_barButtonItem)
        return m_barButtonItem;
    return m_containerView;
}

bool AbstractSheetPicker::isValidOrigin(QObject* origin)
{
    return qobject_cast<BarButtonItem*>(origin) || qobject_cast<View*>(origin);
}

bool AbstractSheetPicker::isViewPortrait()
{
    return Device::current().isPortrait();
}

View* AbstractSheetPicker::configuredPickerView()
{
    raise(kAbstractClass);
}

void AbstractSheetPicker::notifyTargetDidSucceed(QObject*, const QByteArray&, QObject*)
{
    raise(kAbstractClass);
}

void AbstractSheetPicker::notifyTargetDidCancel(
    QObject* target, const QByteArray& action, QObject* origin)
{
    if (m_cancelBlock) {
        m_cancelBlock();
        return;
    }
    if (answers(target, action, "QObject*"))
        QMetaObject::invokeMethod(
            target, action.constData(), Qt::DirectConnection, Q_ARG(QObject*, origin));
}

void AbstractSheetPicker::showSheetPicker()
{
    const QSizeF size = viewSize();
    auto* panel = new View(QRectF(0, 0, size.width(), PanelHeight));
    // White under the wheels wherever the panel shows, in a popover too.
    panel->setBackgroundColor(Qt::white);
    m_panel = panel;
    m_toolbar = createPickerToolbarWithTitle(m_title);
    panel->addSubview(m_toolbar);
    // Strips at the sides in the bar's tint, behind everything, as the system draws its
    // sheets.
    const double stripTop = m_toolbar->frame().y();
    const double stripHeight = PanelHeight - stripTop;
    for (double x : { 0.0, size.width() - 8 }) {
        auto* strip = new Toolbar();
        strip->setFrame(QRectF(x, stripTop, 8, stripHeight));
        strip->setBarTintColor(m_toolbar->barTintColor());
        panel->insertSubview(strip, 0);
    }
    View* picker = configuredPickerView();
    if (!picker)
        raise(kNoPickerView);
    panel->addSubview(picker);
    presentPickerForView(panel);
}

Toolbar* AbstractSheetPicker::createPickerToolbarWithTitle(const QString& title)
{
    auto* toolbar = new Toolbar();
    toolbar->setFrame(QRectF(0, 0, viewSize().width(), ToolbarHeight));
    toolbar->setAutoresizingMask(AutoresizingFlexibleWidth);
    QList<BarButtonItem*> items;
    if (!m_hideCancel)
        items << m_cancelBarButtonItem;
    for (int index = 0; index < m_customButtons.size(); ++index) {
        const QString buttonTitle = m_customButtons[index].toMap().value(ButtonTitleKey).toString();
        QPointer<AbstractSheetPicker> self(this);
        auto* item = new BarButtonItem(
            buttonTitle, BarButtonItem::Style::Plain,
            [self, index](BarButtonItem*) {
                if (self)
                    self->customButtonPressed(index);
            },
            toolbar);
        item->setTag(index);
        items << item;
    }
    items << createButtonWithType(5, {});
    items.last()->setParent(toolbar);
    if (!title.isEmpty() || !m_attributedTitle.isEmpty()) {
        Label* label = createToolbarLabelWithTitle(title, m_titleTextAttributes, m_attributedTitle);
        items << new BarButtonItem(label, toolbar);
        items << createButtonWithType(5, {});
        items.last()->setParent(toolbar);
    }
    items << m_doneBarButtonItem;
    toolbar->setItems(items, false);
    return toolbar;
}

Label* AbstractSheetPicker::createToolbarLabelWithTitle(
    const QString& title, const QVariantMap& attributes, const QString& attributedTitle)
{
    auto* label = new Label(QRectF(0, 0, TitleWidth, TitleHeight));
    label->setTextAlignment(Qt::AlignCenter);
    label->setBackgroundColor(Qt::transparent);
    if (!attributes.isEmpty()) {
        label->setText(title);
        label->setFont(
            attributes.value("font", QVariant::fromValue(Font::boldSystem(16))).value<QFont>());
        label->setTextColor(attributes.value("color", QColor(Qt::black)).value<QColor>());
    } else if (!attributedTitle.isEmpty()) {
        label->setText(attributedTitle);
        label->setFont(Font::boldSystem(16));
        label->setTextColor(Qt::black);
    } else {
        label->setText(title);
        label->setFont(Font::boldSystem(16));
        label->setTextColor(Qt::black);
    }
    const QSizeF fits = Font::measure(label->text(), label->font());
    if (fits.width() < TitleWidth)
        label->setFrame(QRectF(QPointF(0, 0), QSizeF(fits.width(), TitleHeight)));
    return label;
}

BarButtonItem* AbstractSheetPicker::createButtonWithType(int type, std::function<void()> action)
{
    BarButtonItem::Action run;
    if (action)
        run = [action](BarButtonItem*) { action(); };
    return new BarButtonItem(static_cast<BarButtonItem::SystemItem>(type), run, this);
}

void AbstractSheetPicker::presentPickerForView(View* view)
{
    m_presentFromRect = view->frame();
    if (Device::current().isPad())
        configureAndPresentPopoverForView(view);
    else
        configureAndPresentActionSheetForView(view);
}

void AbstractSheetPicker::configureAndPresentActionSheetForView(View* view)
{
    observeRotation();
    m_actionSheet = new PickerSheet(view);
    presentActionSheet(m_actionSheet);
}

void AbstractSheetPicker::presentActionSheet(PickerSheet* sheet)
{
    if (!sheet)
        raise(QStringLiteral("Invalid parameter not satisfying: %1")
                  .arg(QStringLiteral("actionSheet != NULL")));
    if (m_barButtonItem)
        sheet->showFromBarButtonItem(m_barButtonItem, true);
    else
        sheet->showInContainerView();
}

void AbstractSheetPicker::configureAndPresentPopoverForView(View* view)
{
    auto* content = new ViewController(this);
    content->setView(view);
    content->setPreferredContentSize(view->frame().size());
    auto* popover = new PopoverController(content, this, false);
    popover->setContentSize(view->frame().size());
    m_popOverController = popover;
    presentPopover(popover);
}

void AbstractSheetPicker::presentPopover(PopoverController* popover)
{
    if (!popover)
        raise(QStringLiteral("Invalid parameter not satisfying: %1")
                  .arg(QStringLiteral("popover != NULL")));
    bool presented = false;
    try {
        View* from = m_barButtonItem ? m_barButtonItem->view() : m_containerView.data();
        if (from && from->window()) {
            popover->presentPopoverFromView(from);
            presented = true;
        }
    } catch (const std::exception&) {
        presented = false;
    }
    if (!presented) {
        // A 1 x 1 rectangle at the centre of the screen.
        View* root = Application::shared().keyWindow()->rootView();
        const QPointF centre = root ? root->bounds().center() : QPointF();
        popover->presentPopoverFromPoint(centre);
    }
}

void AbstractSheetPicker::observeRotation()
{
    if (m_rotationToken)
        return;
    QPointer<AbstractSheetPicker> self(this);
    m_rotationToken = platform::NotificationCenter::defaultCenter().addObserver(
        Device::WillChangeOrientationNotification, nullptr,
        [self](const platform::Notification& notification) {
            if (self)
                self->didRotate(
                    notification.userInfo.value(Device::OrientationUserInfoKey).toInt());
        },
        true);
}

void AbstractSheetPicker::stopObservingRotation()
{
    if (!m_rotationToken)
        return;
    platform::NotificationCenter::defaultCenter().removeObserver(m_rotationToken);
    m_rotationToken = 0;
}

void AbstractSheetPicker::didRotate(int orientation)
{
    const unsigned supported = Application::shared().supportedInterfaceOrientations();
    if (orientation > 0 && (supported & (1u << orientation)))
        dismissPicker();
}

void AbstractSheetPicker::popoverControllerDidDismissPopover(PopoverController*)
{
    // A touch outside closed the popover: only the cancel notice, then the picker goes.
    if (!beginEnding())
        return;
    QPointer<AbstractSheetPicker> self(this);
    notifyTargetDidCancel(m_target, m_cancelAction, storedOrigin());
    if (!self)
        return;
    m_popOverController = nullptr;
    dismissPicker();
}

bool AbstractSheetPicker::beginEnding()
{
    if (m_ended)
        return false;
    m_ended = true;
    return true;
}

void AbstractSheetPicker::actionPickerDone(QObject*)
{
    endWith([this] { notifyTargetDidSucceed(m_target, m_successAction, storedOrigin()); });
}

void AbstractSheetPicker::actionPickerCancel(QObject*)
{
    endWith([this] { notifyTargetDidCancel(m_target, m_cancelAction, storedOrigin()); });
}

void AbstractSheetPicker::endWith(const std::function<void()>& notify)
{
    if (!beginEnding())
        return;
    // Held until the action has returned, whatever the action does to its owner.
    QPointer<AbstractSheetPicker> self(this);
    try {
        notify();
    } catch (...) {
        if (self)
            dismissPicker();
        throw;
    }
    if (self)
        dismissPicker();
}

void AbstractSheetPicker::dismissPicker()
{
    stopObservingRotation();
    m_ended = true;
    if (m_actionSheet) {
        m_actionSheet->dismissWithClickedButtonIndex(0, true);
    } else if (m_popOverController && m_popOverController->isPresented()) {
        // Closed by the picker: the popover's own notice of its closing is not a cancel.
        m_popOverController->setDelegate(nullptr);
        m_popOverController->dismissPopoverAnimated(true);
    }
    m_actionSheet = nullptr;
    m_popOverController = nullptr;
    if (m_selfReference) {
        m_selfReference = false;
        if (!parent())
            deleteLater();
    }
}

void AbstractSheetPicker::addCustomButtonWithTitleValue(const QString& title, const QVariant& value)
{
    QVariantMap record;
    record.insert(ButtonTitleKey, title.isNull() ? QString("") : title);
    record.insert(ButtonActionKey, int(SelectValue));
    record.insert(ButtonValueKey, value.isValid() ? value : QVariant(0));
    m_customButtons.append(record);
}

void AbstractSheetPicker::addCustomButtonWithTitleActionBlock(
    const QString& title, ActionBlock block)
{
    QVariantMap record;
    record.insert(ButtonTitleKey, title.isNull() ? QString("") : title);
    record.insert(ButtonActionKey, int(RunBlock));
    record.insert(ButtonValueKey, QVariant::fromValue(block ? block : ActionBlock([] {})));
    m_customButtons.append(record);
}

void AbstractSheetPicker::addCustomButtonWithTitleTarget(
    const QString& title, QObject* target, const QByteArray& selector)
{
    QVariantMap record;
    record.insert(ButtonTitleKey, title.isNull() ? QString("") : title);
    record.insert(ButtonActionKey, int(CallSelector));
    record.insert(ButtonValueKey, selector);
    record.insert(ButtonActionTargetKey, heldTarget(target));
    m_customButtons.append(record);
}

void AbstractSheetPicker::setCustomButtons(const QVariantList& buttons)
{
    m_customButtons.clear();
    for (const QVariant& button : buttons) {
        // A target given as a plain pointer is watched from now on, as one added is.
        QVariantMap record = button.toMap();
        const QVariant target = record.value(ButtonActionTargetKey);
        if (button.typeId() != QMetaType::QVariantMap || !target.isValid()
            || target.metaType() == QMetaType::fromType<HeldTarget>()) {
            m_customButtons.append(button);
            continue;
        }
        record.insert(ButtonActionTargetKey, heldTarget(target.value<QObject*>()));
        m_customButtons.append(record);
    }
}

QVariantMap AbstractSheetPicker::customButtonRecord(int tag, const char* tagMessage) const
{
    if (tag < 0 || tag >= m_customButtons.size())
        raise(QString::asprintf(tagMessage, long(tag), long(m_customButtons.size())));
    const QVariant record = m_customButtons.at(tag);
    if (record.typeId() != QMetaType::QVariantMap)
        raise(QStringLiteral("Custom button dictionary is invalid"));
    return record.toMap();
}

bool AbstractSheetPicker::runClosingCustomButton(const QVariantMap& record)
{
    const int kind = record.value(ButtonActionKey).toInt();
    if (kind == RunBlock) {
        const ActionBlock block = record.value(ButtonValueKey).value<ActionBlock>();
        dismissPicker();
        if (block)
            block();
        return true;
    }
    if (kind == CallSelector) {
        const HeldTarget guard = targetOf(record.value(ButtonActionTargetKey));
        const QByteArray selector = record.value(ButtonValueKey).toByteArray();
        dismissPicker();
        if (guard && answers(guard, selector, ""))
            QMetaObject::invokeMethod(guard, selector.constData(), Qt::DirectConnection);
        return true;
    }
    return false;
}

std::optional<QVariant> AbstractSheetPicker::customButtonSelectValue(
    int tag, const char* tagMessage)
{
    const QVariantMap record = customButtonRecord(tag, tagMessage);
    if (runClosingCustomButton(record))
        return std::nullopt;
    if (record.value(ButtonActionKey).toInt() != SelectValue)
        raise(QStringLiteral("Unknown action type"));
    return record.value(ButtonValueKey);
}

bool AbstractSheetPicker::invokeSuccessAction(
    QObject* target, const QByteArray& action, const QVariant& value, QObject* origin)
{
    if (!answers(target, action, "QVariant,QObject*"))
        return false;
    QMetaObject::invokeMethod(target, action.constData(), Qt::DirectConnection,
        Q_ARG(QVariant, value), Q_ARG(QObject*, origin));
    return true;
}

QRectF AbstractSheetPicker::pickerFrame() const
{
    return QRectF(0, PickerTop, viewSize().width(), PickerHeight);
}

void AbstractSheetPicker::setUpWheels(
    PickerView* picker, PickerViewDelegate* delegate, PickerViewDataSource* dataSource)
{
    picker->setAutoresizingMask(AutoresizingFlexibleWidth);
    picker->setDelegate(delegate);
    picker->setDataSource(dataSource);
    picker->setShowsSelectionIndicator(true);
}

void AbstractSheetPicker::customButtonPressed(int tag)
{
    const std::optional<QVariant> value
        = customButtonSelectValue(tag, "Bad custom button tag: %ld, custom button count: %ld");
    if (!value)
        return;
    if (m_pickerView && !qobject_cast<PickerView*>(m_pickerView.data()))
        raise(QStringLiteral("customButtonPressed not overridden, cannot interact with "
                             "subclassed pickerView"));
    auto* picker = qobject_cast<PickerView*>(m_pickerView.data());
    if (!picker)
        raise(QStringLiteral("PickerView is invalid"));
    const int row = value->toInt();
    picker->selectRow(row, 0, true);
    if (auto* delegate = dynamic_cast<PickerViewDelegate*>(this))
        delegate->pickerViewDidSelectRow(picker, row, 0);
}

void AbstractSheetPicker::connectButton(
    BarButtonItem* item, void (AbstractSheetPicker::*handler)(QObject*))
{
    QPointer<AbstractSheetPicker> self(this);
    if (auto* button = qobject_cast<Button*>(item->customView())) {
        button->addTarget(
            [self, handler](Control*) {
                if (self)
                    (self->*handler)(nullptr);
            },
            ControlEventTouchUpInside);
    } else {
        item->setAction([self, handler](BarButtonItem*) {
            if (self)
                (self->*handler)(nullptr);
        });
    }
}

void AbstractSheetPicker::setDoneButton(BarButtonItem* item)
{
    if (!item)
        return;
    connectButton(item, &AbstractSheetPicker::actionPickerDone);
    m_doneBarButtonItem = item;
}

void AbstractSheetPicker::setCancelButton(BarButtonItem* item)
{
    if (!item)
        return;
    connectButton(item, &AbstractSheetPicker::actionPickerCancel);
    m_cancelBarButtonItem = item;
}
