// guidemo: the GUI sampler as a program.
//
//   guidemo [LOGFILE] [--seconds N] [--script FILE --frames DIR]
//   guidemo --page browser [LOGFILE] [--seconds N] [--png FILE]
//
// Without a script it shows the sampler (a window on Windows, headless
// natively) until it is closed, "Quit" is pressed or N seconds passed, and
// then prints the passes and the processor time it used. With a script
// (native) it plays the script through the input API and writes one PNG per
// step into DIR.
//
// The browser page shows the directory browser over the machine's fixed
// disks with a label for the selected path, as the destination page of the
// installer will; the drives and every selected path go to LOGFILE. --png
// writes its first frame to FILE and ends.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "browser_page.h"
#include "cpu_time.h"
#include "platform/platform.h"
#include "sampler.h"

int main(int argc, char **argv) {
  std::string log_path, script_path, frame_dir, page, png;
  double seconds = 0;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--page") && i + 1 < argc)
      page = argv[++i];
    else if (!std::strcmp(argv[i], "--png") && i + 1 < argc)
      png = argv[++i];
    else if (!std::strcmp(argv[i], "--script") && i + 1 < argc)
      script_path = argv[++i];
    else if (!std::strcmp(argv[i], "--frames") && i + 1 < argc)
      frame_dir = argv[++i];
    else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc)
      seconds = std::atof(argv[++i]);
    else if (argv[i][0] != '-')
      log_path = argv[i];
    else {
      page = "?";
      break;
    }
  }
  if (!page.empty() && page != "browser") {
    std::fprintf(stderr,
                 "usage: guidemo [LOGFILE] [--seconds N] [--script FILE --frames DIR]\n"
                 "       guidemo --page browser [LOGFILE] [--seconds N] [--png FILE]\n");
    return 2;
  }
  // The assets lie beside the program.
  std::string exe = argv[0];
  const size_t slash = exe.find_last_of("/\\");
  const std::string asset_dir = slash == std::string::npos ? "." : exe.substr(0, slash);

  std::FILE *log = log_path.empty() ? nullptr : std::fopen(log_path.c_str(), "wb");
  GuiContext *context = nullptr;
  const uint32_t started = GuiStartup(nullptr, &context);
  if (started != GUI_OK && started != GUI_ALREADY_STARTED) return 1;
  WidgetCreateParams p = {};
  p.width = 640;
  p.height = 284;
  p.context = context;
  c_GUIB_Desktop *desktop = new c_GUIB_Desktop(p);
  int rc = 0;
  if (page == "browser") {
    BrowserPage browser(context, desktop, log);
    if (!png.empty()) {
      desktop->PumpOnce();
      if (!desktop->SaveScreenPng(png.c_str())) {
        std::fprintf(stderr, "guidemo: cannot write %s\n", png.c_str());
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
  } else {
    Sampler sampler(context, desktop, asset_dir, log);
    if (!script_path.empty()) {
      std::ifstream in(script_path);
      std::stringstream text;
      text << in.rdbuf();
      std::string error;
      if (!in || !sampler.PlayScript(text.str(), frame_dir, &error)) {
        std::fprintf(stderr, "guidemo: %s\n", in ? error.c_str() : "cannot read the script");
        rc = 1;
      }
    } else {
      DesktopWindowParams wp = {0xCA0000, 0, "GUI sampler", 0};
      desktop->SetDisplayMode(1, &wp);  // natively there is no window: headless
      const uint32_t start = SYS_GetTickCount();
      const double cpu0 = ProcessCpuSeconds();
      uint32_t passes = 0;
      while (sampler.Running() && desktop->PumpOnce()) {
        ++passes;
        if (seconds > 0 && SYS_GetTickCount() - start >= uint32_t(seconds * 1000)) break;
        desktop->WaitForWork();
      }
      const double wall = (SYS_GetTickCount() - start) / 1000.0;
      const double cpu = ProcessCpuSeconds() - cpu0;
      std::fprintf(stderr, "guidemo: %u passes in %.2f s, processor %.3f s, progress %d %%\n",
                   passes, wall, cpu, sampler.Progress()->GetValue());
    }
  }
  desktop->Release();
  GuiShutdown();
  if (log) std::fclose(log);
  return rc;
}
