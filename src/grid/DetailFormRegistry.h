#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class BaseViewController;

// The detail forms a screen record can name, by class name. A form is opened in two
// steps: its root (a plain element tree, no widgets) is built off the main thread, then
// the form's screen is made over that root on the main thread. The form engine registers
// its forms; the grid knows them only through this registry.
class DetailFormRegistry {
public:
    struct FormClass {
        // Any thread: the form's root, titled when a title is given (createFormWithTitle),
        // else the form's own (createForm). It may raise; it makes no widgets, and what it
        // returns must be usable on the main thread.
        std::function<std::shared_ptr<QObject>(const QString& title)> createForm;
        // Main thread: a new form screen over the root, owned by the caller until shown.
        std::function<BaseViewController*(const std::shared_ptr<QObject>& root)> controllerForRoot;
    };

    DetailFormRegistry() = delete;

    // Registering a name again replaces its entry.
    static void registerForm(const QString& className, FormClass formClass);
    static void unregisterForm(const QString& className);
    // The form class of that name; nullopt for an empty or unknown name.
    static std::optional<FormClass> formClass(const QString& className);
};
