// ComRef: releases a COM interface when it goes out of scope; ComScope:
// COM on this thread for the duration of one call. For Win32 backend files
// (and the Windows test support) that talk to the shell's objects.
#pragma once

#include <objbase.h>

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

// COM runs only while a call needs it, so that the program's start loads
// none of it. A thread that already runs COM keeps it; one that runs it in
// the other model (RPC_E_CHANGED_MODE) can still use it and is left as it was.
struct ComScope {
  HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ComScope() = default;
  ComScope(const ComScope &) = delete;
  ComScope &operator=(const ComScope &) = delete;
  ~ComScope() {
    if (SUCCEEDED(hr)) CoUninitialize();
  }
};
