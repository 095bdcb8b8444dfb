// The library's exception classes.
#pragma once

#include "kelvo/platform/Errors.h"

namespace vexa {

class EVexaError : public Exception {
 public:
  using Exception::Exception;
};

// Raised for an invalid joint-layer assignment and for a logarithmic range
// that is not positive when the chart maps it.
class EVexaKelvoError : public EVexaError {
 public:
  using EVexaError::EVexaError;
};

}  // namespace vexa
