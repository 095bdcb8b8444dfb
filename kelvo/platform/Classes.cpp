#include "Classes.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace vexa {

std::string TObject::ClassName() const {
  const char* mangled = typeid(*this).name();
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(
      abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
  std::string name = (status == 0 && demangled) ? demangled.get() : mangled;
  // Report the bare class name, as the framework does.
  auto pos = name.rfind("::");
  return pos == std::string::npos ? name : name.substr(pos + 2);
}

void TPersistent::Assign(const TPersistent* Source) {
  if (Source != nullptr) {
    Source->AssignTo(this);
    return;
  }
  throw EConvertError("Cannot assign a nil to a " + ClassName());
}

void TPersistent::AssignTo(TPersistent* Dest) const {
  std::string dest = Dest != nullptr ? Dest->ClassName() : std::string("nil");
  throw EConvertError("Cannot assign a " + ClassName() + " to a " + dest);
}

TComponent::TComponent(TComponent* AOwner) : FOwner(AOwner) {
  if (FOwner) FOwner->FComponents.push_back(this);
}

TComponent::~TComponent() {
  if (FOwner) std::erase(FOwner->FComponents, this);
  for (TComponent* c : FComponents) c->FOwner = nullptr;  // outliving their owner
}

TComponent* TComponent::FindComponent(const std::string& Name) const {
  if (Name.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (c->Name() == Name) return c;
  return nullptr;
}

void TComponent::SetDesigning(bool Value) {
  if (Value)
    FComponentState.Include(TComponentStateItem::csDesigning);
  else
    FComponentState.Exclude(TComponentStateItem::csDesigning);
}

}  // namespace vexa
