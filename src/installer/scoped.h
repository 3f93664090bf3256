// Small owners of the handles the installer's files use: each closes its
// handle (when it has one) as it goes out of scope. Internal to src/installer.
#pragma once

#include "platform/platform.h"
#include "store/store.h"

template <void (*Close)(uintptr_t)>
struct ScopedHandle {
  uintptr_t h = 0;
  ScopedHandle() = default;
  explicit ScopedHandle(uintptr_t handle) : h(handle) {}
  ScopedHandle(const ScopedHandle &) = delete;
  ScopedHandle &operator=(const ScopedHandle &) = delete;
  ~ScopedHandle() {
    if (h) Close(h);
  }
};

using ScopedStoreFile = ScopedHandle<BF_Close>;
using ScopedDiskFile = ScopedHandle<SYS_FileClose>;
using ScopedRegKey = ScopedHandle<SYS_RegCloseKey>;
using ScopedFind = ScopedHandle<SYS_FindClose>;
