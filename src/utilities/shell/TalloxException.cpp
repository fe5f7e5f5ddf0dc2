#include "utilities/shell/TalloxException.h"

const QString TalloxException::Name = QStringLiteral("TalloxException");

TalloxException::TalloxException(const QString& reason)
    : platform::Exception(Name, reason)
{
}

TalloxException::~TalloxException() = default;
