// Every page of the wizard rendered headless, for people to review: a disc
// with fonts made by fntmake, the sample licence and a slide of its own
// colour for each page, driven through the install, failure, cancel and
// uninstall paths. The frames of a run go to the build folder; each is
// compared pixel for pixel with its reference in docs/pages (the copying
// page with its progress fields held at a fixed state). UPDATE_REFERENCES=1
// writes the references instead.
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/app.h"
#include "archive_builder.h"
#include "installer/pages.h"
#include "installer/state.h"
#include "installer/wizard.h"
#include "platform/machine.h"
#include "support/scratch.h"

namespace {

const char kInstallDir[] = "C:\\Program Files\\Ashgrove MP demo";
const char *const kSlides[] = {"3",  "4",  "5",  "8",  "11", "12", "13", "15",
                               "16", "17", "18", "20", "22", "23", "25"};

// A width x height JPEG of one hue with diagonal stripes, so that each
// slide is visibly its own.
std::string Slide(int index, int width, int height) {
  std::vector<uint8_t> rgb(size_t(width) * height * 3);
  const uint8_t r = uint8_t(60 + 37 * index % 180), g = uint8_t(40 + 71 * index % 200),
                b = uint8_t(90 + 53 * index % 160);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool stripe = ((x + y + index * 5) / (6 + index % 5)) % 2 == 0;
      uint8_t *p = &rgb[(size_t(y) * width + x) * 3];
      p[0] = stripe ? r : uint8_t(r / 2);
      p[1] = stripe ? g : uint8_t(g / 2);
      p[2] = stripe ? b : uint8_t(b / 2);
    }
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char *out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = JDIMENSION(width);
  c.image_height = JDIMENSION(height);
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 90, TRUE);
  jpeg_start_compress(&c, TRUE);
  for (int y = 0; y < height; ++y) {
    JSAMPROW row = &rgb[size_t(y) * width * 3];
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  std::string bytes(reinterpret_cast<char *>(out), size);
  jpeg_destroy_compress(&c);
  std::free(out);
  return bytes;
}

bool ReadPng(const std::string &path, std::vector<uint8_t> *rgb, uint32_t *w, uint32_t *h) {
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGB;
  rgb->resize(PNG_IMAGE_SIZE(image));
  *w = image.width;
  *h = image.height;
  return png_image_finish_read(&image, nullptr, rgb->data(), 0, nullptr) != 0;
}

std::string HostFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class PageRenders : public ScratchTest {
 protected:
  void SetUp() override {
    out_ = PAGES_DIR;
    ASSERT_EQ(std::system(("mkdir -p '" + out_ + "'").c_str()), 0);
    // Fixed figures: the folder page must not show the host's free space.
    ASSERT_TRUE(SYS_SetDrive('C', SYS_DRIVE_FIXED, uint64_t(2345) << 20));

    std::vector<TestEntry> setup = {
        {"la.txt", HostFile(SOURCE_DIR "/sample/setup/la.txt")},
        {"back.jpg", HostFile(SOURCE_DIR "/tools/guidemo/assets/back.jpg")}};
    for (int i = 0; i < int(sizeof kSlides / sizeof *kSlides); ++i)
      setup.push_back({std::string(kSlides[i]) + ".jpg", Slide(i, 292, 86)});
    // The two fonts, when the machine has a face for fntmake.
    const std::string fonts = std::string(SYS_GetMachineRoot()) + "/fonts";
    const std::string make = "mkdir -p '" + fonts + "' && '" FNTMAKE_PATH "' 'DejaVu Sans' -11 '" +
                             fonts +
                             "/tahoma08.fnt' >/dev/null && '" FNTMAKE_PATH "' 'DejaVu Sans' -15 '" +
                             fonts + "/tahoma15.fnt' --weight 700 >/dev/null";
    if (std::system(make.c_str()) == 0) {
      setup.push_back({"tahoma08.fnt", HostFile(fonts + "/tahoma08.fnt")});
      setup.push_back({"tahoma15.fnt", HostFile(fonts + "/tahoma15.fnt")});
    }
    ASSERT_TRUE(machine.WriteFile(Disc("setup.cbf"), BuildArchive(setup)));
    std::string big(24 << 20, 'x');  // copied for long enough to be held
    ASSERT_TRUE(machine.WriteFile(Disc("disk01.cbf"),
                                  BuildArchive({{"DISK01\\ASHGROVE.EXE", "stand-in game"},
                                                {"DISK01\\DATA\\MAPS\\MAP1.DAT", big}})));
    ASSERT_TRUE(machine.WriteFile(Disc("setup.exe"), "the installer"));
    machine.DeleteKeyOnExit("SOFTWARE\\Halvorin");
    machine.DeleteKeyOnExit(
        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ashgrove Multiplayer demo");
    line_ = "\"" + Disc("setup.exe") + "\"";
    SYS_SetCommandLine(line_.c_str());
  }
  void TearDown() override { SYS_SetCommandLine(nullptr); }

  std::string Disc(const std::string &name) const { return machine.Path("disc\\" + name); }

  int Run(const std::function<void()> &body) {
    std::function<void()> copy = body;
    return AppMain(
        0,
        [](void *data) {
          (*static_cast<std::function<void()> *>(data))();
          return 0;
        },
        &copy);
  }

  // Writes the current frame as NAME.png and compares it with (or, when
  // updating, stores it as) the reference of that name.
  void Shot(const std::string &name) {
    AppLoopPass();
    const std::string run = out_ + "/" + name + ".png";
    const std::string ref = std::string(SOURCE_DIR "/docs/pages/") + name + ".png";
    ASSERT_TRUE(InstallerDesktop->SaveScreenPng(run.c_str())) << name;
    const char *update = std::getenv("UPDATE_REFERENCES");
    if (update && *update == '1') {
      ASSERT_TRUE(InstallerDesktop->SaveScreenPng(ref.c_str()));
      return;
    }
    std::vector<uint8_t> got, want;
    uint32_t gw, gh, ww, wh;
    ASSERT_TRUE(ReadPng(run, &got, &gw, &gh));
    ASSERT_TRUE(ReadPng(ref, &want, &ww, &wh)) << "no reference " << ref;
    ASSERT_EQ(gw, ww);
    ASSERT_EQ(gh, wh);
    size_t differ = 0;
    for (size_t i = 0; i < got.size(); ++i) differ += got[i] != want[i];
    EXPECT_EQ(differ, 0u) << name << ": compare " << run << " with " << ref;
  }

  std::string out_;
  std::string line_;
};

void Click(c_GUIB_Widget *w) {
  int32_t x = 0, y = 0, width, height;
  w->GetSize(&width, &height);
  for (c_GUIB_Widget *p = w; p && p != InstallerDesktop; p = p->ParentPtr()) {
    int32_t px, py;
    p->GetPosition(&px, &py);
    x += px;
    y += py;
  }
  InstallerDesktop->InputMouse(GM_MOUSE_MOVE, x + width / 2, y + height / 2);
  InstallerDesktop->InputMouse(GM_LBUTTON_DOWN, x + width / 2, y + height / 2);
  InstallerDesktop->InputMouse(GM_LBUTTON_UP, x + width / 2, y + height / 2);
  AppLoopPass();
  // The pointer leaves, so that no button is shown hovered.
  InstallerDesktop->InputMouse(GM_MOUSE_MOVE, 5, 5);
}

bool ReachPage(uint32_t n) {
  const uint32_t start = SYS_GetTickCount();
  while (INST_CurrentPage() != n && SYS_GetTickCount() - start < 20000 && AppLoopPass())
    InstallerDesktop->WaitForWork();
  return INST_CurrentPage() == n;
}

std::string Name(uint32_t page, const char *what) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "page%02u-%s", page, what);
  return buffer;
}

TEST_F(PageRenders, EveryPage) {
  static const char *const kNames[18] = {"menu",           "intro",
                                         "licence",        "folder",
                                         "shortcuts",      "group",
                                         "online",         "directx",
                                         "ready",          "copying",
                                         "finished",       "error",
                                         "cancelled",      "menu-installed-now",
                                         "menu-installed", "uninstall",
                                         "uninstalling",   "uninstalled"};
  auto next = [&](uint32_t page) {
    Click(INST_NextButton());
    ASSERT_TRUE(ReachPage(page)) << "on " << INST_CurrentPage() << ", not " << page;
  };
  auto shot = [&](uint32_t page) { Shot(Name(page, kNames[page])); };

  // Not installed: the menu, the install pages, the copy and the finish.
  EXPECT_EQ(Run([&] {
              shot(0);
              Click(INST_MenuButton(1));
              shot(1);
              for (uint32_t page : {2u, 3u, 4u, 6u, 7u, 8u}) {
                next(page);
                shot(page);
              }
              INST_ShowPage(5);  // no transition leads there
              shot(5);
              INST_ShowPage(8);
              // Install, and at once hold the progress fields at a fixed
              // state for the picture: the worker waits for them meanwhile.
              InstallerDesktop->InputMouse(GM_LBUTTON_DOWN, 585, 258);
              InstallerDesktop->InputMouse(GM_LBUTTON_UP, 585, 258);
              InstallerDesktop->InputMouse(GM_MOUSE_MOVE, 5, 5);
              ASSERT_EQ(INST_CurrentPage(), 9u);
              InstallEngine *engine = static_cast<c_INST_ProgressPage *>(INST_Page(9))->Engine();
              ASSERT_EQ(SYS_WaitResult(engine->mutex, SYS_INFINITE), 0u);
              InstallProgress &p = engine->progress;
              EXPECT_EQ(p.status, uint32_t(INSTALL_RUNNING));
              SYS_StrCopy(p.current_name, "data\\maps\\map1.dat");
              p.current_size = 1000;
              p.current_done = 625;
              p.total_size = 4000;
              p.total_done = 1700;
              shot(9);
              SYS_ReleaseMutex(engine->mutex);
              ASSERT_TRUE(ReachPage(10));
              shot(10);
              InstallerDesktop->InputMouse(GM_MOUSE_MOVE, 5, 5);
              Installer.online_addon = 0;  // the other finish page
              INST_ShowPage(10);
              Shot("page10-finished-no-addon");
              next(13);
              shot(13);
            }),
            0);

  // Installed: the menu, the uninstall question, the never-reached progress
  // page of the uninstall, and the end.
  EXPECT_EQ(Run([&] {
              shot(14);
              Click(INST_MenuButton(2));
              shot(15);
              INST_ShowPage(16);
              shot(16);
              INST_ShowPage(15);
              Installer.remove_confirmation = 1;
              next(17);
              shot(17);
            }),
            0);

  // A copy that fails, and one that is cancelled.
  ASSERT_TRUE(machine.WriteFile(std::string(kInstallDir) + "\\data", "in the way"));
  EXPECT_EQ(Run([&] {
              Click(INST_MenuButton(1));
              for (uint32_t page : {2u, 3u, 4u, 6u, 7u, 8u}) next(page);
              next(11);
              shot(11);
            }),
            0);
  EXPECT_EQ(SYS_FileDelete((std::string(kInstallDir) + "\\data").c_str()), 0u);
  EXPECT_EQ(Run([&] {
              Click(INST_MenuButton(1));
              for (uint32_t page : {2u, 3u, 4u, 6u, 7u, 8u}) next(page);
              Click(INST_NextButton());
              ASSERT_EQ(INST_CurrentPage(), 9u);
              next(12);
              shot(12);
            }),
            0);
}

}  // namespace
