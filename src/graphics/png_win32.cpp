// The Windows build writes no PNG files: frame dumps and previews are made
// by the native build.
#include "graphics/png.h"

bool PNG_WriteArgb(const char *, const uint32_t *, uint32_t, uint32_t) {
  return false;
}

bool PNG_WriteBitmap(const char *, const c_GUIB_Bitmap *) {
  return false;
}
