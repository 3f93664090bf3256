// ReadShortcut natively: the link file as lnkinfo, a reader written apart
// from the program's writer, sees it. The first line of each field counts.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "platform/machine.h"
#include "platform/platform.h"
#include "support/shortcut.h"

bool ReadShortcut(const char *windows_link_path, ShortcutFields *out) {
  char host[4096];
  if (!out || SYS_GetFileAttributes(windows_link_path) == SYS_ATTR_INVALID ||
      SYS_MapPath(windows_link_path, host, sizeof host) == 0)
    return false;
  FILE *p = popen(("lnkinfo '" + std::string(host) + "' 2>/dev/null").c_str(), "r");
  if (!p) return false;
  std::map<std::string, std::string> fields;
  char buffer[4096];
  while (std::fgets(buffer, sizeof buffer, p)) {
    std::string line(buffer);
    line.erase(0, line.find_first_not_of('\t'));
    line.erase(line.find_last_not_of('\n') + 1);
    const size_t tab = line.find('\t'), colon = line.find(": ");
    if (tab != std::string::npos && colon != std::string::npos)
      fields.emplace(line.substr(0, tab), line.substr(colon + 2));
  }
  if (pclose(p) != 0) return false;
  *out = {fields["Local path"],
          fields["Description"],
          fields["Working directory"],
          fields["Icon location"],
          fields["Command line arguments"],
          std::atoi(fields["Icon index"].c_str())};
  return true;
}
