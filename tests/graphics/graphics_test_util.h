// Helpers for the graphics tests: bitmaps from pixel lists, pixel
// comparisons, host scratch folders and ImageMagick.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/graphics.h"

namespace gtest_util {

// A bitmap filled with one colour.
c_GUIB_Bitmap *MakeFilled(int32_t width, int32_t height, uint32_t argb);
std::vector<uint32_t> PixelsOf(const c_GUIB_Bitmap *bitmap);

// Record id in the store's open scope as text, or "<error N>".
std::string RecordText(c_GUIB_RecordStore *store, uint32_t id);

// A fresh host folder, removed with its contents when the object goes.
class HostDir {
 public:
  HostDir();
  ~HostDir();
  const std::string &path() const { return path_; }
  std::string File(const std::string &name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

bool ReadHostFile(const std::string &path, std::string *bytes);
// Runs /usr/bin/convert with the arguments (a shell-quoted list); true on exit 0.
bool Convert(const std::string &arguments);

// Fills a font with synthetic mask glyphs: every code of codes gets a
// width x height glyph, overhang o, black with alpha 255 over its left
// (width - o) columns so that its drawn extent is visible.
void AddBoxGlyph(c_GUIB_Font *font, uint32_t code, int32_t width, int32_t height, int32_t overhang);

}  // namespace gtest_util
