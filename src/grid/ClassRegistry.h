#pragma once

#include <QMetaObject>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <type_traits>

// The classes that screen records name, found by class name. A record holds the name
// only, so it may name a class that a later layer registers; the name is resolved when
// the screen is made. Registering a class again replaces its entry.
class ClassRegistry {
public:
    using Factory = std::function<std::shared_ptr<QObject>()>;

    ClassRegistry() = delete;

    // Registers T under its class name; a default-constructible T can also be made.
    template<class T> static void registerClass()
    {
        static_assert(QtPrivate::HasQ_OBJECT_Macro<T>::Value,
            "a registered class declares Q_OBJECT, so its name and ancestry are its own");
        Factory factory;
        if constexpr (std::is_default_constructible_v<T> && !std::is_abstract_v<T>)
            factory = [] { return std::static_pointer_cast<QObject>(std::make_shared<T>()); };
        registerClass(&T::staticMetaObject, std::move(factory));
    }
    static void registerClass(const QMetaObject* metaObject, Factory factory = {});
    static void unregisterClass(const QString& className);

    // The class of that name; null for an empty or unknown name.
    static const QMetaObject* metaObject(const QString& className);
    // Whether the named class is `base` or derives from it; false for an unknown name.
    static bool isKindOfClass(const QString& className, const QMetaObject* base);
    // A new instance of the named class; null for an unknown name or a class that cannot
    // be made without arguments.
    static std::shared_ptr<QObject> create(const QString& className);
    template<class T> static std::shared_ptr<T> create(const QString& className)
    {
        return std::dynamic_pointer_cast<T>(create(className));
    }
};
