#pragma once

#include "platform/NotificationCenter.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Toolbar.h"
#include "widgets/PickerSheet.h"
#include "widgets/PopoverController.h"
#include "widgets/PopoverControllerDelegate.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <functional>
#include <optional>

namespace platform::ui {
class BarButtonItem;
class Control;
class Label;
class PickerView;
class PickerViewDataSource;
class PickerViewDelegate;
class Toolbar;
class View;
} // namespace platform::ui

// The base of the action-sheet pickers: a panel with a toolbar (Cancel, custom buttons, a
// title, Done) over a picker view a subclass makes, rising from the bottom of the window
// on a phone and shown in a popover on a tablet. The outcome goes to a target's
// invokable methods (or, in the subclasses, to blocks or a delegate).
//
// Actions are names of invokable methods of the target. The success action of a
// subclass takes the arguments that subclass documents; the cancel action takes the
// origin (QObject*); a custom button's method takes none.
//
// A shown picker holds itself until it is dismissed and is then deleted once the event
// that ended it is done (a picker with a Qt parent stays with its parent). A picker made
// and never shown belongs to whoever made it.
class AbstractSheetPicker : public QObject, public PopoverControllerDelegate {
    Q_OBJECT
public:
    using ActionBlock = std::function<void()>;

    // Kinds of a custom button.
    enum CustomButtonAction { SelectValue = 0, CallSelector = 1, RunBlock = 2 };

    // Keys of a custom button record.
    static const QString ButtonTitleKey; // "buttonTitle"
    static const QString ButtonActionKey; // "buttonAction"
    static const QString ButtonValueKey; // "buttonValue"
    static const QString ButtonActionTargetKey; // "buttonActionTarget"

    // The origin is a bar button item or a view; anything else raises.
    AbstractSheetPicker(QObject* target, const QByteArray& successAction,
        const QByteArray& cancelAction, QObject* origin, QObject* parent = nullptr);
    ~AbstractSheetPicker() override;

    bool hideCancel() const { return m_hideCancel; }
    void setHideCancel(bool hide) { m_hideCancel = hide; }
    platform::ui::Toolbar* toolbar() const { return m_toolbar; }
    QString title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    platform::ui::View* pickerView() const { return m_pickerView; }
    QVariantList customButtons() const { return m_customButtons; }
    // Raw records, for those that make their own (each must be a map with the keys above).
    void setCustomButtons(const QVariantList& buttons);
    // Font and colour of the title ("font", "color"); used when set.
    QVariantMap titleTextAttributes() const { return m_titleTextAttributes; }
    void setTitleTextAttributes(const QVariantMap& attributes)
    {
        m_titleTextAttributes = attributes;
    }
    QString attributedTitle() const { return m_attributedTitle; }
    void setAttributedTitle(const QString& title) { m_attributedTitle = title; }
    platform::ui::BarButtonItem* barButtonItem() const { return m_barButtonItem; }
    platform::ui::BarButtonItem* doneBarButtonItem() const { return m_doneBarButtonItem; }
    platform::ui::BarButtonItem* cancelBarButtonItem() const { return m_cancelBarButtonItem; }
    platform::ui::View* containerView() const { return m_containerView; }
    QObject* target() const { return m_target; }
    QByteArray successAction() const { return m_successAction; }
    QByteArray cancelAction() const { return m_cancelAction; }
    PickerSheet* actionSheet() const { return m_actionSheet; }
    PopoverController* popOverController() const { return m_popOverController; }
    bool holdsItself() const { return m_selfReference; }
    QRectF presentFromRect() const { return m_presentFromRect; }
    QSizeF viewSize() const;

    // Builds the panel and presents it.
    void showSheetPicker();

    // Subclasses make their picker view here (and keep it in pickerView).
    virtual platform::ui::View* configuredPickerView();
    virtual void notifyTargetDidSucceed(QObject* target, const QByteArray& action, QObject* origin);
    virtual void notifyTargetDidCancel(QObject* target, const QByteArray& action, QObject* origin);

    void actionPickerDone(QObject* sender = nullptr);
    void actionPickerCancel(QObject* sender = nullptr);
    void hidePickerWithCancelAction() { actionPickerCancel(nullptr); }
    void dismissPicker();

    // Before showSheetPicker only.
    void addCustomButtonWithTitleValue(const QString& title, const QVariant& value);
    void addCustomButtonWithTitleActionBlock(const QString& title, ActionBlock block);
    void addCustomButtonWithTitleTarget(
        const QString& title, QObject* target, const QByteArray& selector);
    // A custom button's press; its tag is the record's index.
    virtual void customButtonPressed(int tag);

    void setDoneButton(platform::ui::BarButtonItem* item);
    void setCancelButton(platform::ui::BarButtonItem* item);

    QObject* storedOrigin() const;
    static bool isValidOrigin(QObject* origin);
    static bool isViewPortrait();

    platform::ui::Toolbar* createPickerToolbarWithTitle(const QString& title);
    platform::ui::Label* createToolbarLabelWithTitle(const QString& title,
        const QVariantMap& titleTextAttributes, const QString& attributedTitle);
    platform::ui::BarButtonItem* createButtonWithType(int type, std::function<void()> action);

    void presentPickerForView(platform::ui::View* view);
    void configureAndPresentActionSheetForView(platform::ui::View* view);
    void presentActionSheet(PickerSheet* sheet);
    void configureAndPresentPopoverForView(platform::ui::View* view);
    void presentPopover(PopoverController* popover);
    // The window turns to the orientation (interface orientation number).
    void didRotate(int orientation);
    void popoverControllerDidDismissPopover(PopoverController* controller) override;

    // Raises the platform's internal-inconsistency exception with the reason.
    [[noreturn]] static void raise(const QString& reason);
    // The message a bad target or action is reported with.
    static QString invalidTargetActionMessage(QObject* target, const QByteArray& action);
    // True when the target has an invokable method of that name and parameter list
    // ("QVariant,QObject*").
    static bool answers(QObject* target, const QByteArray& action, const QByteArray& parameters);

    static constexpr double PanelHeight = 260.0;
    static constexpr double ToolbarHeight = 44.0;
    static constexpr double PickerTop = 40.0;
    static constexpr double PickerHeight = 216.0;
    static constexpr double TitleWidth = 180.0;
    static constexpr double TitleHeight = 30.0;
    static constexpr double PadSize = 320.0;

protected:
    // The record at the tag, checked as the base checks it; the two formats are the tag
    // message's own.
    QVariantMap customButtonRecord(int tag, const char* tagMessage) const;
    // Runs kinds 1 and 2 (the picker closes first); false for kind 0.
    bool runClosingCustomButton(const QVariantMap& record);
    // The picker view is released: its delegate and data source cleared (when it has them).
    virtual void releasePickerView();
    void setPickerView(platform::ui::View* view) { m_pickerView = view; }
    // Done and Cancel act once; false after the first.
    bool beginEnding();

    // Shows a picker just made; one that fails to show is deleted before the error goes on.
    template<typename Picker> static Picker* showNewPicker(Picker* picker)
    {
        try {
            picker->showSheetPicker();
        } catch (...) {
            delete picker;
            throw;
        }
        return picker;
    }
    // Where the picker view sits in the panel.
    QRectF pickerFrame() const;
    // Wheels as wide as the panel, fed by the delegate and data source.
    static void setUpWheels(platform::ui::PickerView* picker,
        platform::ui::PickerViewDelegate* delegate, platform::ui::PickerViewDataSource* dataSource);
    // The value of a select-value custom button; none when the button was of a kind that
    // closes the picker (it has then run). Other kinds raise.
    std::optional<QVariant> customButtonSelectValue(int tag, const char* tagMessage);
    // Calls the success action with the value and origin; false when the target does not
    // answer to it.
    static bool invokeSuccessAction(
        QObject* target, const QByteArray& action, const QVariant& value, QObject* origin);
    // Run on cancel instead of the cancel action, when set.
    void setCancelBlock(ActionBlock block) { m_cancelBlock = std::move(block); }

private:
    void observeRotation();
    void stopObservingRotation();
    // Done and Cancel: once only, the target told, then the picker closes (even when the
    // target throws).
    void endWith(const std::function<void()>& notify);
    // Done and Cancel buttons, plain or custom-view, call the handler.
    void connectButton(
        platform::ui::BarButtonItem* item, void (AbstractSheetPicker::*handler)(QObject*));

    bool m_hideCancel = false;
    QPointer<platform::ui::Toolbar> m_toolbar;
    QString m_title;
    QPointer<platform::ui::View> m_pickerView;
    QVariantList m_customButtons;
    QVariantMap m_titleTextAttributes;
    QString m_attributedTitle;
    QPointer<platform::ui::BarButtonItem> m_barButtonItem;
    QPointer<platform::ui::BarButtonItem> m_doneBarButtonItem;
    QPointer<platform::ui::BarButtonItem> m_cancelBarButtonItem;
    QPointer<platform::ui::View> m_containerView;
    QPointer<QObject> m_target;
    QByteArray m_successAction;
    QByteArray m_cancelAction;
    QPointer<PickerSheet> m_actionSheet;
    QPointer<PopoverController> m_popOverController;
    bool m_selfReference = false;
    QRectF m_presentFromRect;
    QPointer<platform::ui::View> m_panel;
    bool m_ended = false;
    platform::NotificationCenter::Token m_rotationToken = 0;
    ActionBlock m_cancelBlock;
};

Q_DECLARE_METATYPE(AbstractSheetPicker::ActionBlock)
