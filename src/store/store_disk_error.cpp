// The "Disk error" box the store shows when a name is missing or a read
// fails.
#include "platform/platform.h"
#include "store/store.h"
#include "store/store_internal.h"

using namespace store_internal;

uint32_t BF_DiskErrorBox(BF_Handle handle, const char *name) {
  bool install_dir = true;
  if (handle) {
    Locked lock;
    OpenFileRecord *r = lock.held() ? FindRecord(handle) : nullptr;
    install_dir = r && (r->flags & BF_FLAG_INSTALL_DIR);
  }
  char text[SYS_MAX_PATH + 64];
  SYS_Format(text, sizeof(text), "%s\n(%s)",
             install_dir ? "Failed access to Install_Dir" : "Failed access to file",
             name ? name : "");
  return SYS_MessageBox(text, "Disk error", SYS_MB_OKCANCEL, true) == SYS_ID_OK ? BF_RETRY
                                                                                : BF_CANCEL;
}
