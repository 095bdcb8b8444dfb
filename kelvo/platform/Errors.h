// The framework's exception classes.
#pragma once

#include <stdexcept>
#include <string>

namespace vexa {

// Base of every exception the framework and the library raise.
class Exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Raised by TPersistent::Assign when two classes cannot be copied into each other.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// A picture file that is missing, truncated, corrupt or of a kind we cannot read.
class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
};

// A file that cannot be opened or written.
class EFOpenError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace vexa
