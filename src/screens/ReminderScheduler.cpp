#include "screens/ReminderScheduler.h"

ReminderScheduler::~ReminderScheduler() = default;
