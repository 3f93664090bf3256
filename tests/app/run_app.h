// Runs the whole program (AppMain) with a test body in place of its main
// loop: the body drives pages and reads state while everything is up.
#pragma once

#include <functional>

#include "app/app.h"

inline int RunAppWith(const std::function<void()> &body) {
  std::function<void()> copy = body;
  return AppMain(
      0,
      [](void *data) {
        (*static_cast<std::function<void()> *>(data))();
        return 0;
      },
      &copy);
}
