// Image loaders against files written by an independent encoder
// (ImageMagick, run at test time) and against ImageMagick's own decoding of
// the same files; plus hand-made files for the rules and the damage.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "graphics_test_util.h"
#include "platform/platform.h"
#include "store/store.h"
#include "support/scratch.h"

using namespace gtest_util;

namespace {

// A PAM image of random pixels (R, G, B, A).
std::string RandomPam(int w, int h, uint32_t seed, std::string *rgba) {
  std::mt19937 rng(seed);
  rgba->resize(size_t(w) * h * 4);
  for (auto &c : *rgba) c = char(rng() & 255);
  return "P7\nWIDTH " + std::to_string(w) + "\nHEIGHT " + std::to_string(h) +
         "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n" + *rgba;
}

class LoaderTest : public ScratchTest {
 protected:
  void SetUp() override {
    BF_MountParams params = {"*.cbf", work_.c_str(), nullptr, 1, 1, 0};
    ASSERT_EQ(BF_Mount(&params), 1u);
  }
  void TearDown() override { BF_Unmount(); }

  // Makes name from a random w x h picture with the given convert options,
  // puts it where the store finds it and returns its bytes.
  std::string Make(const std::string &name, int w, int h, const std::string &options,
                   uint32_t seed = 1) {
    std::string rgba;
    const std::string pam = RandomPam(w, h, seed, &rgba);
    EXPECT_TRUE(WriteHostFile(host_.File("in.pam"), pam));
    EXPECT_TRUE(Convert(host_.File("in.pam") + " " + options + " " + host_.File(name))) << options;
    std::string bytes;
    EXPECT_TRUE(ReadHostFile(host_.File(name), &bytes));
    Put(name, bytes);
    return bytes;
  }

  void Put(const std::string &name, const std::string &bytes) {
    EXPECT_TRUE(machine.WriteFile(machine.Path(name), bytes));
    EXPECT_TRUE(WriteHostFile(host_.File(name), bytes));
  }

  // ImageMagick's decoding of a file as "rgb" or "rgba" bytes.
  std::string Reference(const std::string &name, const char *format) {
    std::string bytes;
    const std::string out = host_.File("ref.raw");
    // ImageMagick keeps a TGA's origin as orientation metadata; applying it
    // gives the picture as the file describes it.
    EXPECT_TRUE(Convert(host_.File(name) + " -auto-orient -depth 8 " + format + ":" + out));
    EXPECT_TRUE(ReadHostFile(out, &bytes));
    return bytes;
  }

  ::testing::AssertionResult LoadsLike(const std::string &name, uint32_t w, uint32_t h,
                                       uint32_t bpp, uint32_t flags) {
    ImageInfo info;
    if (!LoadImage(name.c_str(), &info)) return ::testing::AssertionFailure() << name << " failed";
    const std::string got(reinterpret_cast<const char *>(info.pixels), info.byte_size);
    SYS_FreeSafe(info.pixels);
    if (info.width != w || info.height != h || info.bytes_per_pixel != bpp || info.flags != flags ||
        info.byte_size != w * h * bpp)
      return ::testing::AssertionFailure()
             << name << ": " << info.width << "x" << info.height << " bpp " << info.bytes_per_pixel
             << " flags " << info.flags;
    const std::string want = Reference(name, bpp == 4 ? "rgba" : "rgb");
    if (got == want) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << name << " differs from ImageMagick's decoding";
  }

  HostDir host_;
  std::string work_ = machine.Work() + "\\";
};

// Writes a raw TGA: header fields, then the bytes given.
std::string Tga(uint8_t type, uint16_t w, uint16_t h, uint8_t depth, uint8_t descriptor,
                const std::string &map, uint8_t map_bits, const std::string &data) {
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

std::string Bytes(ImageInfo &info) {
  std::string s(reinterpret_cast<const char *>(info.pixels), info.byte_size);
  SYS_FreeSafe(info.pixels);
  info.pixels = nullptr;
  return s;
}

}  // namespace

TEST_F(LoaderTest, BmpFromImageMagick) {
  // 24 bits, widths 1 to 5 (every padding length). "BMP3:" prefixes the
  // output name: the classic 40-byte header.
  for (int w = 1; w <= 5; ++w) {
    const std::string name = "w" + std::to_string(w) + ".bmp";
    std::string rgba;
    WriteHostFile(host_.File("in.pam"), RandomPam(w, 3, uint32_t(w), &rgba));
    ASSERT_TRUE(Convert(host_.File("in.pam") + " -alpha off BMP3:" + host_.File(name)));
    std::string bytes;
    ReadHostFile(host_.File(name), &bytes);
    Put(name, bytes);
    EXPECT_TRUE(LoadsLike(name, uint32_t(w), 3, 3, 0));
  }
  // 8 bits with a palette (more than 16 colours, uncompressed).
  std::string rgba;
  WriteHostFile(host_.File("in.pam"), RandomPam(9, 7, 5, &rgba));
  ASSERT_TRUE(Convert(host_.File("in.pam") +
                      " -alpha off -type Palette -compress None BMP3:" + host_.File("pal.bmp")));
  std::string bytes;
  ReadHostFile(host_.File("pal.bmp"), &bytes);
  ASSERT_EQ(bytes[28], 8);  // really 8 bits per pixel
  Put("pal.bmp", bytes);
  EXPECT_TRUE(LoadsLike("pal.bmp", 9, 7, 3, 0));
}

TEST_F(LoaderTest, BmpRowsAndRules) {
  // Width 3: rows of 9 bytes and 3 of padding; the file's last row is the
  // image's first.
  std::string b = "BM" + std::string(12, '\0');
  std::string info(40, '\0');
  info[0] = 40, info[4] = 3, info[8] = 2, info[12] = 1, info[14] = 24;
  const std::string bottom = "\x01\x02\x03\x04\x05\x06\x07\x08\x09PAD";
  const std::string top = "\x11\x12\x13\x14\x15\x16\x17\x18\x19PAD";
  Put("rows.bmp", b + info + bottom + top);
  ImageInfo out;
  ASSERT_TRUE(LoadImage("rows.bmp", &out));
  EXPECT_EQ(Bytes(out), "\x13\x12\x11\x16\x15\x14\x19\x18\x17\x03\x02\x01\x06\x05\x04\x09\x08\x07");
  // Height 0: an empty image.
  std::string empty_info = info;
  empty_info[8] = 0;
  Put("empty.bmp", b + empty_info);
  ASSERT_TRUE(LoadImage("empty.bmp", &out));
  EXPECT_EQ(out.width, 3u);
  EXPECT_EQ(out.pixels, nullptr);
  // Refused: compression, top-down, other depths, a side over the limit,
  // a wrong signature, missing rows.
  std::string packed = info, top_down = info, deep = info, wide = info;
  packed[16] = 1;
  top_down[8] = char(0xFE), top_down[9] = top_down[10] = top_down[11] = char(0xFF);
  deep[14] = 32;
  wide[4] = 0x01, wide[5] = 0x41;  // 16641
  Put("packed.bmp", b + packed + bottom + top);
  Put("topdown.bmp", b + top_down + bottom + top);
  Put("deep.bmp", b + deep + bottom + top);
  Put("wide.bmp", b + wide + bottom + top);
  Put("sig.bmp", "MB" + std::string(12, '\0') + info + bottom + top);
  Put("short.bmp", b + info + bottom + "\x11\x12");
  for (const char *name :
       {"packed.bmp", "topdown.bmp", "deep.bmp", "wide.bmp", "sig.bmp", "short.bmp"}) {
    EXPECT_FALSE(LoadImage(name, &out)) << name;
    EXPECT_EQ(out.pixels, nullptr) << name;
  }
}

TEST_F(LoaderTest, TgaFromImageMagick) {
  struct Case {
    const char *name;
    const char *options;
    uint32_t bpp, flags;
  };
  const Case cases[] = {
      {"t2_24_bl.tga", "-alpha off", 3, 0},
      {"t2_24_tl.tga", "-alpha off -orient TopLeft", 3, 0},
      {"t2_32_bl.tga", "", 4, 1},
      {"t2_32_tl.tga", "-orient TopLeft", 4, 1},
      {"t1.tga", "-alpha off -type Palette", 3, 0},
      {"t1_tl.tga", "-alpha off -type Palette -orient TopLeft", 3, 0},
      {"t3.tga", "-alpha off -colorspace gray", 3, 0},
      {"t9.tga", "-alpha off -type Palette -compress RLE", 3, 0},
      {"t10_24.tga", "-alpha off -compress RLE", 3, 0},
      {"t10_32.tga", "-compress RLE", 4, 1},
      {"t10_32_tl.tga", "-compress RLE -orient TopLeft", 4, 1},
      {"t11.tga", "-alpha off -colorspace gray -compress RLE", 3, 0},
  };
  for (const Case &c : cases) {
    // Odd sizes, and a run-friendly picture (few colours, blocks) besides
    // the noise, so that run-length files hold repeat packets too.
    Make(c.name, 13, 7, c.options, 7);
    EXPECT_TRUE(LoadsLike(c.name, 13, 7, c.bpp, c.flags)) << c.options;
    const std::string blocks = std::string("blocks_") + c.name;
    ASSERT_TRUE(Convert("-size 40x9 xc:red -fill blue -draw 'rectangle 5,2 30,6' " +
                        std::string(c.options) + " " + host_.File(blocks)));
    std::string bytes;
    ReadHostFile(host_.File(blocks), &bytes);
    Put(blocks, bytes);
    EXPECT_TRUE(LoadsLike(blocks, 40, 9, c.bpp, c.flags)) << c.options;
  }
}

TEST_F(LoaderTest, Tga16BitsAndAlphaBits) {
  // 16-bit 1-5-5-5 pixels: each channel is its 5 bits shifted left by 3,
  // ImageMagick scales them to 0..255, so compare at 5 bits.
  for (const char *orient : {"", "-orient TopLeft"}) {
    const std::string bytes = Make("t16.tga", 11, 6, std::string("-alpha off -depth 5 ") + orient);
    ASSERT_EQ(uint8_t(bytes[16]), 16);
    ImageInfo info;
    ASSERT_TRUE(LoadImage("t16.tga", &info));
    const std::string got = Bytes(info);
    const std::string want = Reference("t16.tga", "rgb");
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
      ASSERT_EQ(got[i] & 7, 0);
      ASSERT_EQ(uint8_t(got[i]) >> 3, (uint8_t(want[i]) * 31 + 127) / 255) << i;
    }
  }
  // A 32-bit file whose descriptor claims no alpha bits: three bytes a
  // pixel, the alpha bytes dropped.
  std::string bytes = Make("t32.tga", 6, 4, "", 9);
  ASSERT_EQ(uint8_t(bytes[16]), 32);
  bytes[17] = char(bytes[17] & ~15);
  Put("t32_noalpha.tga", bytes);
  EXPECT_TRUE(LoadsLike("t32_noalpha.tga", 6, 4, 3, 0));
}

TEST_F(LoaderTest, TgaPacketsOrientationAndDamage) {
  ImageInfo out;
  // 0x83 repeats the next pixel 4 times; 0x03 is followed by 4 literal pixels.
  Put("rle.tga", Tga(11, 8, 1, 8, 0x20, "", 0, std::string("\x83\x07\x03\x01\x02\x03\x04", 7)));
  ASSERT_TRUE(LoadImage("rle.tga", &out));
  EXPECT_EQ(Bytes(out), std::string("\x07\x07\x07\x07\x07\x07\x07\x07\x07\x07\x07\x07"
                                    "\x01\x01\x01\x02\x02\x02\x03\x03\x03\x04\x04\x04",
                                    24));
  // A bottom-left file of height 5: rows 0<->4 and 1<->3 exchanged.
  Put("flip.tga", Tga(3, 1, 5, 8, 0, "", 0, "\x01\x02\x03\x04\x05"));
  ASSERT_TRUE(LoadImage("flip.tga", &out));
  EXPECT_EQ(Bytes(out), "\x05\x05\x05\x04\x04\x04\x03\x03\x03\x02\x02\x02\x01\x01\x01");
  // A packet running past the image stops at its end.
  Put("over.tga", Tga(11, 2, 1, 8, 0x20, "", 0, std::string("\xFF\x09\x7F\x01\x02", 5)));
  ASSERT_TRUE(LoadImage("over.tga", &out));
  EXPECT_EQ(Bytes(out), "\x09\x09\x09\x09\x09\x09");
  // Data that ends early: decoding stops, the rest stays black.
  Put("trunc.tga", Tga(2, 3, 1, 24, 0x20, "", 0, "\x01\x02\x03\x04"));
  ASSERT_TRUE(LoadImage("trunc.tga", &out));
  EXPECT_EQ(Bytes(out), std::string("\x03\x02\x01\0\0\0\0\0\0", 9));
  Put("trunc_rle.tga", Tga(10, 3, 1, 24, 0x20, "", 0, std::string("\x82\x01\x02", 3)));
  ASSERT_TRUE(LoadImage("trunc_rle.tga", &out));
  EXPECT_EQ(Bytes(out), std::string(9, '\0'));
  // Colour-map indices past the map read as black.
  Put("map.tga",
      Tga(1, 3, 1, 8, 0x20, "\x10\x20\x30\x40\x50\x60", 24, std::string("\x01\x00\x02", 3)));
  ASSERT_TRUE(LoadImage("map.tga", &out));
  EXPECT_EQ(Bytes(out), std::string("\x60\x50\x40\x30\x20\x10\0\0\0", 9));
  // Refused: colour-mapped without a map, run-length true colour below 24
  // bits, unknown types, depths that do not fit the type, sides over the
  // limit, a header cut short.
  Put("nomap.tga", Tga(1, 1, 1, 8, 0, "", 0, "\x00"));
  Put("nomap9.tga", Tga(9, 1, 1, 8, 0, "", 0, "\x00\x00"));
  Put("rle16.tga", Tga(10, 1, 1, 16, 0, "", 0, "\x00\x00\x00"));
  Put("type4.tga", Tga(4, 1, 1, 8, 0, "", 0, "\x00"));
  Put("depth7.tga", Tga(2, 1, 1, 7, 0, "", 0, "\x00"));
  Put("grey32.tga", Tga(3, 1, 1, 32, 0, "", 0, "\x00\x00\x00\x00"));
  Put("huge.tga", Tga(2, 20000, 1, 24, 0, "", 0, "\x00\x00\x00"));
  Put("cut.tga", std::string("\x00\x00\x02\x00", 4));
  for (const char *name : {"nomap.tga", "nomap9.tga", "rle16.tga", "type4.tga", "depth7.tga",
                           "grey32.tga", "huge.tga", "cut.tga"}) {
    EXPECT_FALSE(LoadImage(name, &out)) << name;
    EXPECT_EQ(out.pixels, nullptr) << name;
  }
}

TEST_F(LoaderTest, JpegFromImageMagick) {
  struct Case {
    const char *name;
    const char *options;
  };
  const Case cases[] = {
      {"colour.jpg", "-alpha off -quality 90"},
      {"grey.jpg", "-alpha off -colorspace gray -quality 90"},
      {"progressive.jpg", "-alpha off -interlace JPEG -quality 85"},
      {"sampled.jpg", "-alpha off -sampling-factor 2x2 -quality 75"},
  };
  for (const Case &c : cases) {
    // A smooth picture: JPEG's own domain, so decoders agree closely.
    ASSERT_TRUE(Convert("-size 37x21 gradient:red-blue -swirl 90 " + std::string(c.options) + " " +
                        host_.File(c.name)));
    std::string bytes;
    ReadHostFile(host_.File(c.name), &bytes);
    Put(c.name, bytes);
    ImageInfo info;
    ASSERT_TRUE(LoadImage(c.name, &info)) << c.name;
    EXPECT_EQ(info.width, 37u);
    EXPECT_EQ(info.height, 21u);
    EXPECT_EQ(info.bytes_per_pixel, 3u);
    EXPECT_EQ(info.flags, 0u);
    const std::string got = Bytes(info);
    const std::string want = Reference(c.name, "rgb");
    ASSERT_EQ(got.size(), want.size());
    int worst = 0;
    for (size_t i = 0; i < got.size(); ++i)
      worst = std::max(worst, std::abs(int(uint8_t(got[i])) - int(uint8_t(want[i]))));
    EXPECT_LE(worst, 2) << c.name;
    if (std::string(c.name) == "grey.jpg")
      for (size_t i = 0; i < got.size(); i += 3) {
        ASSERT_EQ(got[i], got[i + 1]);
        ASSERT_EQ(got[i], got[i + 2]);
      }
  }
}

TEST_F(LoaderTest, JpegTruncatedAndBroken) {
  ASSERT_TRUE(Convert("-size 64x64 gradient:white-black -alpha off -quality 90 " +
                      host_.File("whole.jpg")));
  std::string bytes;
  ReadHostFile(host_.File("whole.jpg"), &bytes);
  // Cut in the middle of the scan: still an image, the rest filled in by
  // the library.
  Put("cut.jpg", bytes.substr(0, bytes.size() * 2 / 3));
  ImageInfo info;
  ASSERT_TRUE(LoadImage("cut.jpg", &info));
  EXPECT_EQ(info.width, 64u);
  EXPECT_EQ(info.height, 64u);
  const std::string cut = Bytes(info);
  // The top rows are all there.
  Put("whole.jpg", bytes);
  ASSERT_TRUE(LoadImage("whole.jpg", &info));
  const std::string whole = Bytes(info);
  EXPECT_EQ(cut.substr(0, 64 * 3 * 8), whole.substr(0, 64 * 3 * 8));
  // Broken beyond use: a fatal library error ends the load with false.
  Put("empty.jpg", "");
  Put("header.jpg", bytes.substr(0, 40));
  Put("garbage.jpg", std::string(500, 'x'));
  std::string bad_marker = bytes;
  bad_marker[3] = char(0xC3);  // an unsupported frame type where APP0 was
  Put("marker.jpg", bad_marker);
  for (const char *name : {"empty.jpg", "header.jpg", "garbage.jpg", "marker.jpg"}) {
    EXPECT_FALSE(LoadImage(name, &info)) << name;
    EXPECT_EQ(info.pixels, nullptr) << name;
  }
}

TEST_F(LoaderTest, NamesAndExtensions) {
  const std::string tga = Tga(3, 1, 1, 8, 0, "", 0, "\x05");
  for (const char *name : {"Icon.TGA", "x.tga", "sub\\y.tGa"}) Put(name, tga);
  ImageInfo info;
  for (const char *name : {"Icon.TGA", "x.tga", "sub\\y.tGa"}) {
    EXPECT_TRUE(LoadImage(name, &info)) << name;
    Bytes(info);
  }
  // "jpeg" is not an extension the program knows; "jepg" and "jpg" are.
  EXPECT_EQ(ImageTypeFromExtension("jpeg"), IMAGE_UNKNOWN);
  EXPECT_EQ(ImageTypeFromExtension("JePg"), IMAGE_JPEG);
  EXPECT_EQ(ImageTypeFromExtension("JPG"), IMAGE_JPEG);
  EXPECT_EQ(ImageTypeFromExtension("Bmp"), IMAGE_BMP);
  EXPECT_EQ(ImageTypeFromExtension("bmpx"), IMAGE_UNKNOWN);
  EXPECT_EQ(ImageTypeFromExtension(""), IMAGE_UNKNOWN);
  ASSERT_TRUE(Convert("-size 4x4 xc:green -quality 90 " + host_.File("g.jpg")));
  std::string jpg;
  ReadHostFile(host_.File("g.jpg"), &jpg);
  Put("photo.jpeg", jpg);
  Put("photo.jepg", jpg);
  EXPECT_FALSE(LoadImage("photo.jpeg", &info));
  EXPECT_TRUE(LoadImage("photo.jepg", &info));
  Bytes(info);
  // No extension: the last '.' comes before the last '\', or nothing after it.
  Put("dir.v2\\file", tga);
  Put("trailing.", tga);
  EXPECT_FALSE(LoadImage("dir.v2\\file", &info));
  EXPECT_FALSE(LoadImage("trailing.", &info));
  EXPECT_FALSE(LoadImage("missing.tga", &info));
  EXPECT_FALSE(LoadImage("x.tga", nullptr));
  EXPECT_FALSE(LoadImage(nullptr, &info));
}

TEST_F(LoaderTest, BitmapFromImageFile) {
  // Four bytes a pixel with flags bit 0: alpha taken; without the alpha
  // bits: fully opaque.
  Put("a.tga", Tga(2, 2, 1, 32, 0x28, "", 0, std::string("\x01\x02\x03\x40\x04\x05\x06\x80", 8)));
  Put("b.tga", Tga(2, 2, 1, 32, 0x20, "", 0, std::string("\x01\x02\x03\x40\x04\x05\x06\x80", 8)));
  GUIB_Ref<c_GUIB_Bitmap> a(new c_GUIB_Bitmap("a.tga"));
  EXPECT_EQ(PixelsOf(a.get()), (std::vector<uint32_t>{0x40030201, 0x80060504}));
  GUIB_Ref<c_GUIB_Bitmap> b(new c_GUIB_Bitmap("b.tga"));
  EXPECT_EQ(PixelsOf(b.get()), (std::vector<uint32_t>{0xFF030201, 0xFF060504}));
  GUIB_Ref<c_GUIB_Bitmap> none(new c_GUIB_Bitmap("none.tga"));
  EXPECT_EQ(none->Width(), 0u);
  EXPECT_EQ(none->Pixels(), nullptr);
}
