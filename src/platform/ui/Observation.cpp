#include "platform/ui/Observation.h"

#include "platform/ui/Guard.h"

#include <QMetaProperty>
#include <QPointer>

namespace platform::ui {

namespace {

// Receives the notify signal (whatever its arguments) and reads the property anew.
class PropertyWatcher : public QObject {
public:
    PropertyWatcher(QObject* object, QMetaProperty property,
        std::function<void(const QVariant&)> observer, QObject* context)
        : QObject(context)
        , m_object(object)
        , m_property(property)
        , m_observer(std::move(observer))
    {
    }

    int qt_metacall(QMetaObject::Call call, int id, void** arguments) override
    {
        id = QObject::qt_metacall(call, id, arguments);
        if (id < 0 || call != QMetaObject::InvokeMetaMethod)
            return id;
        if (id == 0 && m_object) {
            const QVariant value = m_property.read(m_object);
            guarded([&] { m_observer(value); });
        }
        return id - 1;
    }

private:
    QPointer<QObject> m_object;
    QMetaProperty m_property;
    std::function<void(const QVariant&)> m_observer;
};

} // namespace

QMetaObject::Connection observeProperty(QObject* object, const char* property, QObject* context,
    std::function<void(const QVariant& value)> observer)
{
    if (!object || !property || !context || !observer)
        return {};
    const QMetaObject* meta = object->metaObject();
    const int index = meta->indexOfProperty(property);
    if (index < 0)
        return {};
    const QMetaProperty metaProperty = meta->property(index);
    if (!metaProperty.hasNotifySignal())
        return {};
    auto* watcher = new PropertyWatcher(object, metaProperty, std::move(observer), context);
    QObject::connect(object, &QObject::destroyed, watcher, &QObject::deleteLater);
    const int slot = QObject::staticMetaObject.methodCount();
    return QMetaObject::connect(
        object, metaProperty.notifySignalIndex(), watcher, slot, Qt::DirectConnection);
}

} // namespace platform::ui
