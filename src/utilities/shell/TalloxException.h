#pragma once

#include "platform/Exception.h"

// The exception the foundation raises for an error object handed to it (throwIfError):
// its reason is the error's description, and it carries no user information.
class TalloxException : public platform::Exception {
public:
    explicit TalloxException(const QString& reason);
    ~TalloxException() override;

    static const QString Name; // "TalloxException"
};
