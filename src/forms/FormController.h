#pragma once

#include "forms/FormControllerProtocol.h"
#include "grid/BaseViewController.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/KeyboardObserver.h"
#include "platform/ui/TableView.h"

#include <QPointer>

#include <functional>
#include <memory>

class FormElement;
class FormRootElement;
class FormSection;
class FormTableView;
class PopoverController;

namespace platform::ui {
class NavigationController;
}

// The screen that shows a form root as a table, and the base of every detail form; as a
// base screen it also has a screen record, toolbars, the counted overlay and popovers. It
// opens nested roots the way each asks (pushed, in a popover, modally), closes a choice
// list after a pick, shows a loading overlay, keeps the table clear of the keyboard, and
// shows and hides rows and sections with animations. Main thread only.
class FormController : public BaseViewController, public FormControllerProtocol {
    Q_OBJECT

public:
    Q_INVOKABLE explicit FormController(QObject* parent = nullptr);
    FormController(std::shared_ptr<FormRootElement> root, QObject* parent = nullptr);
    ~FormController() override;

    // Shows the root and watches the keyboard.
    void initWithRoot(std::shared_ptr<FormRootElement> root);

    // The class a root names (registered with FormClassRegistry), FormController for a
    // root naming none, null for a name no class answers to.
    static const QMetaObject* controllerClassForRoot(const FormRootElement* root);
    // A new controller of the class (FormController for null) showing the root.
    static FormController* buildControllerWithClass(
        const QMetaObject* cls, std::shared_ptr<FormRootElement> root);
    // The form of the class the root names; null, with "Couldn't find a class for name
    // %@" in the log, when no class has that name.
    static FormController* controllerForRoot(std::shared_ptr<FormRootElement> root);
    // The form inside a new navigation controller.
    static platform::ui::NavigationController* controllerWithNavigationForRoot(
        std::shared_ptr<FormRootElement> root);

    FormRootElement* root() const { return m_root.get(); }
    const std::shared_ptr<FormRootElement>& sharedRoot() const { return m_root; }
    void setRoot(std::shared_ptr<FormRootElement> root);

    bool keyboardVisible() const { return m_keyboardVisible; }
    bool viewOnScreen() const { return m_viewOnScreen; }
    bool resizeWhenKeyboardPresented() const { return m_keyboardObserver.isActive(); }
    // Watches the keyboard's will-show and will-hide (true) or stops (false).
    void setResizeWhenKeyboardPresented(bool resize);
    // A keyboard notification: the table's bottom inset makes room for the keyboard.
    void resizeForKeyboard(const platform::Notification& notification);

    // The popover this form shows in, set by the form that opened it.
    PopoverController* popoverBeingPresented() const;
    void setPopoverBeingPresented(PopoverController* popover);
    // A popover this form opened for a screen that is no form.
    PopoverController* popoverForChildRoot() const;
    // The form this one opened in a popover.
    FormController* popoverBeingPresentedParent() const;

    // Shows a screen: 0 pushed (or presented in a navigation controller when there is no
    // stack), 1 in a popover, 2 in a popover with a navigation controller (pushed on a
    // phone), 3 to 5 modally as form sheet, full screen or page sheet with a "Close"
    // button. Any other mode shows nothing.
    void displayViewController(
        platform::ui::ViewController* controller, int presentationMode) override;
    void displayViewController(platform::ui::ViewController* controller);
    // In a popover from the selected row (on a phone: displayViewController).
    void displayViewControllerInPopover(platform::ui::ViewController* controller, bool navigation);
    // In a popover pointing at the rectangle (the controller's view's coordinates), of the
    // child's getPopupSize or 320 by 360.
    void displayViewControllerInPopover(
        platform::ui::ViewController* controller, bool navigation, const QRectF& rect);
    void dismissModalViewController();
    // Closes the list this form is: its popover, else a step back on the stack, else its
    // modal screen. From another thread it runs on the main thread and waits.
    void popToPreviousRootElement() override;
    void popToPreviousRootElementOnMainThread();

    // A dark overlay with a spinner over the table while loading; the table takes no
    // touches meanwhile.
    void loading(bool loading);
    platform::ui::View* createLoadingView();
    static constexpr int LoadingViewTag = 1123002;

    // Rows and sections shown and hidden with animations; rows already in the wanted
    // state change nothing.
    using RowAnimation = platform::ui::TableView::RowAnimation;
    void showElementsWithAnimation(RowAnimation animation, const QList<FormElement*>& elements);
    void hideElementsWithAnimation(RowAnimation animation, const QList<FormElement*>& elements);
    // The hidden ones are shown, the shown ones hidden, in one update.
    void switchElementsWithAnimation(RowAnimation animation, const QList<FormElement*>& elements);
    void showSectionsWithAnimation(RowAnimation animation, const QList<FormSection*>& sections);
    void hideSectionsWithAnimation(RowAnimation animation, const QList<FormSection*>& sections);
    void showHideElementsWithInsertAnimation(RowAnimation insertAnimation,
        RowAnimation removeAnimation, const QList<FormElement*>& elementsToInsert,
        const QList<FormElement*>& elementsToRemove);
    void showHideSectionsWithInsertAnimation(RowAnimation insertAnimation,
        RowAnimation removeAnimation, const QList<FormSection*>& sectionsToInsert,
        const QList<FormSection*>& sectionsToRemove);

    // The table edits (reorder controls) with the controller.
    void setEditing(bool editing, bool animated);
    bool isEditing() const { return m_editing; }

    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    bool prefersStatusBarHidden() const override;

    // FormControllerProtocol.
    QObject* controllerObject() override { return this; }
    bool isFormTableEditing() const override;
    void setFormTableUserInteractionEnabled(bool enabled) override;
    platform::ui::ViewController* viewController() override { return this; }
    FormTableView* formTableView() const override;
    void displayViewControllerForRoot(FormRootElement* root) override;
    FormControllerProtocol* controllerForRoot(FormRootElement* root) override;
    void setWillDisappearCallback(std::function<void()> callback) override
    {
        m_willDisappearCallback = std::move(callback);
    }

    // The base forgets its popover; the table shows what the popover changed.
    void popoverControllerDidDismissPopover(PopoverController* controller) override;

private:
    std::shared_ptr<FormRootElement> m_root;
    QPointer<FormTableView> m_formTableView;
    std::function<void()> m_willDisappearCallback;
    bool m_keyboardVisible = false;
    bool m_viewOnScreen = false;
    QPointer<PopoverController> m_popoverBeingPresented;
    QPointer<PopoverController> m_popoverForChildRoot;
    QPointer<FormController> m_popoverBeingPresentedParent;
    bool m_editing = false;
    platform::ui::KeyboardObserver m_keyboardObserver { this,
        [this](const platform::Notification& note) { resizeForKeyboard(note); } };
};
