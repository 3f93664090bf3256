// dirdemo: the folder-browser page as a program.
//
//   dirdemo [LOGFILE] [--seconds N] [--png FILE]
//
// Shows the directory browser over the machine's fixed disks and a label
// with the selected path (a window on Windows; natively headless over the
// machine root) until the window is closed or N seconds passed. The drives
// listed and every selected path are written to LOGFILE. Natively, --png
// writes the first frame to FILE and ends.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "browser_page.h"
#include "platform/platform.h"

int main(int argc, char **argv) {
  const char *log_path = nullptr, *png = nullptr;
  double seconds = 0;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc)
      seconds = std::atof(argv[++i]);
    else if (!std::strcmp(argv[i], "--png") && i + 1 < argc)
      png = argv[++i];
    else if (argv[i][0] != '-')
      log_path = argv[i];
    else {
      std::fprintf(stderr, "usage: dirdemo [LOGFILE] [--seconds N] [--png FILE]\n");
      return 2;
    }
  }
  std::FILE *log = log_path ? std::fopen(log_path, "wb") : nullptr;
  GuiContext *context = nullptr;
  if (GuiStartup(nullptr, &context) > 1) return 1;
  WidgetCreateParams p = {};
  p.width = 640;
  p.height = 284;
  p.context = context;
  c_GUIB_Desktop *desktop = new c_GUIB_Desktop(p);
  int rc = 0;
  {
    BrowserPage page(context, desktop, log);
    if (png) {
      desktop->PumpOnce();
      if (!desktop->SaveScreenPng(png)) {
        std::fprintf(stderr, "dirdemo: cannot write %s\n", png);
        rc = 1;
      }
    } else {
      DesktopWindowParams wp = {0xCA0000, 0, "Folder browser", 0};
      desktop->SetDisplayMode(1, &wp);  // natively there is no window: headless
      const uint32_t start = SYS_GetTickCount();
      while (desktop->PumpOnce()) {
        if (seconds > 0 && SYS_GetTickCount() - start >= uint32_t(seconds * 1000)) break;
        desktop->WaitForWork();
      }
    }
  }
  desktop->Release();
  GuiShutdown();
  if (log) std::fclose(log);
  return rc;
}
