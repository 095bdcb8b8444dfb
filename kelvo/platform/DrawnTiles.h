// TDrawnTiles: where a bitmap has been drawn on since it last held a known
// picture. A painter that lays the same background every time (a chart's
// data area) declares the bitmap's picture known once it is laid; what is
// drawn afterwards marks the 16 x 16 pixel tiles it may touch; the next paint
// lays the background again over the marked tiles only, as every other pixel
// still holds it. Marks are conservative: a tile may be marked that nothing
// changed, never the reverse. Anything that writes pixels without marking
// (a resize, a load, a caller holding the raw pixels) stops the tracking.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace vexa {

class TDrawnTiles {
 public:
  static constexpr int Shift = 4;  // 16 x 16 pixel tiles
  static constexpr int32_t Tile = 1 << Shift;
  // Names the known picture; a painter compares it before trusting the marks.
  using TKey = std::array<int64_t, 6>;

  bool Tracking() const { return FTracking; }
  // Whether a mark would still change anything (tracking, not all marked).
  bool Open() const { return FTracking && !FAll; }
  const TKey& Key() const { return FKey; }

  // The bitmap of Width x Height pixels holds the picture Key names; nothing
  // has been drawn on it since.
  void Start(int32_t Width, int32_t Height, const TKey& Key) {
    FColumns = (std::max(Width, 0) + Tile - 1) >> Shift;
    FRows = (std::max(Height, 0) + Tile - 1) >> Shift;
    FMarks.assign(static_cast<size_t>(FColumns) * static_cast<size_t>(FRows), 0);
    FKey = Key;
    FTracking = true;
    FAll = false;
    FMarked = 0;
  }
  // The picture is no longer known.
  void Stop() { FTracking = false; }

  // Pixels [L, R) x [T, B) may have changed. Outside the bitmap: ignored.
  void Mark(int64_t L, int64_t T, int64_t R, int64_t B) {
    if (!FTracking || FAll) return;
    const int64_t c0 = std::max<int64_t>(L, 0) >> Shift;
    const int64_t r0 = std::max<int64_t>(T, 0) >> Shift;
    const int64_t c1 = std::min<int64_t>((R + Tile - 1) >> Shift, FColumns);
    const int64_t r1 = std::min<int64_t>((B + Tile - 1) >> Shift, FRows);
    if (L >= R || T >= B || c0 >= c1 || r0 >= r1) return;
    if (c0 == 0 && r0 == 0 && c1 == FColumns && r1 == FRows) {
      FAll = true;  // later marks cost nothing
      return;
    }
    for (int64_t r = r0; r < r1; ++r) {
      uint8_t* row = FMarks.data() + r * FColumns;
      for (int64_t c = c0; c < c1; ++c) FMarked += row[c] ^ 1, row[c] = 1;
    }
    // Seven eighths of the tiles marked: as good as all of them, so that
    // the marks after cost nothing.
    if (FMarked * 8 >= static_cast<int64_t>(FMarks.size()) * 7) FAll = true;
  }
  // Calls F(L, T, R, B) for every run of marked tiles along a row of tiles,
  // clipped to [L, R) x [T, B).
  template <class F>
  void ForEachMarked(int64_t L, int64_t T, int64_t R, int64_t B, F&& Fn) const {
    if (!FTracking || L >= R || T >= B) return;
    const int64_t c0 = std::max<int64_t>(L, 0) >> Shift;
    const int64_t r0 = std::max<int64_t>(T, 0) >> Shift;
    const int64_t c1 = std::min<int64_t>((R + Tile - 1) >> Shift, FColumns);
    const int64_t r1 = std::min<int64_t>((B + Tile - 1) >> Shift, FRows);
    for (int64_t r = r0; r < r1; ++r) {
      const uint8_t* row = FMarks.data() + r * FColumns;
      if (FAll) {
        Fn(std::max(L, c0 << Shift), std::max(T, r << Shift), std::min(R, c1 << Shift),
           std::min(B, (r + 1) << Shift));
        continue;
      }
      for (int64_t c = c0; c < c1;) {
        if (!row[c]) {
          ++c;
          continue;
        }
        int64_t e = c + 1;
        while (e < c1 && row[e]) ++e;
        Fn(std::max(L, c << Shift), std::max(T, r << Shift), std::min(R, e << Shift),
           std::min(B, (r + 1) << Shift));
        c = e;
      }
    }
  }

 private:
  std::vector<uint8_t> FMarks;  // FRows rows of FColumns tiles, 1: marked
  int64_t FColumns = 0, FRows = 0;
  TKey FKey{};
  bool FTracking = false;
  bool FAll = false;    // every tile marked
  int64_t FMarked = 0;  // tiles marked since Start
};

}  // namespace vexa
