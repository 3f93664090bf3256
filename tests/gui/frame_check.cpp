#include "frame_check.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <vector>

#include "gui/desktop.h"

namespace {

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

}  // namespace

void ExpectSamePng(const std::string &run, const std::string &reference, const std::string &name) {
  std::vector<uint8_t> got, want;
  uint32_t gw = 0, gh = 0, ww = 0, wh = 0;
  ASSERT_TRUE(ReadPng(run, &got, &gw, &gh)) << name << ": cannot read " << run;
  ASSERT_TRUE(ReadPng(reference, &want, &ww, &wh)) << name << ": no reference " << reference;
  ASSERT_EQ(gw, ww) << name;
  ASSERT_EQ(gh, wh) << name;
  size_t differ = 0;
  for (size_t i = 0; i < got.size(); ++i) differ += got[i] != want[i];
  EXPECT_EQ(differ, 0u) << name << ": compare " << run << " with " << reference;
}

void CheckFrame(const c_GUIB_Desktop *desk, const std::string &run_dir,
                const std::string &reference_dir, const std::string &name) {
  const std::string run = run_dir + "/" + name + ".png";
  const std::string reference = reference_dir + "/" + name + ".png";
  ASSERT_TRUE(desk->SaveScreenPng(run.c_str())) << name;
  const char *update = std::getenv("UPDATE_REFERENCES");
  if (update && *update == '1') {
    ASSERT_TRUE(desk->SaveScreenPng(reference.c_str())) << name;
    return;
  }
  ExpectSamePng(run, reference, name);
}
