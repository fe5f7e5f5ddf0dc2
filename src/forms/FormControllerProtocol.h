#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class FormRootElement;
class FormTableView;

namespace platform::ui {
class ViewController;
}

// What the elements of a form ask of the screen that shows them. The form controller
// answers all of it; the defaults are what a screen without a table answers.
class FormControllerProtocol {
public:
    virtual ~FormControllerProtocol();

    // The controller as an object: a controllerAction names one of its invokable
    // methods, taking the element (a pointer to FormElement or a subclass) or nothing.
    virtual QObject* controllerObject() = 0;
    // Whether the form's table is in editing mode (rows show reorder controls).
    virtual bool isFormTableEditing() const = 0;
    // Closes the choice list the controller shows.
    virtual void popToPreviousRootElement() = 0;
    // Lets or stops the form's table taking touches.
    virtual void setFormTableUserInteractionEnabled(bool enabled) = 0;

    // The controller as a screen, and its table; null for none.
    virtual platform::ui::ViewController* viewController() { return nullptr; }
    virtual FormTableView* formTableView() const { return nullptr; }
    // Opens the root as a form of its own, the way its presentation mode asks.
    virtual void displayViewControllerForRoot(FormRootElement*) { }
    // Shows another screen by a presentation mode (FormRootElement::PresentationMode).
    virtual void displayViewController(platform::ui::ViewController*, int /*presentationMode*/) { }
    // A new form screen for the root, made the way this controller makes its children
    // (not shown yet; the caller shows it). Null when none can be made.
    virtual FormControllerProtocol* controllerForRoot(FormRootElement*) { return nullptr; }
    // Run each time the screen is about to go.
    virtual void setWillDisappearCallback(std::function<void()>) { }
};

// A controller held without owning it: null once the controller is gone.
class FormControllerReference {
public:
    FormControllerReference() = default;
    explicit FormControllerReference(FormControllerProtocol* controller);

    FormControllerProtocol* get() const;

private:
    FormControllerProtocol* m_controller = nullptr;
    QPointer<QObject> m_object;
};
