// Work that the operator stopped (a long read, a backup): not a failure of the data, so the
// screens say nothing or only that it was stopped.
#pragma once

#include "dataerror.h"

class Cancelled : public DataError {
public:
    explicit Cancelled(const QString &description) : DataError(description) {}
};
