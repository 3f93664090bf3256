// ashgrove.exe of the sample disc: a stand-in for the game. It logs its
// start (standin_log.h), shows a window titled "Ashgrove stand-in" and ends
// when that window is closed.
#include <windows.h>

#include "standin_log.h"

namespace {

const char kClassName[] = "AshgroveStandIn";
const char kTitle[] = "Ashgrove stand-in";
const char kText[] =
    "Ashgrove Multiplayer demo\n\n"
    "This is the sample disc's stand-in for the game.\n"
    "Close the window to end it.";
const COLORREF kBackground = RGB(35, 44, 28);
const COLORREF kInk = RGB(231, 227, 206);

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      RECT r;
      GetClientRect(window, &r);
      // The text block centred: measure it, then move it to the middle.
      RECT text = r;
      DrawTextA(dc, kText, -1, &text, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
      const LONG h = text.bottom - text.top;
      text.left = r.left;
      text.right = r.right;
      text.top = (r.bottom - h) / 2;
      text.bottom = text.top + h;
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, kInk);
      DrawTextA(dc, kText, -1, &text, DT_CENTER | DT_WORDBREAK);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  StandinLogStart();  // a missing log line is the test's to notice, not the player's

  HBRUSH background = CreateSolidBrush(kBackground);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = background;
  wc.lpszClassName = kClassName;
  if (!RegisterClassA(&wc)) return 1;
  HWND window = CreateWindowExA(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 480, 270, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  DeleteObject(background);
  return 0;
}
