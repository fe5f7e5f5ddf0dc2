#include "model/Filter.h"

Filter::Filter(QObject* parent)
    : QObject(parent)
{
}

Filter::~Filter() = default;
