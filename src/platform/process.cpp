// Process state of the platform layer: start and stop, the
// replaceable tick source, the random seed, the command line and the
// message-box answerer. The system-facing halves live in the backends.
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <string>

#include "platform/backend.h"
#include "platform/platform.h"

static std::atomic<bool> g_started{false};
static SysStartupInfo g_startup_info;
static std::atomic<uint32_t (*)()> g_tick_source{nullptr};
static std::atomic<SYS_MessageBoxAnswerer> g_answerer{nullptr};
static std::atomic<uintptr_t> g_owner_window{0};

static std::mutex g_command_line_mutex;
static std::string g_command_line;
static bool g_command_line_set = false;

uint32_t SYS_Init(const SysStartupInfo *info) {
  bool expected = false;
  if (!g_started.compare_exchange_strong(expected, true)) return SYS_ALREADY_STARTED;
  if (info) g_startup_info = *info;
  std::srand(SYS_GetTickCount());
  return SYS_OK;
}

void SYS_Shutdown() {
  g_started.store(false);
}

bool SYS_IsStarted() {
  return g_started.load();
}

uint32_t SYS_GetTickCount() {
  uint32_t (*source)() = g_tick_source.load(std::memory_order_acquire);
  return source ? source() : Backend_SystemTicks();
}

void SYS_SetTickSource(uint32_t (*source)()) {
  g_tick_source.store(source, std::memory_order_release);
}

void SYS_SeedRandom(uint32_t seed) {
  std::srand(seed);
}

const char *SYS_GetCommandLine() {
  std::lock_guard<std::mutex> lock(g_command_line_mutex);
  return g_command_line_set ? g_command_line.c_str() : Backend_CommandLine();
}

void SYS_SetCommandLine(const char *command_line) {
  std::lock_guard<std::mutex> lock(g_command_line_mutex);
  g_command_line_set = command_line != nullptr;
  g_command_line = command_line ? command_line : "";
}

uint32_t SYS_MessageBox(const char *text, const char *caption, uint32_t buttons, bool owned) {
  SYS_MessageBoxAnswerer answerer = g_answerer.load(std::memory_order_acquire);
  if (answerer) return answerer(text ? text : "", caption ? caption : "", buttons);
  return Backend_MessageBox(text ? text : "", caption ? caption : "", buttons,
                            owned ? g_owner_window.load() : 0);
}

void SYS_SetOwnerWindow(uintptr_t window) {
  g_owner_window.store(window);
}

void SYS_SetMessageBoxAnswerer(SYS_MessageBoxAnswerer answerer) {
  g_answerer.store(answerer, std::memory_order_release);
}
