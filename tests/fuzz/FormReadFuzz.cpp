// libFuzzer harness for the stored-form reader: any text must either read
// or raise EReadError, and a refused form must leave the objects unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "kelvo/chart/BakGndImg.h"
#include "kelvo/chart/JointLayers.h"
#include "kelvo/chart/ScaleProps.h"
#include "kelvo/chart/TextLabel.h"
#include "kelvo/platform/Streaming.h"

namespace {

template <class T>
void ReadInto(std::string_view text) {
  T object;
  const std::string before = vexa::WriteForm(object).dump();
  try {
    vexa::ReadFormText(object, text, "fuzz", "Obj");
    (void)vexa::WriteForm(object).dump();  // whatever was read can be written again
  } catch (const vexa::EReadError&) {
    if (vexa::WriteForm(object).dump() != before) std::abort();  // half-read
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  ReadInto<vexa::TScalePropsHoriz>(text);
  ReadInto<vexa::TScalePropsVert>(text);
  ReadInto<vexa::TTextLabel>(text);
  ReadInto<vexa::TJointLayers>(text);
  ReadInto<vexa::TBakGndImg>(text);
  return 0;
}
