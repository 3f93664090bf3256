// The menu's outward actions and the add-ons: starting the installed game,
// opening web addresses, detecting DirectX 8.1, and running the add-on
// set-up programs out of the store while the installer's window waits.
#pragma once

#include <cstdint>

#include "installer/config.h"

// The menu's offer of its pages to its elevated copy (per logged-in user).
#define INST_HAND_OVER_NAME "Local\\" INSTALLER_IDENTITY ".HandOver"

// 1 when the DirectX 8.1 library is present in the system folder.
int INST_IsDirectXPresent();
// Starts GamePath in its own folder and clears AppRunning, started or not.
void INST_PlayGame();
// Opens a web address with the shell's default handler, maximised, with the
// user's own rights: in an elevated copy the waiting menu opens it.
void INST_OpenWebAddress(const char *address);
// Runs the chosen add-on set-up programs one after the other, with the
// window (the desktop's, 0 natively) disabled meanwhile.
void INST_RunAddOns(uintptr_t window);
