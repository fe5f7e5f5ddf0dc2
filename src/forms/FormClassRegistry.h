#pragma once

#include <QMetaObject>
#include <QObject>
#include <QString>

// Form classes by name, so a root's controllerName and a description's "type" find the
// class they name. The engine's own elements and sections are known from the start; an
// application class registers itself before a form names it. Usable from any thread.
class FormClassRegistry {
public:
    FormClassRegistry() = delete;

    static void registerClass(const QMetaObject* cls);
    template<class T> static void registerClass() { registerClass(&T::staticMetaObject); }

    // The class registered under the name, or null.
    static const QMetaObject* classNamed(const QString& name);
    // A new instance of the named class made by its invokable default constructor, when
    // it is that class or a subclass of `base`; null otherwise. The caller owns it.
    static QObject* create(const QString& name, const QMetaObject* base);
};
