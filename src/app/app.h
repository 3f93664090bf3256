// The program's spine: start-up, main loop and shutdown.
//
// AppMain is what the entry point runs: parse the command line, AppInit,
// build the installer and its first page, turn the main loop while
// AppRunning is set, destroy the exit clean-up list, then AppShutdown, which
// undoes AppInit in reverse.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "platform/startup.h"

struct GuiContext;
extern GuiContext *AppGui;  // the GUI context, while the program runs

// 1 when everything is up; 0 when start-up failed, with everything that had
// been started stopped again.
int AppInit(uintptr_t instance);
void AppShutdown();

// One pass of the main loop: the desktop's PumpOnce, clearing AppRunning
// once the window was closed. false when the program is to end.
bool AppLoopPass();

// Runs in place of the main loop when given (a scripted session): it drives
// the program with AppLoopPass and returns the program's result.
typedef int (*AppLoopFn)(void *data);

// The whole run of the program: 0 after an orderly end (the elevated copy:
// its INST_COPY_* code, wizard.h), -1 when start-up or
// the installer's GUI failed; with a loop function, what it returned.
int AppMain(uintptr_t instance, AppLoopFn loop = nullptr, void *loop_data = nullptr);
