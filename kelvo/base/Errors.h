// The library's exception classes, and its one error policy (the guide's
// "Errors" section says the same for users):
// - a request that cannot be carried out as asked raises, with a message
//   naming what was refused, and changes nothing: EVexaKelvoError (chart
//   rules: joined layers, a logarithmic range that is not positive at
//   mapping time, indexes, series storage), EReadError (stored forms),
//   EInvalidGraphic (pictures), EFOpenError (files), EConvertError (Assign);
// - values outside a property's range are clamped or ignored silently, as
//   each property's header says;
// - a mapping that is not valid yet is reported by Paint and UpdateMapping
//   only (MappingValid() tells), never by the setter that made it;
// - refusals of data sharing go to the window services' message box; the
//   library opens no window of its own.
#pragma once

#include "kelvo/platform/Errors.h"

namespace vexa {

class EVexaError : public Exception {
 public:
  using Exception::Exception;
};

// Raised for an invalid joint-layer assignment, a logarithmic range that is
// not positive when the chart maps it, an index that does not exist and
// series data that cannot be stored.
class EVexaKelvoError : public EVexaError {
 public:
  using EVexaError::EVexaError;
};

}  // namespace vexa
