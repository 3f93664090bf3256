// The "Disk error" box the store shows when a name is missing or a read
// fails.
#include "platform/platform.h"
#include "store/store.h"
#include "store/store_internal.h"

using namespace store_internal;

namespace {

char g_caption[128] = "Disk error";
char g_installDir[128] = "Failed access to Install_Dir";
char g_file[128] = "Failed access to file";

void iCopy(char (&to)[128], const char *text) {
  if (text) SYS_StrCopy(to, sizeof to, text);
}

}  // namespace

void BF_SetDiskErrorTexts(const char *caption, const char *install_dir, const char *file) {
  iCopy(g_caption, caption);
  iCopy(g_installDir, install_dir);
  iCopy(g_file, file);
}

uint32_t BF_DiskErrorBox(BF_Handle handle, const char *name) {
  bool install_dir = true;
  if (handle) {
    StoreLock lock;
    OpenFileRecord *r = lock.held() ? FindRecord(handle) : nullptr;
    install_dir = r && (r->flags & BF_FLAG_INSTALL_DIR);
  }
  char text[SYS_MAX_PATH + 64];
  SYS_Format(text, sizeof(text), "%s\n(%s)", install_dir ? g_installDir : g_file, name ? name : "");
  return SYS_MessageBox(text, g_caption, SYS_MB_OKCANCEL, true) == SYS_ID_OK ? BF_RETRY : BF_CANCEL;
}
