#include "widgets/RatePromptDelegate.h"

RatePromptDelegate::~RatePromptDelegate() = default;
