// TObject, TPersistent and TComponent: the object model the controls and
// settings objects stand on.
#pragma once

#include <functional>
#include <nlohmann/json_fwd.hpp>
#include <string>
#include <typeinfo>
#include <vector>

#include "Errors.h"
#include "Events.h"
#include "Types.h"

namespace vexa {

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  // The class name as the framework reports it ("TScale"); used in messages.
  virtual std::string ClassName() const;
};

using TNotifyEvent = TEvent<void(TObject* Sender)>;

// An object whose settings can be copied into another one. Assign asks the
// destination first and then the source (AssignTo); when neither knows the
// pair, EConvertError "Cannot assign a <source> to a <destination>" is raised.
class TPropertyTable;

class TPersistent : public TObject {
 public:
  virtual void Assign(const TPersistent* Source);

  // The published properties in streaming order (Streaming.h); none by default.
  virtual const TPropertyTable* Properties() const { return nullptr; }
  // Rules between a stored form's values that the single properties cannot
  // check, judged against this object's present state; throws
  // TFormPropertyError. Nothing by default.
  virtual void ValidateForm(const nlohmann::ordered_json& Form) const { (void)Form; }
  // Called around applying a stored form's values to this object, for
  // rules that must wait until all values are in.
  virtual void FormReadBegin() {}
  virtual void FormReadEnd() {}

 protected:
  virtual void AssignTo(TPersistent* Dest) const;
};

// A named object with an owner. The owner pointer only names the object that
// created this one; ownership itself is held by C++ members of the owner.
// The owner lists the components it created, so that stored forms can name
// one another (FindComponent); a component leaves the list when destroyed.
class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* AOwner = nullptr);
  ~TComponent() override;

  const std::string& Name() const { return FName; }
  virtual void SetName(const std::string& Value) { FName = Value; }
  TComponent* Owner() const { return FOwner; }
  // The owned component of that name, or nullptr (an empty name finds none).
  TComponent* FindComponent(const std::string& Name) const;
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }

  TComponentState ComponentState() const { return FComponentState; }
  // The framework's loading state: set while a stored form is read.
  bool IsLoading() const { return FComponentState.Contains(TComponentStateItem::csLoading); }
  bool IsDesigning() const { return FComponentState.Contains(TComponentStateItem::csDesigning); }

  // Stored-form reading calls BeginLoading, applies the stored values, then
  // calls Loaded, which ends the loading state.
  void BeginLoading() { FComponentState.Include(TComponentStateItem::csLoading); }
  // Leaves the loading state without Loaded's work (a form read that failed).
  void EndLoading() { FComponentState.Exclude(TComponentStateItem::csLoading); }
  void SetDesigning(bool Value);
  virtual void Loaded() { FComponentState.Exclude(TComponentStateItem::csLoading); }

 private:
  TComponent* FOwner;
  std::vector<TComponent*> FComponents;
  std::string FName;
  TComponentState FComponentState;
};

}  // namespace vexa
