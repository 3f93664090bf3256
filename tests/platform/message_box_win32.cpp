// The "Disk error" box (SYS_MessageBox with owned set) belongs to the
// program's own window, never to whatever window is on top of the screen,
// which may be another program's.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "platform/platform.h"

namespace {

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

TEST(MessageBoxOwner, OwnedBoxBelongsToTheProgramsWindow) {
  HWND ours = CreateWindowExA(0, "STATIC", "ours", WS_POPUP | WS_VISIBLE, 0, 0, 60, 60, nullptr,
                              nullptr, nullptr, nullptr);
  HWND on_top = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "on top", WS_POPUP | WS_VISIBLE, 80, 0, 60,
                                60, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(ours && on_top);
  SYS_SetOwnerWindow(reinterpret_cast<uintptr_t>(ours));
  // Shown from another thread, as the install worker shows it.
  std::atomic<uint32_t> answer{0};
  std::thread shown(
      [&] { answer = SYS_MessageBox("text", "Owner test box", SYS_MB_OKCANCEL, true); });
  HWND box = nullptr;
  for (int i = 0; i < 500 && !box; ++i) {
    Pump();
    box = FindWindowA("#32770", "Owner test box");
    Sleep(10);
  }
  EXPECT_NE(box, nullptr);
  if (box) {
    EXPECT_EQ(GetWindow(box, GW_OWNER), ours);
    PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
  }
  for (int i = 0; i < 500 && !answer; ++i) {
    Pump();
    Sleep(10);
  }
  if (answer)
    shown.join();
  else
    shown.detach();
  EXPECT_EQ(answer, SYS_ID_CANCEL);
  SYS_SetOwnerWindow(0);
  DestroyWindow(on_top);
  DestroyWindow(ours);
}

}  // namespace
