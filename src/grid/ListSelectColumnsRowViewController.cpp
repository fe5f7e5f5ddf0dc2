#include "grid/ListSelectColumnsRowViewController.h"

ListSelectColumnsRowViewController::ListSelectColumnsRowViewController() = default;

ListSelectColumnsRowViewController::~ListSelectColumnsRowViewController() = default;
