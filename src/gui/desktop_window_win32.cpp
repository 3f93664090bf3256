// The desktop's window on Windows: class, creation with an exact client
// area, the window procedure and the message queue. On a screen of more
// than 96 DPI the client area is the desktop times a whole scale, drawn
// without smoothing, and mouse positions are divided by it.
#include <windows.h>

#include <vector>

#include "gui/accessible.h"
#include "gui/desktop.h"
#include "platform/platform.h"

namespace {

const UINT kWmDpiChanged = 0x02E0;  // WM_DPICHANGED (Windows 8.1 and later)

// The integer nearest to dpi / 96, halves up (144 DPI gives 2), at least 1.
int32_t ScaleForDpi(uint32_t dpi) {
  const int32_t scale = int32_t((dpi + 48) / 96);
  return scale < 1 ? 1 : scale;
}

// The window's DPI: GetDpiForWindow where the system has it (Windows 10),
// else the screen's logical pixels per inch.
uint32_t WindowDpi(HWND window) {
  typedef UINT(WINAPI * GetDpiForWindowFn)(HWND);
  HMODULE user32 = GetModuleHandleA("user32.dll");
  FARPROC proc = user32 ? GetProcAddress(user32, "GetDpiForWindow") : nullptr;
  if (proc) {
    // Through void(*)(), which converts to any function type without warning.
    const UINT dpi =
        reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void (*)()>(proc))(window);
    if (dpi) return dpi;
  }
  HDC dc = GetDC(window);
  const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 0;
  if (dc) ReleaseDC(window, dc);
  return dpi > 0 ? uint32_t(dpi) : 96;
}

// Screen to desktop pixels, rounding down (also left of or above the
// window, where a captured mouse can be).
int32_t ToDesktop(int32_t v, int32_t scale) {
  return v >= 0 ? v / scale : -((scale - 1 - v) / scale);
}

// Puts rectangle r of the bitmap on the device at desktop position (dx, dy),
// each pixel as a scale x scale square (COLORONCOLOR: no smoothing).
void PresentScaled(HDC dc, const c_GUIB_Bitmap *bitmap, const GUIB_Rect &r, int32_t dx, int32_t dy,
                   int32_t scale) {
  const int32_t bw = int32_t(bitmap->Width()), bh = int32_t(bitmap->Height());
  const int32_t left = r.left < 0 ? 0 : r.left, top = r.top < 0 ? 0 : r.top;
  const int32_t right = r.right > bw ? bw : r.right, bottom = r.bottom > bh ? bh : r.bottom;
  if (!bitmap->Pixels() || right <= left || bottom <= top) return;
  const int32_t w = right - left, h = bottom - top;
  std::vector<uint32_t> rows(size_t(w) * size_t(h));
  for (int32_t y = 0; y < h; ++y)
    SYS_Copy(&rows[size_t(y) * w], bitmap->Pixels() + size_t(top + y) * bw + left, size_t(w) * 4);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;  // negative: top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchDIBits(dc, (dx + left - r.left) * scale, (dy + top - r.top) * scale, w * scale, h * scale,
                0, 0, w, h, rows.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

LRESULT CALLBACK DesktopWndProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  GUI_DesktopHost *desktop =
      reinterpret_cast<GUI_DesktopHost *>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!desktop) return DefWindowProcA(window, msg, wparam, lparam);
  const intptr_t r = desktop->WindowMessage(msg, wparam, lparam);
  if (r) return r;
  return DefWindowProcA(window, msg, wparam, lparam);
}

}  // namespace

intptr_t c_GUIB_Desktop::WindowMessage(uint32_t msg, uintptr_t wparam, intptr_t lparam) {
  if (m_closed) return 0;
  HWND window = reinterpret_cast<HWND>(m_window);
  const int32_t x = ToDesktop(int16_t(LOWORD(lparam)), m_scale);
  const int32_t y = ToDesktop(int16_t(HIWORD(lparam)), m_scale);
  switch (msg) {
    case WM_PAINT: {
      RECT u;
      if (GetUpdateRect(window, &u, FALSE)) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        const int32_t s = m_scale;
        const GUIB_Rect r{ToDesktop(u.left, s) - m_x, ToDesktop(u.top, s) - m_y,
                          ToDesktop(u.right + s - 1, s) - m_x,
                          ToDesktop(u.bottom + s - 1, s) - m_y};
        if (m_bitmap && s == 1)
          m_bitmap->Present(reinterpret_cast<uintptr_t>(dc), m_x + r.left, m_y + r.top, r);
        else if (m_bitmap)
          PresentScaled(dc, m_bitmap, r, m_x + r.left, m_y + r.top, s);
        EndPaint(window, &ps);
      }
      return 1;
    }
    case kWmDpiChanged: {
      // Moved to a screen of another DPI: keep the suggested position, size
      // the client area for the new scale and draw everything again.
      const RECT *suggested = reinterpret_cast<const RECT *>(lparam);
      m_scale = ScaleForDpi(LOWORD(wparam));
      iFitWindow(false, suggested->left, suggested->top);
      InvalidateRect(window, nullptr, FALSE);
      return 1;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_GETOBJECT:
      // Only the client area is ours; the system answers for the frame and
      // the other objects (0 sends the message on to DefWindowProc).
      if (DWORD(lparam) == DWORD(OBJID_CLIENT))
        return GUI_AccessibleAnswer(this, m_window, uintptr_t(wparam));
      return 0;
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
    default: {
      // The mouse messages, as the desktop's events; a right double click
      // is one more press.
      static const struct {
        UINT message;
        uint32_t event;
      } kMouse[] = {{WM_MOUSEMOVE, GM_MOUSE_MOVE},         {WM_LBUTTONDOWN, GM_LBUTTON_DOWN},
                    {WM_LBUTTONDBLCLK, GM_LBUTTON_DBLCLK}, {WM_LBUTTONUP, GM_LBUTTON_UP},
                    {WM_RBUTTONDOWN, GM_RBUTTON_DOWN},     {WM_RBUTTONDBLCLK, GM_RBUTTON_DOWN},
                    {WM_RBUTTONUP, GM_RBUTTON_UP},         {WM_MBUTTONDOWN, GM_MBUTTON_DOWN},
                    {WM_MBUTTONUP, GM_MBUTTON_UP}};
      for (const auto &m : kMouse)
        if (m.message == msg) iMouseEvent(m.event, x, y);
      return 0;
    }
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
  m_window = reinterpret_cast<uintptr_t>(window);
  m_scale = ScaleForDpi(WindowDpi(window));
  const POINT corner = {params ? params->x : 0, params ? params->y : 0};
  const bool placed =
      params && params->placed && MonitorFromPoint(corner, MONITOR_DEFAULTTONULL) != nullptr;
  if (placed) SetWindowPos(window, nullptr, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  iFitWindow(!placed, corner.x, corner.y);
  // A pointer-sized slot: the 64-bit build keeps a 64-bit address here. The
  // window procedure reads it back as the same interface pointer.
  GUI_DesktopHost *host = this;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host));
  EnableWindow(window, TRUE);
  ShowWindow(window, SW_SHOWNA);
  if (params && params->icon) {
    SendMessageA(window, WM_SETICON, ICON_SMALL, LPARAM(params->icon));
    SendMessageA(window, WM_SETICON, ICON_BIG, LPARAM(params->icon));
  }
  return GUI_OK;
}

// Sizes the window so that its client area is the desktop times the scale:
// centred on the screen, or with its top left corner at (left, top). A
// second pass corrects the size when the frame changed with the first.
void c_GUIB_Desktop::iFitWindow(bool center, int32_t left, int32_t top) {
  HWND window = reinterpret_cast<HWND>(m_window);
  const int tw = m_rect.right * m_scale, th = m_rect.bottom * m_scale;
  for (int pass = 0; pass < 2; ++pass) {
    RECT outer, client;
    if (!GetWindowRect(window, &outer) || !GetClientRect(window, &client)) return;
    const int cw = client.right - client.left, ch = client.bottom - client.top;
    if (cw == tw && ch == th) return;
    const int ww = outer.right - outer.left + tw - cw, wh = outer.bottom - outer.top + th - ch;
    if (center) {
      left = (GetSystemMetrics(SM_CXSCREEN) - ww) / 2;
      top = (GetSystemMetrics(SM_CYSCREEN) - wh) / 2;
    }
    SetWindowPos(window, nullptr, left, top, ww, wh, center ? 0 : SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void c_GUIB_Desktop::iDestroyWindow() {
  GUI_AccessibleDetach(this);
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

void c_GUIB_Desktop::iRaiseAccessibleEvent(uint32_t event, int32_t child) {
  if (m_mode != 1) return;
  const DWORD kind = event == ACC_EVENT_FOCUS  ? EVENT_OBJECT_FOCUS
                     : event == ACC_EVENT_NAME ? EVENT_OBJECT_NAMECHANGE
                                               : EVENT_OBJECT_VALUECHANGE;
  NotifyWinEvent(kind, reinterpret_cast<HWND>(m_window), OBJID_CLIENT, LONG(child));
}

void c_GUIB_Desktop::iPresent(const GUIB_Rect &r) {
  if (m_mode != 1 || !m_bitmap) return;
  HWND window = reinterpret_cast<HWND>(m_window);
  HDC dc = GetDC(window);
  if (!dc) return;
  if (m_scale == 1)
    m_bitmap->Present(reinterpret_cast<uintptr_t>(dc), m_x + r.left, m_y + r.top, r);
  else
    PresentScaled(dc, m_bitmap, r, m_x + r.left, m_y + r.top, m_scale);
  ReleaseDC(window, dc);
}

bool c_GUIB_Desktop::SaveScreenPng(const char *) const {
  return false;
}
