// Headless desktop: no window system. Presented rectangles land in a screen
// bitmap of the desktop's size, the keyboard is the simulated one of the
// input API, and waiting for input is plain sleeping.
#include "graphics/png.h"
#include "gui/desktop.h"
#include "platform/platform.h"

uint32_t c_GUIB_Desktop::iCreateWindow(const DesktopWindowParams *) {
  return GUI_ERR_WINDOW;
}

void c_GUIB_Desktop::iDestroyWindow() {
  m_mode = 0;
}

void c_GUIB_Desktop::GetClientSize(int32_t *w, int32_t *h) const {
  GetSize(w, h);
}

void c_GUIB_Desktop::iPumpWindowMessages() {}

void c_GUIB_Desktop::iWaitForInput(uint32_t ms) {
  SYS_Sleep(ms);
}

void c_GUIB_Desktop::iWindowCapture(bool) {}

intptr_t c_GUIB_Desktop::WindowMessage(uint32_t, uintptr_t, intptr_t) {
  return 0;
}

uint32_t c_GUIB_Desktop::iKeyState(uint32_t vk) const {
  const uint8_t s = m_keys[vk & 0xFF];
  return ((s & 0x80) ? 0x8000u : 0u) | (s & 1u);
}

void c_GUIB_Desktop::iPresent(const GUIB_Rect &r) {
  if (!m_bitmap) return;
  if (!m_screen) {
    m_screen = new c_GUIB_Bitmap(m_rect.right, m_rect.bottom);
    m_screen->SetColor(0xFF000000);
    m_screen->Fill(m_rect);
  }
  m_bitmap->Present(reinterpret_cast<uintptr_t>(m_screen), m_x + r.left, m_y + r.top, r);
}

bool c_GUIB_Desktop::SaveScreenPng(const char *path) const {
  return path && m_screen && PNG_WriteBitmap(path, m_screen);
}

void c_GUIB_Desktop::iRaiseAccessibleEvent(uint32_t, int32_t) {}
