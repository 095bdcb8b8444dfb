#include "kelvo/chart/JointLayers.h"

#include <utility>

#include "kelvo/platform/Streaming.h"

namespace vexa {

TJointLayers::TJointLayers(IJointLayersOwner* Owner) : FOwner(Owner) {
  for (int32_t n = 1; n <= 16; ++n) FX[n] = FY[n] = n;
  if (Owner) FOwnerAlive = Owner->OwnerAlive();
}

int32_t TJointLayers::ControlledBy(TJointAxis Axis, int32_t Layer) const {
  if (Layer < 1 || Layer > 16) return 0;
  return (Axis == TJointAxis::jaX ? FX : FY)[static_cast<size_t>(Layer)];
}

std::string TJointLayers::JoinProblem(const TTable& t, int32_t n, int32_t d) {
  if (d < 1 || d > 16) return "Destination layer " + std::to_string(d) + " is out of range";
  if (d == n) return {};
  if (t[static_cast<size_t>(d)] != d)
    return "Destination layer " + std::to_string(d) + " is already joined";
  std::string list;
  for (int32_t k = 1; k <= 16; ++k)
    if (k != n && t[static_cast<size_t>(k)] == n)
      list += (list.empty() ? "" : ", ") + std::to_string(k);
  if (!list.empty())
    return "Layer " + std::to_string(n) + " is joined by other layers (" + list + ")";
  return {};
}

void TJointLayers::SetControlledBy(TJointAxis Axis, int32_t Layer, int32_t Destination) {
  if (Layer < 1 || Layer > 16) return;  // no such property
  TTable& t = Axis == TJointAxis::jaX ? FX : FY;
  const std::string problem = JoinProblem(t, Layer, Destination);
  if (!problem.empty()) throw EVexaKelvoError(problem);
  t[static_cast<size_t>(Layer)] = Destination;
  if (Destination == Layer) return;  // released: the axis keeps its range, no notification
  if (FOwner && !FOwnerAlive.expired()) FOwner->LayerJoined(Layer, Axis);
  if (OnChange) OnChange(this);
}

void TJointLayers::Assign(const TPersistent* Source) {
  if (auto* s = dynamic_cast<const TJointLayers*>(Source)) {
    if (s == this) return;
    FX = s->FX;
    FY = s->FY;
    OnChange = s->OnChange;
    return;
  }
  TPersistent::Assign(Source);
}

void TJointLayers::AssignTo(TPersistent* Dest) const {
  if (auto* d = dynamic_cast<TJointLayers*>(Dest)) {
    d->Assign(this);
    return;
  }
  TPersistent::AssignTo(Dest);
}

namespace {
std::string PropertyName(int32_t n, TJointAxis a) {
  std::string name = "L";
  name += static_cast<char>('0' + n / 10);
  name += static_cast<char>('0' + n % 10);
  name += a == TJointAxis::jaX ? 'x' : 'y';
  return name + "ControlledBy";
}
}  // namespace

const TPropertyTable* TJointLayers::Properties() const {
  static const TPropertyTable table = [] {
    TPropertyTable t;
    TPublish<TJointLayers> publish(t);
    for (int32_t n = 1; n <= 16; ++n)
      for (TJointAxis a : {TJointAxis::jaX, TJointAxis::jaY}) {
        TPropInfo p;
        p.Name = PropertyName(n, a);
        p.Write = [n, a](const TPersistent& o) {
          return TFormValue(static_cast<const TJointLayers&>(o).ControlledBy(a, n));
        };
        p.Check = [](const TFormValue& v) { CheckInt(v, INT32_MIN, INT32_MAX); };
        p.Apply = [n, a](TPersistent& o, const TFormValue& v) {
          auto& j = static_cast<TJointLayers&>(o);
          if (j.FReading)
            j.FPending.push_back({a, n, v.get<int32_t>()});
          else
            j.SetControlledBy(a, n, v.get<int32_t>());
        };
        publish.Custom(std::move(p));
      }
    return t;
  }();
  return &table;
}

// A form's entries replace the table's: the layers it names are released
// first, and its joins then keep the rules in file order. So a table read
// whole gives the same result whatever table the object had, and a form
// naming a few entries changes those alone.
void TJointLayers::ValidateForm(const nlohmann::ordered_json& Form) const {
  TTable x = FX, y = FY;
  const auto entry = [](const std::string& Key) {
    // Names were checked already: L<nn><x|y>ControlledBy.
    return std::pair{Key[3] == 'x' ? TJointAxis::jaX : TJointAxis::jaY,
                     (Key[1] - '0') * 10 + (Key[2] - '0')};
  };
  for (const auto& [key, value] : Form.items()) {
    const auto [axis, n] = entry(key);
    (axis == TJointAxis::jaX ? x : y)[static_cast<size_t>(n)] = n;
  }
  for (const auto& [key, value] : Form.items()) {
    const auto [axis, n] = entry(key);
    TTable& t = axis == TJointAxis::jaX ? x : y;
    const int32_t d = value.get<int32_t>();
    const std::string problem = JoinProblem(t, n, d);
    if (!problem.empty()) throw TFormPropertyError{key, problem};
    t[static_cast<size_t>(n)] = d;
  }
}

void TJointLayers::FormReadBegin() {
  FReading = true;
  FPending.clear();
}

void TJointLayers::FormReadEnd() {
  FReading = false;
  std::vector<TPendingJoin> pending;
  pending.swap(FPending);
  // As the form was checked: the layers it names released, then its joins.
  for (const TPendingJoin& j : pending)
    (j.Axis == TJointAxis::jaX ? FX : FY)[static_cast<size_t>(j.Layer)] = j.Layer;
  for (const TPendingJoin& j : pending) SetControlledBy(j.Axis, j.Layer, j.Destination);
}

}  // namespace vexa
