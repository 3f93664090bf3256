// imgtool: loads an image through the program's own loaders and writes it
// out, so that people who make discs see exactly what the installer will.
//
//   imgtool convert IN OUT.png   the image as the program's bitmap, as PNG
//   imgtool raw IN OUT.rgba      the loader's pixel buffer as it is; prints
//                                WIDTH HEIGHT BYTES_PER_PIXEL FLAGS
// The decoder is chosen by IN's extension, as the program chooses it.
#include <cstdio>
#include <string>

#include "graphics/graphics.h"
#include "graphics/png.h"
#include "platform/platform.h"
#include "store/store.h"
#include "tool_store.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: imgtool convert IN OUT.png\n"
               "       imgtool raw IN OUT.rgba\n");
  return 2;
}

// Why a load failed, in one line, from what can be seen from outside.
std::string Reason(const std::string &name) {
  const char *dot = nullptr;
  for (const char *p = name.c_str(); *p; ++p) {
    if (*p == '.') dot = p;
    if (*p == '\\') dot = nullptr;
  }
  if (!dot || !dot[1]) return "the name has no extension";
  if (ImageTypeFromExtension(dot + 1) == IMAGE_UNKNOWN)
    return std::string("unknown image type \"") + (dot + 1) + "\"";
  BF_Handle f = BF_Open(name.c_str(), BF_OPEN_READ, false);
  if (!f) return "the file cannot be opened";
  BF_Close(f);
  return "the file is not a valid image of its type";
}

int Run(const std::string &command, const std::string &in, const std::string &out) {
  const std::string name = ToolOpenStoreFor(in);
  if (name.empty()) {
    std::fprintf(stderr, "imgtool: cannot set up the store for %s\n", in.c_str());
    return 1;
  }
  ImageInfo info;
  if (!LoadImage(name.c_str(), &info)) {
    std::printf("imgtool: cannot load %s: %s\n", in.c_str(), Reason(name).c_str());
    return 1;
  }
  int rc = 0;
  if (command == "raw") {
    std::FILE *f = std::fopen(out.c_str(), "wb");
    if (!f ||
        (info.byte_size && std::fwrite(info.pixels, 1, info.byte_size, f) != info.byte_size)) {
      std::printf("imgtool: cannot write %s\n", out.c_str());
      rc = 1;
    } else {
      std::printf("%u %u %u %u\n", info.width, info.height, info.bytes_per_pixel, info.flags);
    }
    if (f) std::fclose(f);
    SYS_FreeSafe(info.pixels);
  } else {
    SYS_FreeSafe(info.pixels);
    // Through the bitmap, as the program would show it.
    GUIB_Ref<c_GUIB_Bitmap> bitmap(new c_GUIB_Bitmap(name.c_str()));
    if (!PNG_WriteBitmap(out.c_str(), bitmap.get())) {
      std::printf("imgtool: cannot write %s\n", out.c_str());
      rc = 1;
    }
  }
  return rc;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 4) return Usage();
  const std::string command = argv[1];
  if (command != "convert" && command != "raw") return Usage();
  const int rc = Run(command, argv[2], argv[3]);
  ToolCloseStore();
  return rc;
}
