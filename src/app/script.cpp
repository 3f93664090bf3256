#include "app/script.h"

#include <cstdlib>
#include <sstream>

#include "app/app.h"
#include "installer/wizard.h"

namespace {

enum Outcome { NEXT_LINE, PROGRAM_ENDED, FAILED };

// Runs the program until done() holds or ms milliseconds have passed,
// sleeping between passes as the main loop does.
template <class Done>
Outcome iRunFor(uint32_t ms, Done done, bool *timed_out) {
  const uint32_t start = SYS_GetTickCount();
  *timed_out = false;
  while (!done()) {
    if (SYS_GetTickCount() - start >= ms) {
      *timed_out = true;
      return NEXT_LINE;
    }
    if (!AppLoopPass()) return PROGRAM_ENDED;
    InstallerDesktop->WaitForWork();
  }
  return NEXT_LINE;
}

Outcome iRunLine(const std::string &line, AppScript *script, std::string *why) {
  std::istringstream words(line);
  std::string cmd;
  words >> cmd;
  long x = 0, y = 0;
  std::string name;
  c_GUIB_Desktop *desk = InstallerDesktop;
  bool timed_out = false;
  if (cmd == "move" || cmd == "down" || cmd == "up" || cmd == "click") {
    if (!(words >> x >> y)) {
      *why = "expected X Y";
      return FAILED;
    }
    const int32_t px = int32_t(x), py = int32_t(y);
    if (cmd == "move" || cmd == "click") desk->InputMouse(GM_MOUSE_MOVE, px, py);
    if (cmd == "down" || cmd == "click") desk->InputMouse(GM_LBUTTON_DOWN, px, py);
    if (cmd == "up" || cmd == "click") desk->InputMouse(GM_LBUTTON_UP, px, py);
  } else if (cmd == "key") {
    if (!(words >> name)) {
      *why = "expected a key code";
      return FAILED;
    }
    char *end = nullptr;
    const long code = std::strtol(name.c_str(), &end, 0);
    if (*end || code <= 0 || code > 255) {
      *why = "bad key code";
      return FAILED;
    }
    desk->InputKey(uint32_t(code), true);
    desk->InputKey(uint32_t(code), false);
  } else if (cmd == "wait") {
    if (!(words >> x) || x < 0) {
      *why = "expected milliseconds";
      return FAILED;
    }
    return iRunFor(
        uint32_t(x), [] { return false; }, &timed_out);
  } else if (cmd == "page") {
    if (!(words >> x >> y) || x < 0 || y < 0) {
      *why = "expected a page number and milliseconds";
      return FAILED;
    }
    const uint32_t page = uint32_t(x);
    const Outcome o = iRunFor(
        uint32_t(y), [page] { return INST_CurrentPage() == page; }, &timed_out);
    if (timed_out) {
      *why = "page " + std::to_string(INST_CurrentPage()) + " is shown";
      return FAILED;
    }
    return o;
  } else if (cmd == "shot") {
    if (!(words >> name) || name.find_first_of("/\\") != std::string::npos) {
      *why = "expected a plain name";
      return FAILED;
    }
    if (!AppLoopPass()) return PROGRAM_ENDED;
    const std::string path = script->frames + "/" + name + ".png";
    if (script->frames.empty() || !desk->SaveScreenPng(path.c_str())) {
      *why = "cannot write " + path;
      return FAILED;
    }
    return NEXT_LINE;
  } else {
    *why = "unknown command";
    return FAILED;
  }
  std::string extra;
  if (words >> extra) {
    *why = "unexpected " + extra;
    return FAILED;
  }
  return AppLoopPass() ? NEXT_LINE : PROGRAM_ENDED;
}

}  // namespace

int AppRunScript(void *data) {
  AppScript *script = static_cast<AppScript *>(data);
  std::istringstream in(script->text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    std::string why;
    switch (iRunLine(line, script, &why)) {
      case PROGRAM_ENDED:
        return 0;
      case FAILED:
        script->error = "line " + std::to_string(number) + ": " + line + ": " + why;
        return 1;
      default:
        break;
    }
  }
  return 0;
}
