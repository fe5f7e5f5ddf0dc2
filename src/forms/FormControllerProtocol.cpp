#include "forms/FormControllerProtocol.h"

FormControllerProtocol::~FormControllerProtocol() = default;

FormControllerReference::FormControllerReference(FormControllerProtocol* controller)
    : m_controller(controller)
    , m_object(controller ? controller->controllerObject() : nullptr)
{
}

FormControllerProtocol* FormControllerReference::get() const
{
    return m_object ? m_controller : nullptr;
}
