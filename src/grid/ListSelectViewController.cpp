#include "grid/ListSelectViewController.h"

ListSelectViewController::ListSelectViewController(QObject* parent)
    : MainCollectionViewController(parent)
{
}

ListSelectViewController::ListSelectViewController(
    std::optional<QStringList> rows, Handler listSelectHandler, QObject* parent)
    : MainCollectionViewController(parent)
    , m_rows(std::move(rows))
    , m_handler(std::move(listSelectHandler))
{
}

ListSelectViewController::~ListSelectViewController() = default;
