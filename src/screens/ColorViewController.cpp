#include "screens/ColorViewController.h"

ColorViewController::ColorViewController(QObject* parent)
    : ApplicationScreen(parent)
{
}

ColorViewController::ColorViewController(Handler listSelectHandler, QObject* parent)
    : ApplicationScreen(parent)
    , m_handler(std::move(listSelectHandler))
{
}

ColorViewController::~ColorViewController() = default;
