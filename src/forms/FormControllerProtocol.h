#pragma once

#include <QObject>
#include <QPointer>

class FormRootElement;

// What the elements of a form ask of the screen that shows them.
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
