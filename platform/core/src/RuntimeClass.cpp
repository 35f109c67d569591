// Run-time class records: kind-of tests and creation by name.

#include "core/Object.h"

// CObject is the root of every chain and is never created from its record.
constinit const CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)),
                                                       0xFFFF, nullptr, nullptr};
