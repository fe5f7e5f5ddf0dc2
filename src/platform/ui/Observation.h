#pragma once

#include <QMetaObject>
#include <QObject>
#include <QVariant>

#include <functional>

namespace platform::ui {

// Watches one Qt property of an object (a controller's title, an image view's image)
// and calls back with the new value whenever the property's notify signal fires. The
// watch ends when the returned connection is disconnected or either object goes away.
// An object or property without a notify signal gives an invalid connection.
QMetaObject::Connection observeProperty(QObject* object, const char* property, QObject* context,
    std::function<void(const QVariant& value)> observer);

} // namespace platform::ui
