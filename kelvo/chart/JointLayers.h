// TJointLayers: which layers' axes follow another layer's axis. A joined
// axis always shows its controller's range. Chains are refused: a
// controller cannot itself be joined and a joined layer controls nobody.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "kelvo/base/Errors.h"
#include "kelvo/platform/Classes.h"

namespace vexa {

enum class TJointAxis : uint8_t { jaX, jaY };

// The chart the table acts on: after every successful join it copies the
// controller's range to the joined layer at once.
class IJointLayersOwner {
 public:
  virtual ~IJointLayersOwner() = default;
  virtual void LayerJoined(int32_t Layer, TJointAxis Axis) = 0;
  // Expires when the owner goes away; the table never calls a dead owner.
  virtual std::weak_ptr<const void> OwnerAlive() const = 0;
};

class TJointLayers : public TPersistent {
 public:
  explicit TJointLayers(IJointLayersOwner* Owner = nullptr);

  // Entry n of the x or y table: the controller of layer n's axis (n itself
  // when it is not joined). Layers outside 1..16 read as 0.
  int32_t ControlledBy(TJointAxis Axis, int32_t Layer) const;
  // Joins layer n's axis to layer d (d = n releases it). Raises
  // EVexaKelvoError, changing nothing, when d is outside 1..16, when d is
  // joined itself, or when n controls other layers.
  void SetControlledBy(TJointAxis Axis, int32_t Layer, int32_t Destination);
  int32_t XControlledBy(int32_t Layer) const { return ControlledBy(TJointAxis::jaX, Layer); }
  int32_t YControlledBy(int32_t Layer) const { return ControlledBy(TJointAxis::jaY, Layer); }
  void SetXControlledBy(int32_t Layer, int32_t Value) {
    SetControlledBy(TJointAxis::jaX, Layer, Value);
  }
  void SetYControlledBy(int32_t Layer, int32_t Value) {
    SetControlledBy(TJointAxis::jaY, Layer, Value);
  }

  TNotifyEvent OnChange;

  // Copies both tables and OnChange, without checks, notification or range
  // application; the owner stays this object's own.
  void Assign(const TPersistent* Source) override;
  // L01xControlledBy, L01yControlledBy, ... L16yControlledBy.
  const TPropertyTable* Properties() const override;
  // A stored table must keep the rules when the layers it names are
  // released and its entries then applied in order; it is read that way.
  void ValidateForm(const nlohmann::ordered_json& Form) const override;
  void FormReadBegin() override;
  void FormReadEnd() override;

 protected:
  void AssignTo(TPersistent* Dest) const override;

 private:
  using TTable = std::array<int32_t, 17>;  // index 0 unused
  // The rule check shared by the setter and form validation; returns the
  // error message, or an empty string when the join is allowed.
  static std::string JoinProblem(const TTable& Table, int32_t Layer, int32_t Destination);

  TTable FX{}, FY{};
  // The entries of a form being read, applied together at its end.
  struct TPendingJoin {
    TJointAxis Axis;
    int32_t Layer, Destination;
  };
  bool FReading = false;
  std::vector<TPendingJoin> FPending;
  IJointLayersOwner* FOwner;
  std::weak_ptr<const void> FOwnerAlive;
};

}  // namespace vexa
