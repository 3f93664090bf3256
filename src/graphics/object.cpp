#include "graphics/object.h"

#include "platform/platform.h"

static bool s_started = false;

uint32_t GUIB_Startup() {
  if (s_started) return GUIB_ALREADY_STARTED;
  SYS_LogOpen(SYS_LOG_GUIB, "GUIB");
  s_started = true;
  return GUIB_OK;
}

void GUIB_Shutdown() {
  if (!s_started) return;
  SYS_LogClose(SYS_LOG_GUIB);
  s_started = false;
}

void c_GUIB_BasicObject::Release() {
  if (--m_refCount == 0) Destroy();
}

c_GUIB_BasicObject::~c_GUIB_BasicObject() {
  // Destroy is reached only through Release, so the count is 0 here unless
  // somebody deleted an object that others still hold.
  if (m_refCount != 0)
    SYS_LogPrint(SYS_LOG_GUIB, 0, "c_GUIB_BasicObject error: Reference count is not 0!");
}
