#pragma once

#include <QObject>
#include <QPointer>

namespace platform::ui {

// A delegate or data source a view does not own. When the object behind it is a QObject
// (a view controller, say), the pointer turns null as that object goes, so a view that
// outlives its controller for a moment never calls into a destroyed one.
template<class T> class DelegatePointer {
public:
    DelegatePointer() = default;

    DelegatePointer& operator=(T* pointer)
    {
        m_pointer = pointer;
        m_object = pointer ? dynamic_cast<QObject*>(pointer) : nullptr;
        m_isObject = !m_object.isNull();
        return *this;
    }

    T* get() const { return m_isObject && m_object.isNull() ? nullptr : m_pointer; }
    T* operator->() const { return get(); }
    explicit operator bool() const { return get() != nullptr; }

private:
    T* m_pointer = nullptr;
    QPointer<QObject> m_object;
    bool m_isObject = false;
};

} // namespace platform::ui
