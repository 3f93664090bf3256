// ReadShortcut on Windows: loads the link into the shell's link object and
// reads its fields back.
#include <objbase.h>
#include <shlobj.h>
#include <windows.h>

#include "platform/com_ref_win32.h"
#include "support/shortcut.h"

namespace {

// COM for the duration of one call; a thread that has it already keeps it.
struct ComScope {
  ComScope() : hr(CoInitialize(nullptr)) {}
  ~ComScope() {
    if (SUCCEEDED(hr)) CoUninitialize();
  }
  ComScope(const ComScope &) = delete;
  ComScope &operator=(const ComScope &) = delete;
  HRESULT hr;
};

const int kInfoTip = 1024;  // the shell's limit for descriptions and arguments

}  // namespace

bool ReadShortcut(const char *windows_link_path, ShortcutFields *out) {
  WCHAR wide[MAX_PATH];
  if (!out || !windows_link_path ||
      !MultiByteToWideChar(CP_ACP, 0, windows_link_path, -1, wide, MAX_PATH))
    return false;
  ComScope com;
  ComRef<IShellLinkA> link;
  ComRef<IPersistFile> file;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void **>(&link.p))) ||
      FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file.p))) ||
      FAILED(file.p->Load(wide, STGM_READ)))
    return false;
  char path[MAX_PATH] = "", working_dir[MAX_PATH] = "", icon[MAX_PATH] = "";
  char description[kInfoTip] = "", arguments[kInfoTip] = "";
  int icon_index = 0;
  if (FAILED(link.p->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH)) ||
      FAILED(link.p->GetDescription(description, kInfoTip)) ||
      FAILED(link.p->GetWorkingDirectory(working_dir, MAX_PATH)) ||
      FAILED(link.p->GetIconLocation(icon, MAX_PATH, &icon_index)) ||
      FAILED(link.p->GetArguments(arguments, kInfoTip)))
    return false;
  out->target = path;
  out->description = description;
  out->working_dir = working_dir;
  out->icon_file = icon;
  out->arguments = arguments;
  out->icon_index = icon_index;
  return true;
}
