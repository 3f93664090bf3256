// Scenario: the sampler driven through the headless desktop by the session
// script of guidemo. Checks the notifications and compares key frames with
// the stored references pixel for pixel. The frames of the run are kept in
// GUI_FRAMES_DIR for a person to look at.
#include "sampler.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "frame_check.h"

namespace {

std::string ReadText(const std::string &path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

TEST(SamplerScenario, SessionNotificationsAndFrames) {
  GuiContext *ctx = nullptr;
  ASSERT_EQ(GuiStartup(nullptr, &ctx), 0u);
  WidgetCreateParams p = {};
  p.width = 640;
  p.height = 284;
  p.context = ctx;
  c_GUIB_Desktop *desk = new c_GUIB_Desktop(p);
  const std::string frames = GUI_FRAMES_DIR;
  const std::string log_path = frames + "/log.txt";
  std::FILE *log = std::fopen(log_path.c_str(), "w");
  ASSERT_NE(log, nullptr);
  {
    Sampler sampler(ctx, desk, GUIDEMO_ASSETS, log);
    std::string error;
    ASSERT_TRUE(sampler.PlayScript(ReadText(GUIDEMO_SESSION), frames, &error)) << error;
    // Held for 400 ms: four repeats (after 250, then every 60 ms of 20 ms
    // passes), then the click; "More" once.
    EXPECT_EQ(sampler.Count(), 10 - 5 + 1);
    EXPECT_TRUE(sampler.Running());
  }
  std::fclose(log);
  desk->Release();
  GuiShutdown();

  const std::string got = ReadText(log_path);
  // The box is centred; its place depends on the width of the text.
  const size_t at = got.find("msgbox cancel at ");
  ASSERT_NE(at, std::string::npos);
  const std::string cancel = got.substr(at + 17, got.find('\n', at) - at - 17);
  const std::string want =
      "Less enter\nLess repeat\nLess repeat\nLess repeat\nLess repeat\nLess clicked\n"
      "Less leave\nMore enter\nMore clicked\nMore leave\n"
      "Shortcut enter\nShortcut changed 0\nShortcut leave\n"
      "Online enter\nOnline changed 1\nOnline leave\n"
      "Ask enter\nAsk clicked\nmsgbox cancel at " +
      cancel +
      "\nAsk leave\nmsgbox result 8\n"
      "msgbox destroy\nAsk enter\nAsk clicked\nmsgbox cancel at " +
      cancel +
      "\n"
      "msgbox result 8\nmsgbox destroy\n";
  EXPECT_EQ(got, want);

  for (const char *name : {"05-up", "09-click", "13-up", "16-wait", "18-key"})
    ExpectSamePng(frames + "/" + name + ".png",
                  std::string(GUI_REFERENCE_DIR) + "/" + name + ".png", name);
}
