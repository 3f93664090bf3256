// ComRef: releases a COM interface when it goes out of scope. For Win32
// backend files (and the Windows test support) that talk to the shell's
// objects.
#pragma once

template <typename T>
struct ComRef {
  T *p = nullptr;
  ComRef() = default;
  ComRef(const ComRef &) = delete;
  ComRef &operator=(const ComRef &) = delete;
  ~ComRef() {
    if (p) p->Release();
  }
};
