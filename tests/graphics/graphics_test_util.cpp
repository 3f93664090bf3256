#include "graphics_test_util.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace gtest_util {

c_GUIB_Bitmap *MakeFilled(int32_t width, int32_t height, uint32_t argb) {
  c_GUIB_Bitmap *b = new c_GUIB_Bitmap(width, height);
  std::fill(b->Pixels(), b->Pixels() + size_t(width) * height, argb);
  return b;
}

std::vector<uint32_t> PixelsOf(const c_GUIB_Bitmap *bitmap) {
  if (!bitmap->Pixels()) return {};
  return std::vector<uint32_t>(bitmap->Pixels(),
                               bitmap->Pixels() + size_t(bitmap->Width()) * bitmap->Height());
}

std::string RecordText(c_GUIB_RecordStore *store, uint32_t id) {
  const uint8_t *data = nullptr;
  uint32_t len = 0;
  const uint32_t rc = store->ReadRecord(id, &data, &len);
  if (rc) return "<error " + std::to_string(rc) + ">";
  return std::string(reinterpret_cast<const char *>(data), len);
}

HostDir::HostDir() {
  char tmpl[] = "/tmp/graphics_test_XXXXXX";
  const char *p = mkdtemp(tmpl);
  path_ = p ? p : "/tmp";
}

HostDir::~HostDir() {
  std::error_code ec;
  if (path_ != "/tmp") std::filesystem::remove_all(path_, ec);
}

bool ReadHostFile(const std::string &path, std::string *bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  *bytes = s.str();
  return true;
}

bool Convert(const std::string &arguments) {
  // Always the system's ImageMagick, never a stand-in earlier in PATH.
  const std::string command = "/usr/bin/convert " + arguments + " 2>/dev/null";
  const int status = std::system(command.c_str());
  return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void AddBoxGlyph(c_GUIB_Font *font, uint32_t code, int32_t width, int32_t height,
                 int32_t overhang) {
  c_GUIB_Bitmap *b = new c_GUIB_Bitmap(width, height);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) b->SetPixel(x, y, x < width - overhang ? 0xFF000000 : 0);
  if (!font->InsertGlyph(code, c_GUIB_Font::Glyph{width, height, overhang, 0xFF000000, b}))
    b->Release();
}

}  // namespace gtest_util
