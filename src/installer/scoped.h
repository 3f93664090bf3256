// Small owners of the handles the installer's files use: each closes its
// handle (when it has one) as it goes out of scope. Internal to src/installer.
#pragma once

#include "platform/platform.h"
#include "store/store.h"

struct ScopedStoreFile {
  BF_Handle h = 0;
  ~ScopedStoreFile() {
    if (h) BF_Close(h);
  }
};

struct ScopedDiskFile {
  SYS_Handle h = 0;
  ~ScopedDiskFile() {
    if (h) SYS_FileClose(h);
  }
};

struct ScopedRegKey {
  SYS_RegKey k;
  explicit ScopedRegKey(SYS_RegKey key) : k(key) {}
  ~ScopedRegKey() {
    if (k) SYS_RegCloseKey(k);
  }
};

struct ScopedFind {
  SYS_Handle h = 0;
  ~ScopedFind() {
    if (h) SYS_FindClose(h);
  }
};
