#include "screens/ListSelectScreen.h"

ListSelectScreen::~ListSelectScreen() = default;
