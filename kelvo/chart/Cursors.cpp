// The chart's four mouse cursors, 32 x 32 in two colours, registered as
// screen cursors 1 to 4. '#' is black, '.' white, ' ' lets the screen show.
#include <array>
#include <string_view>

#include "kelvo/chart/CustomKelvo.h"
#include "kelvo/platform/WindowServices.h"

namespace vexa {

namespace {

using TArt = std::array<std::string_view, 32>;

// An open hand; the hot spot is the tip of the middle finger.
constexpr TArt kHand = {
    "",
    "",
    "           ##",
    "        ## #.## ",
    "       #..##..#",
    "       #..#..#.##",
    "       #..#..#.#.#",
    "   ##  #..#..#.#..#",
    "  #..# #..#..#.#..#",
    "  #...##..#..#.#..#",
    "   #..#...........#",
    "    #.#...........#",
    "    #.............#",
    "     #............#",
    "     #...........#",
    "      #..........#",
    "       #........#",
    "       #........#",
    "       ##########",
};

// A cross hair at the top-left corner of a framed window with a diagonal arrow.
constexpr TArt kZoomWindow = {
    "",
    "",
    "",
    "       #",
    "       #",
    "       #",
    "       #",
    "",
    "  #### . ####",
    "",
    "       #",
    "       # ##############",
    "       # #............#",
    "       # #.##.........#",
    "         #.###........#",
    "         #..###.......#",
    "         #...###......#",
    "         #....###.....#",
    "         #.....###..#.#",
    "         #......###.#.#",
    "         #.......####.#",
    "         #.....######.#",
    "         #............#",
    "         ##############",
};

// Four arrows pointing diagonally outward from a small centre square.
constexpr TArt kZoomDrag = {
    "",
    "",
    "",
    "   #####             #####",
    "   ####               ####",
    "   ####               ####",
    "   ## ##             ## ##",
    "   #   ##           ##   #",
    "        ##         ##",
    "         ##       ##",
    "          ##     ##",
    "           ##   ##",
    "            #####",
    "            #...#",
    "            #...#",
    "            #...#",
    "            #####",
    "           ##   ##",
    "          ##     ##",
    "         ##       ##",
    "        ##         ##",
    "   #   ##           ##   #",
    "   ## ##             ## ##",
    "   ####               ####",
    "   ####               ####",
    "   #####             #####",
};

// As the zoom window, with plus signs near its right edge and minus signs
// near its bottom edge.
constexpr TArt kZoomPlusMinus = {
    "",
    "",
    "       #",
    "       #",
    "       #",
    "       #",
    "",
    "  #### . ####",
    "",
    "       #",
    "       # ##############",
    "       # #............#",
    "       # #.##......#..#",
    "         #.###....###.#",
    "         #..###....#..#",
    "         #...###......#",
    "         #....###..#..#",
    "         #.....######.#",
    "         #......####..#",
    "         #.......###..#",
    "         #............#",
    "         #.###..###...#",
    "         #............#",
    "         ##############",
};

TCursorImage MakeCursor(const char* Name, int HotX, int HotY, const TArt& Art) {
  TCursorImage c;
  c.Name = Name;
  c.HotX = HotX;
  c.HotY = HotY;
  for (size_t y = 0; y < 32; ++y) {
    uint32_t andMask = 0xFFFFFFFFu, xorMask = 0;
    for (size_t x = 0; x < Art[y].size() && x < 32; ++x) {
      const uint32_t bit = 1u << (31 - x);
      if (Art[y][x] == '#') andMask &= ~bit;
      if (Art[y][x] == '.') {
        andMask &= ~bit;
        xorMask |= bit;
      }
    }
    c.AndMask[y] = andMask;
    c.XorMask[y] = xorMask;
  }
  return c;
}

}  // namespace

void TCustomKelvo::RegisterCursors() {
  Screen().SetCursors(1, MakeCursor("CURHAND", 12, 3, kHand));
  Screen().SetCursors(2, MakeCursor("CURZOOMW", 7, 9, kZoomWindow));
  Screen().SetCursors(3, MakeCursor("CURZOOMD", 15, 15, kZoomDrag));
  Screen().SetCursors(4, MakeCursor("CURZOOMP", 7, 8, kZoomPlusMinus));
}

}  // namespace vexa
