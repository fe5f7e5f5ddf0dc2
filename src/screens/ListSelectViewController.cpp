#include "screens/ListSelectViewController.h"

ListSelectViewController::ListSelectViewController(QObject* parent)
    : ApplicationScreen(parent)
{
}

ListSelectViewController::ListSelectViewController(
    std::optional<QStringList> rows, Handler listSelectHandler, QObject* parent)
    : ApplicationScreen(parent)
    , m_rows(std::move(rows))
    , m_handler(std::move(listSelectHandler))
{
}

ListSelectViewController::~ListSelectViewController() = default;
