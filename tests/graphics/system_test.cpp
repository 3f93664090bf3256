// Present, the system-facing end of the graphics layer, run natively and
// (with GDI) under Wine: rows must arrive right side up on the screen and
// never beyond the bitmap.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/graphics.h"
#include "screen.h"

TEST(Present, RowsArriveRightSideUpAndClipped) {
  // 3 x 3 picture with distinct pixels; the rectangle is cut to the bitmap.
  GUIB_Ref<c_GUIB_Bitmap> b(new c_GUIB_Bitmap(3, 3));
  for (uint32_t i = 0; i < 9; ++i) b->Pixels()[i] = 0x80000000 | (i + 1) * 0x010203;
  const std::vector<uint32_t> screen = PresentOnScreen(b.get(), 2, 1, GUIB_Rect{1, 0, 9, 9}, 5, 4);
  const uint32_t P[10] = {0,        0x010203, 0x020406, 0x030609, 0x04080C,
                          0x050A0F, 0x060C12, 0x070E15, 0x081018, 0x09121B};
  const std::vector<uint32_t> expected = {0, 0, 0,    0,    0,  //
                                          0, 0, P[2], P[3], 0,  //
                                          0, 0, P[5], P[6], 0,  //
                                          0, 0, P[8], P[9], 0};
  EXPECT_EQ(screen, expected);
  // Nothing for a rectangle outside the bitmap.
  EXPECT_EQ(PresentOnScreen(b.get(), 0, 0, GUIB_Rect{3, 0, 6, 3}, 5, 4),
            std::vector<uint32_t>(20, 0));
}
