#include "grid/ListSelectRowViewController.h"

ListSelectRowViewController::ListSelectRowViewController() = default;

ListSelectRowViewController::~ListSelectRowViewController() = default;

QVariant ListSelectRowViewController::pageSize()
{
    return -1;
}
