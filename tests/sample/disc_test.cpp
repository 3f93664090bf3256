// The sample disc holds every file the installer opens by name, each usable
// the way the installer uses it: pictures decode at the size they are shown
// at, icons carry alpha, fonts have glyphs, the licence needs scrolling, and
// the demo's files lie under DISK01. The disc is the native build's
// (sample/make_disc.sh), mounted from drive D: as the program mounts it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "graphics/graphics.h"
#include "platform/machine.h"
#include "platform/platform.h"
#include "store/store.h"
#include "support/scratch.h"

namespace {

class SampleDiscTest : public ScratchTest {
 protected:
  void SetUp() override {
    std::error_code ec;
    std::filesystem::create_directory_symlink(SAMPLE_DISC,
                                              std::string(SYS_GetMachineRoot()) + "/drive_d", ec);
    ASSERT_FALSE(ec) << ec.message();
    ASSERT_TRUE(SYS_SetDrive('D', SYS_DRIVE_CDROM, 0));
    BF_MountParams p = {"*.cbf", "D:\\", nullptr, 0, 0, 0};
    ASSERT_EQ(BF_Mount(&p), 1u);
    ASSERT_EQ(BF_MountArchive("D:\\setup.cbf", 0), BF_OK);
    ASSERT_EQ(BF_MountArchive("D:\\disk01.cbf", 0), BF_OK);
  }
  void TearDown() override { BF_Unmount(); }

  static uint64_t Size(const char *name) {
    BF_Handle h = BF_Open(name, BF_OPEN_READ, false);
    if (!h) return 0;
    const uint64_t size = BF_GetSize(h);
    BF_Close(h);
    return size;
  }
  static std::string Contents(const char *name) {
    std::string out;
    BF_Handle h = BF_Open(name, BF_OPEN_READ, false);
    if (!h) return out;
    char buffer[4096];
    for (uint32_t n; (n = BF_Read(h, buffer, sizeof buffer)) > 0;) out.append(buffer, n);
    BF_Close(h);
    return out;
  }
};

TEST_F(SampleDiscTest, PicturesAndIconsDecodeAtTheirSizes) {
  struct Picture {
    std::string name;
    uint32_t width, height;  // 0: any size up to 16 x 16, with alpha (icons)
  };
  std::vector<Picture> pictures = {{"back.jpg", 640, 284}};
  // The slides of the picture frame, by page; the scroll bars' arrows and
  // the combo arrow at the scroll bar size; the other icons.
  for (int page : {3, 4, 5, 8, 11, 12, 13, 15, 16, 17, 18, 20, 22, 23, 25})
    pictures.push_back({std::to_string(page) + ".jpg", 292, 86});
  for (const char *icon :
       {"scroll_up", "scroll_up_mo", "scroll_dn", "scroll_dn_mo", "scroll_lf", "scroll_lf_mo",
        "scroll_rg", "scroll_rg_mo", "combo", "combo_mo", "scrollbutton", "scrollbutton_down",
        "scrollbutton_up", "scrollbutton_scroll"})
    pictures.push_back({std::string("Icons\\Icon_") + icon + ".tga", 16, 16});
  for (const char *icon : {"Icon_slide", "Icon_slide_mo", "ft_file", "ft_dir", "ft_dir_o"})
    pictures.push_back({std::string("Icons\\") + icon + ".tga", 0, 0});
  for (const Picture &p : pictures) {
    SCOPED_TRACE(p.name);
    ImageInfo info;
    ASSERT_TRUE(LoadImage(p.name.c_str(), &info));
    SYS_Free(info.pixels);
    const bool icon = p.name.find(".tga") != std::string::npos;
    EXPECT_EQ(info.flags & 1, icon ? 1u : 0u);  // icons are drawn by alpha blending
    if (p.width) {
      EXPECT_EQ(info.width, p.width);
      EXPECT_EQ(info.height, p.height);
    } else {
      EXPECT_TRUE(info.width >= 8 && info.width <= 16 && info.height >= 8 && info.height <= 16)
          << info.width << " x " << info.height;
    }
  }
}

TEST_F(SampleDiscTest, FontsLoadAndTheLicenceNeedsScrolling) {
  GUIB_Ref<c_GUIB_Font> small(new c_GUIB_Font("tahoma08.fnt"));
  GUIB_Ref<c_GUIB_Font> large(new c_GUIB_Font("tahoma15.fnt"));
  EXPECT_EQ(small->GlyphCount(), 224u);  // 32 to 255
  EXPECT_EQ(large->GlyphCount(), 224u);
  EXPECT_GT(large->GetLineHeight(), small->GetLineHeight());

  // The licence page's view is 292 x 144; the text wraps 6 pixels narrower.
  const std::string text = Contents("la.txt");
  ASSERT_FALSE(text.empty());
  EXPECT_GT(small->MeasureWrapped(text.c_str(), 292 - 6) + 4, 144 * 2);
}

TEST_F(SampleDiscTest, ProgramsAndTheDemoAreThere) {
  for (const char *name : {"la.txt", "Programs\\GameSpy.exe", "Programs\\DXSetup.exe",
                           "Programs\\gamespy.ico", "DISK01\\ashgrove.exe"})
    EXPECT_GT(Size(name), 0u) << name;

  // The install list is the recursive listing of DISK01: enough data for
  // the progress bars to move, some of it a few folders deep.
  uint64_t total = 0;
  int files = 0, deep = 0;
  BF_FindContext c;
  for (const char *n = BF_FindFirst("DISK01\\*.*", true, &c); n; n = BF_FindNext(&c)) {
    const std::string name = n;  // the whole store name
    total += Size(n);
    ++files;
    if (std::count(name.begin(), name.end(), '\\') >= 3) ++deep;
  }
  EXPECT_GE(files, 10);
  EXPECT_GE(deep, 1);
  EXPECT_GE(total, 30u << 20);
}

}  // namespace
