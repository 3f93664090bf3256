// Image loaders on hand-made files: row order, run-length packets, the
// rules for what is refused, damage, missing files.
#include <string>

#include "graphics_test_util.h"
#include "platform/platform.h"
#include "store/store.h"
#include "support/scratch.h"

using namespace gtest_util;

namespace {

class LoaderTest : public ScratchTest {
 protected:
  void SetUp() override {
    BF_MountParams params = {"*.cbf", work_.c_str(), nullptr, 1, 1, 0};
    ASSERT_EQ(BF_Mount(&params), 1u);
  }
  void TearDown() override { BF_Unmount(); }

  void Put(const std::string &name, const std::string &bytes) {
    EXPECT_TRUE(machine.WriteFile(machine.Path(name), bytes));
  }
  // The decoded bytes of a file, or "<refused>" (then no buffer is left).
  std::string Load(const std::string &name) {
    ImageInfo info;
    if (!LoadImage(name.c_str(), &info)) {
      EXPECT_EQ(info.pixels, nullptr) << name;
      return "<refused>";
    }
    EXPECT_EQ(info.byte_size, info.width * info.height * info.bytes_per_pixel) << name;
    std::string s(reinterpret_cast<const char *>(info.pixels), info.byte_size);
    SYS_FreeSafe(info.pixels);
    return s;
  }
  // A picture made by ImageMagick, put where the store finds it.
  std::string Convert(const std::string &name, const std::string &arguments) {
    std::string bytes;
    EXPECT_TRUE(gtest_util::Convert(arguments + " " + host_.File(name)));
    EXPECT_TRUE(ReadHostFile(host_.File(name), &bytes));
    Put(name, bytes);
    return bytes;
  }

  HostDir host_;
  std::string work_ = machine.Work() + "\\";
};

// A raw TGA: header fields, then the bytes given.
std::string Tga(uint8_t type, uint16_t w, uint16_t h, uint8_t depth, uint8_t descriptor,
                const std::string &data, const std::string &map = "", uint8_t map_bits = 0) {
  std::string t(18, '\0');
  t[1] = map.empty() ? 0 : 1;
  t[2] = char(type);
  const uint16_t map_len = map_bits ? uint16_t(map.size() * 8 / map_bits) : 0;
  t[5] = char(map_len & 255), t[6] = char(map_len >> 8);
  t[7] = char(map_bits);
  t[12] = char(w & 255), t[13] = char(w >> 8), t[14] = char(h & 255), t[15] = char(h >> 8);
  t[16] = char(depth);
  t[17] = char(descriptor);
  return t + map + data;
}

std::string S(const char *bytes, size_t n) {
  return std::string(bytes, n);
}

}  // namespace

TEST_F(LoaderTest, HandMadeFiles) {
  // Width 3: rows of 9 bytes and 3 of padding; the file's last row is the
  // image's first.
  const std::string bm = "BM" + std::string(12, '\0');
  std::string info(40, '\0');
  info[0] = 40, info[4] = 3, info[8] = 2, info[12] = 1, info[14] = 24;
  const std::string bottom = "\x01\x02\x03\x04\x05\x06\x07\x08\x09PAD";
  const std::string top = "\x11\x12\x13\x14\x15\x16\x17\x18\x19PAD";
  auto bmp_info = [&](size_t at, std::string bytes) {
    std::string i = info;
    i.replace(at, bytes.size(), bytes);
    return bm + i;
  };
  struct Case {
    const char *name;
    std::string file, decoded;
  } cases[] = {
      {"rows.bmp", bm + info + bottom + top,
       "\x13\x12\x11\x16\x15\x14\x19\x18\x17\x03\x02\x01\x06\x05\x04\x09\x08\x07"},
      {"empty.bmp", bmp_info(8, S("\0", 1)), ""},  // height 0
      {"packed.bmp", bmp_info(16, "\x01") + bottom + top, "<refused>"},
      {"topdown.bmp", bmp_info(8, "\xFE\xFF\xFF\xFF") + bottom + top, "<refused>"},
      {"deep.bmp", bmp_info(14, "\x20") + bottom + top, "<refused>"},     // 32 bits
      {"wide.bmp", bmp_info(4, "\x01\x41") + bottom + top, "<refused>"},  // 16641 wide
      {"sig.bmp", "MB" + bm.substr(2) + info + bottom + top, "<refused>"},
      {"short.bmp", bm + info + bottom + "\x11\x12", "<refused>"},
      // 0x83 repeats the next pixel 4 times; 0x03 is followed by 4 literal pixels.
      {"rle.tga", Tga(11, 8, 1, 8, 0x20, S("\x83\x07\x03\x01\x02\x03\x04", 7)),
       std::string(12, '\x07') + "\x01\x01\x01\x02\x02\x02\x03\x03\x03\x04\x04\x04"},
      // A bottom-left file of height 5: rows 0<->4 and 1<->3 exchanged.
      {"flip.tga", Tga(3, 1, 5, 8, 0, "\x01\x02\x03\x04\x05"),
       "\x05\x05\x05\x04\x04\x04\x03\x03\x03\x02\x02\x02\x01\x01\x01"},
      // A packet running past the image stops at its end.
      {"over.tga", Tga(11, 2, 1, 8, 0x20, S("\xFF\x09\x7F\x01\x02", 5)), std::string(6, '\x09')},
      // Data that ends early: decoding stops, the rest stays black.
      {"trunc.tga", Tga(2, 3, 1, 24, 0x20, "\x01\x02\x03\x04"), S("\x03\x02\x01\0\0\0\0\0\0", 9)},
      {"trunc_rle.tga", Tga(10, 3, 1, 24, 0x20, S("\x82\x01\x02", 3)), std::string(9, '\0')},
      // 16 bits: five a channel, widened by a shift (all green here).
      {"t16.tga", Tga(2, 1, 1, 16, 0x20, S("\xE0\x03", 2)), S("\0\xF8\0", 3)},
      // Colour-map indices past the map read as black.
      {"map.tga", Tga(1, 3, 1, 8, 0x20, S("\x01\x00\x02", 3), "\x10\x20\x30\x40\x50\x60", 24),
       S("\x60\x50\x40\x30\x20\x10\0\0\0", 9)},
      // Refused: colour-mapped without a map, run-length true colour below
      // 24 bits, unknown types, depths that do not fit the type, sides over
      // the limit, a header cut short.
      {"nomap.tga", Tga(1, 1, 1, 8, 0, S("\0", 1)), "<refused>"},
      {"nomap9.tga", Tga(9, 1, 1, 8, 0, S("\0\0", 2)), "<refused>"},
      {"rle16.tga", Tga(10, 1, 1, 16, 0, S("\0\0\0", 3)), "<refused>"},
      {"type4.tga", Tga(4, 1, 1, 8, 0, S("\0", 1)), "<refused>"},
      {"depth7.tga", Tga(2, 1, 1, 7, 0, S("\0", 1)), "<refused>"},
      {"grey32.tga", Tga(3, 1, 1, 32, 0, S("\0\0\0\0", 4)), "<refused>"},
      {"huge.tga", Tga(2, 20000, 1, 24, 0, S("\0\0\0", 3)), "<refused>"},
      {"cut.tga", S("\0\0\x02\0", 4), "<refused>"},
  };
  for (const Case &c : cases) Put(c.name, c.file);
  for (const Case &c : cases) EXPECT_EQ(Load(c.name), c.decoded) << c.name;
}

TEST_F(LoaderTest, JpegTruncatedAndBroken) {
  const std::string bytes =
      Convert("whole.jpg", "-size 64x64 gradient:white-black -alpha off -quality 90");
  // Cut in the middle of the scan: still an image whose top rows are all
  // there, the rest filled in by the library.
  Put("cut.jpg", bytes.substr(0, bytes.size() * 2 / 3));
  const std::string cut = Load("cut.jpg");
  ASSERT_EQ(cut.size(), 64u * 64 * 3);
  EXPECT_EQ(cut.substr(0, 64 * 3 * 8), Load("whole.jpg").substr(0, 64 * 3 * 8));
  // Broken beyond use: a fatal library error ends the load with false.
  std::string bad_marker = bytes;
  bad_marker[3] = char(0xC3);  // an unsupported frame type where APP0 was
  for (const std::string &broken :
       {std::string(), bytes.substr(0, 40), std::string(500, 'x'), bad_marker}) {
    Put("broken.jpg", broken);
    EXPECT_EQ(Load("broken.jpg"), "<refused>") << broken.size();
  }
}

TEST_F(LoaderTest, MissingFilesAndNoArgumentsLoadNothing) {
  Put("y.tga", Tga(3, 1, 1, 8, 0, "\x05"));
  ImageInfo info;
  EXPECT_FALSE(LoadImage("missing.tga", &info));
  GUIB_Ref<c_GUIB_Bitmap> none(new c_GUIB_Bitmap("missing.tga"));
  EXPECT_EQ(none->Pixels(), nullptr);
  EXPECT_FALSE(LoadImage("y.tga", nullptr));
  EXPECT_FALSE(LoadImage(nullptr, &info));
}
