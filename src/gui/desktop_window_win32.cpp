// The desktop's window on Windows: class, creation with an exact client
// area, the window procedure and the message queue.
#include <windows.h>

#include "gui/desktop.h"
#include "platform/platform.h"

namespace {

LRESULT CALLBACK DesktopWndProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  c_GUIB_Desktop *desktop =
      reinterpret_cast<c_GUIB_Desktop *>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!desktop) return DefWindowProcA(window, msg, wparam, lparam);
  const intptr_t r = desktop->iWindowMessage(msg, wparam, lparam);
  if (r) return r;
  return DefWindowProcA(window, msg, wparam, lparam);
}

}  // namespace

intptr_t c_GUIB_Desktop::iWindowMessage(uint32_t msg, uintptr_t wparam, intptr_t lparam) {
  if (m_closed) return 0;
  HWND window = reinterpret_cast<HWND>(m_window);
  const int32_t x = int16_t(LOWORD(lparam)), y = int16_t(HIWORD(lparam));
  switch (msg) {
    case WM_PAINT: {
      RECT u;
      if (GetUpdateRect(window, &u, FALSE)) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        const GUIB_Rect r{u.left - m_x, u.top - m_y, u.right - m_x, u.bottom - m_y};
        if (m_bitmap)
          m_bitmap->Present(reinterpret_cast<uintptr_t>(dc), m_x + r.left, m_y + r.top, r);
        EndPaint(window, &ps);
      }
      return 1;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_CLOSE:
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      iClose();
      return 0;
    case WM_KEYDOWN:
      iKeyDown(uint32_t(wparam));
      return 0;
    case WM_KEYUP:
      iKeyUp(uint32_t(wparam));
      return 0;
    case WM_MOUSEMOVE:
      iMouseEvent(GM_MOUSE_MOVE, x, y);
      return 0;
    case WM_LBUTTONDOWN:
      iMouseEvent(GM_LBUTTON_DOWN, x, y);
      return 0;
    case WM_LBUTTONDBLCLK:
      iMouseEvent(GM_LBUTTON_DBLCLK, x, y);
      return 0;
    case WM_LBUTTONUP:
      iMouseEvent(GM_LBUTTON_UP, x, y);
      return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      iMouseEvent(GM_RBUTTON_DOWN, x, y);
      return 0;
    case WM_RBUTTONUP:
      iMouseEvent(GM_RBUTTON_UP, x, y);
      return 0;
    case WM_MBUTTONDOWN:
      iMouseEvent(GM_MBUTTON_DOWN, x, y);
      return 0;
    case WM_MBUTTONUP:
      iMouseEvent(GM_MBUTTON_UP, x, y);
      return 0;
    default:
      return 0;
  }
}

uint32_t c_GUIB_Desktop::iCreateWindow(const DesktopWindowParams *params) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!m_className) {
    m_className = static_cast<char *>(SYS_Alloc(100, "Class name"));
    if (!m_className) return GUI_ERR_NOMEM;
    SYS_Format(m_className, 100, "Class_%x", SYS_GetTickCount());
  }
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  DWORD style = 0xCA0000, ex_style = 0;
  const char *title = "Quon's GUI desktop";
  if (params) {
    style = params->style;
    ex_style = params->ex_style;
    title = params->title;
  }
  WNDCLASSA wc = {};
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = DesktopWndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  wc.lpszClassName = m_className;
  if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return GUI_ERR_WINDOW;
  const int w = m_rect.right, h = m_rect.bottom;
  HWND window = CreateWindowExA(ex_style, m_className, title, style, (sw - w) / 2, (sh - h) / 2, w,
                                h, nullptr, nullptr, instance, nullptr);
  if (!window) {
    UnregisterClassA(m_className, instance);
    return GUI_ERR_WINDOW;
  }
  RECT client;
  GetClientRect(window, &client);
  const int cw = client.right - client.left, ch = client.bottom - client.top;
  if (cw != w || ch != h)
    SetWindowPos(window, nullptr, (sw + cw - 2 * w) / 2, (sh + ch - 2 * h) / 2, 2 * w - cw,
                 2 * h - ch, 0);
  m_window = reinterpret_cast<uintptr_t>(window);
  // A pointer-sized slot: the 64-bit build keeps a 64-bit address here.
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  EnableWindow(window, TRUE);
  ShowWindow(window, SW_SHOWNA);
  if (params && params->icon) {
    SendMessageA(window, WM_SETICON, ICON_SMALL, LPARAM(params->icon));
    SendMessageA(window, WM_SETICON, ICON_BIG, LPARAM(params->icon));
  }
  return GUI_OK;
}

void c_GUIB_Desktop::iDestroyWindow() {
  if (m_mode == 1) {
    HWND window = reinterpret_cast<HWND>(m_window);
    if (IsWindow(window)) {
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      DestroyWindow(window);
    }
    UnregisterClassA(m_className, GetModuleHandleA(nullptr));
  }
  m_window = 0;
  m_mode = 0;
}

void c_GUIB_Desktop::GetClientSize(int32_t *w, int32_t *h) const {
  RECT r;
  if (m_mode != 1 || !GetClientRect(reinterpret_cast<HWND>(m_window), &r)) {
    GetSize(w, h);
    return;
  }
  if (w) *w = r.right - r.left;
  if (h) *h = r.bottom - r.top;
}

void c_GUIB_Desktop::iPumpWindowMessages() {
  MSG msg;
  HWND window = reinterpret_cast<HWND>(m_window);
  while (!m_closed && PeekMessageA(&msg, window, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void c_GUIB_Desktop::iWaitForInput(uint32_t ms) {
  if (m_mode == 1)
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
  else
    Sleep(ms);
}

void c_GUIB_Desktop::iWindowCapture(bool on) {
  if (m_mode != 1) return;
  if (on)
    SetCapture(reinterpret_cast<HWND>(m_window));
  else
    ::ReleaseCapture();
}

uint32_t c_GUIB_Desktop::iKeyState(uint32_t vk) const {
  return uint32_t(uint16_t(GetKeyState(int(vk))));
}

void c_GUIB_Desktop::iPresent(const GUIB_Rect &r) {
  if (m_mode != 1 || !m_bitmap) return;
  HWND window = reinterpret_cast<HWND>(m_window);
  HDC dc = GetDC(window);
  if (!dc) return;
  m_bitmap->Present(reinterpret_cast<uintptr_t>(dc), m_x + r.left, m_y + r.top, r);
  ReleaseDC(window, dc);
}

bool c_GUIB_Desktop::SaveScreenPng(const char *) const {
  return false;
}
