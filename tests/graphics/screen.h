// A screen for Present tests: on Windows a memory device context with a
// top-down 32-bit DIB section, natively the headless screen bitmap.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/bitmap.h"

// Presents rect of bitmap at (dx, dy) on a fresh width x height screen that
// starts all 0x00000000, and returns the screen's pixels (rows top first),
// alpha cleared (screens do not keep it). Empty on failure.
std::vector<uint32_t> PresentOnScreen(const c_GUIB_Bitmap *bitmap, int32_t dx, int32_t dy,
                                      const GUIB_Rect &rect, int32_t width, int32_t height);
