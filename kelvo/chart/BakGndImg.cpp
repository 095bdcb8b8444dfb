#include "kelvo/chart/BakGndImg.h"

#include "kelvo/platform/Streaming.h"

namespace vexa {

std::string TBakGndImg::FileNamePart(const std::string& Path) {
  const size_t cut = Path.find_last_of("/\\:");
  return cut == std::string::npos ? Path : Path.substr(cut + 1);
}

void TBakGndImg::SetName(const std::string& Value) {
  FName = FIncludePath || FReading ? Value : FileNamePart(Value);
  Changed();
}

void TBakGndImg::FormReadEnd() {
  FReading = false;
  if (!FIncludePath) FName = FileNamePart(FName);
}

void TBakGndImg::SetIncludePath(bool Value) {
  FIncludePath = Value;
  if (!Value) FName = FileNamePart(FName);
  Changed();
}

void TBakGndImg::SetFillMode(TBkgFill Value) {
  FFillMode = Value;
  Changed();
}
void TBakGndImg::SetAreaMode(TBGAreaMode Value) {
  FAreaMode = Value;
  Changed();
}
void TBakGndImg::SetAreaColor(TColor Value) {
  FAreaColor = Value;
  Changed();
}
void TBakGndImg::SetAreaLeft(double Value) {
  FAreaLeft = Value;
  Changed();
}
void TBakGndImg::SetAreaRight(double Value) {
  FAreaRight = Value;
  Changed();
}
void TBakGndImg::SetAreaTop(double Value) {
  FAreaTop = Value;
  Changed();
}
void TBakGndImg::SetAreaBottom(double Value) {
  FAreaBottom = Value;
  Changed();
}

void TBakGndImg::Assign(const TPersistent* Source) {
  if (auto* s = dynamic_cast<const TBakGndImg*>(Source)) {
    if (s == this) return;
    FName = s->FName;
    FIncludePath = s->FIncludePath;
    FFillMode = s->FFillMode;
    FAreaMode = s->FAreaMode;
    FAreaColor = s->FAreaColor;
    FAreaLeft = s->FAreaLeft;
    FAreaRight = s->FAreaRight;
    FAreaTop = s->FAreaTop;
    FAreaBottom = s->FAreaBottom;
    OnChange = s->OnChange;
    return;
  }
  TPersistent::Assign(Source);
}

void TBakGndImg::AssignTo(TPersistent* Dest) const {
  if (auto* d = dynamic_cast<TBakGndImg*>(Dest)) {
    d->Assign(this);
    return;
  }
  TPersistent::AssignTo(Dest);
}

const TPropertyTable* TBakGndImg::Properties() const {
  static const TPropertyTable table = [] {
    using B = TBakGndImg;
    TPropertyTable t;
    TPublish<B>(t)
        .String("Name", &B::Name, &B::SetName)
        .Bool("IncludePath", &B::IncludePath, &B::SetIncludePath)
        .Enum<TBkgFill>("FillMode", &B::FillMode, &B::SetFillMode, TBkgFillNames)
        .Enum<TBGAreaMode>("AreaMode", &B::AreaMode, &B::SetAreaMode, TBGAreaModeNames)
        .Color("AreaColor", &B::AreaColor, &B::SetAreaColor)
        .Double("AreaLeft", &B::AreaLeft, &B::SetAreaLeft)
        .Double("AreaRight", &B::AreaRight, &B::SetAreaRight)
        .Double("AreaTop", &B::AreaTop, &B::SetAreaTop)
        .Double("AreaBottom", &B::AreaBottom, &B::SetAreaBottom);
    return t;
  }();
  return &table;
}

}  // namespace vexa
