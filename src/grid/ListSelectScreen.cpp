#include "grid/ListSelectScreen.h"

ListSelectScreen::~ListSelectScreen() = default;
