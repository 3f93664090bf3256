// The folder-browser page: the directory browser over the machine's fixed
// disks with a label that shows the selected path, as the installer's
// destination page will have them. guidemo shows it as its browser page
// (--page browser); the browser scenario test drives it in-process.
//
// The tree icons (ids 24 to 26) and scroll arrows (ids 1 to 8) are drawn
// here by code and registered in the GUI context, where the installer
// registers its TGA icons.
#pragma once

#include <cstdio>

#include "gui/dir_browser.h"
#include "gui/gui.h"

// Draws and registers the icons the browser fetches from the image registry.
void RegisterBrowserIcons(GuiContext *context);

class BrowserPage {
 public:
  // Builds the page as children of parent (640 x 284) and fills the drives
  // (fixed disks only, folders only). Each drive and each selected path is
  // written to log ("drive <label>", "selected <path>") when log is not 0.
  BrowserPage(GuiContext *context, c_GUIB_Widget *parent, std::FILE *log);
  BrowserPage(const BrowserPage &) = delete;
  BrowserPage &operator=(const BrowserPage &) = delete;

  c_GUIB_DirBrowser *Browser() const { return m_browser; }
  c_GUIB_Label *PathLabel() const { return m_path; }
  const char *SelectedPath() const { return m_selected; }

 private:
  static uint32_t iNotify(c_GUIB_Widget *w, uintptr_t data, uint32_t msg, uintptr_t a, uintptr_t b);

  std::FILE *m_log;
  c_GUIB_DirBrowser *m_browser = nullptr;
  c_GUIB_Label *m_path = nullptr;
  char m_selected[SYS_MAX_PATH] = {};
};
