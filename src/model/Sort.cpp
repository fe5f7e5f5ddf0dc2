#include "model/Sort.h"

Sort::Sort(QObject* parent)
    : QObject(parent)
{
}

Sort::~Sort() = default;
