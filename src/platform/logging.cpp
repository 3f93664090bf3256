// Logging facility: discards everything unless a sink is
// installed. Never fails; cheap when no sink is set.
#include <atomic>

#include "platform/platform.h"

static std::atomic<SYS_LogSink> g_sink{nullptr};

uint32_t SYS_LogOpen(uint32_t /*channel*/, const char * /*name*/) {
  return SYS_OK;
}

void SYS_LogClose(uint32_t /*channel*/) {}

void SYS_LogPrint(uint32_t channel, uint32_t level, const char *format, ...) {
  SYS_LogSink sink = g_sink.load(std::memory_order_acquire);
  if (!sink || !format) return;
  char line[1024];
  va_list args;
  va_start(args, format);
  SYS_FormatV(line, sizeof line, format, args);
  va_end(args);
  sink(channel, level, line);
}

void SYS_SetLogSink(SYS_LogSink sink) {
  g_sink.store(sink, std::memory_order_release);
}
