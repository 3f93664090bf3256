// The GUI sampler: one 640 x 284 desktop showing every core widget, used by
// guidemo (interactive on Windows, scripted natively) and by the scenario
// tests. Every notification any of its widgets sends is written to the log
// as one line "<widget> <what> [<argument>]"; opening the message box also
// writes "msgbox cancel at X Y", the centre of its "Cancel" button.
//
// Script lines (blank lines and lines starting with # are skipped):
//   move X Y | down X Y | up X Y | click X Y   mouse, client coordinates
//   key VK                                      key down and up
//   wait MS                                     pump passes of 20 ms
// After each line one pump pass runs and the screen is written to
// DIR/NN-<command>.png when a frame folder is given.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "gui/gui.h"

class Sampler {
 public:
  // asset_dir: folder holding back.jpg ("" = current folder). log may be 0.
  Sampler(GuiContext *context, c_GUIB_Desktop *desktop, const std::string &asset_dir,
          std::FILE *log);
  ~Sampler();
  Sampler(const Sampler &) = delete;
  Sampler &operator=(const Sampler &) = delete;

  bool Running() const { return m_running; }
  // Runs a script with the manual clock of the tests (20 ms per pass).
  bool PlayScript(const std::string &script, const std::string &frame_dir, std::string *error);

  c_GUIB_ProgressBar *Progress() const { return m_progress; }
  int32_t Count() const { return m_count; }

 private:
  static uint32_t iNotify(c_GUIB_Widget *w, uintptr_t data, uint32_t msg, uintptr_t a, uintptr_t b);
  void iLog(const char *name, uint32_t msg, uintptr_t a);
  void iSetCount(int32_t count);

  GuiContext *m_context;
  c_GUIB_Desktop *m_desktop;
  std::FILE *m_log;
  bool m_running = true;
  int32_t m_count = 10;
  c_GUIB_Label *m_counter = nullptr;
  c_GUIB_ProgressBar *m_progress = nullptr;
};

// Loads a JPEG, TGA or BMP host file into a new bitmap (0 x 0 on failure).
c_GUIB_Bitmap *LoadHostImage(const std::string &path);
