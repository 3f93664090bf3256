// The emulated Windows machine of the POSIX backend. Native only: include
// this from backend files, native tools and native-only tests, never from
// portable code.
//
// A machine root is one host folder laid out like a Wine prefix:
//   drive_c/, drive_d/, ...   the drives (C:\ is drive_c/)
//   registry                  HKEY_LOCAL_MACHINE, a text file written atomically
//   attributes                file attributes (read-only, hidden, system, ...)
//   drives                    drive types and free space set by SYS_SetDrive
//   pending_moves             moves and deletions waiting for the next restart
//   log                       what the machine was asked to do, one line each:
//                               "start\t<program>\t<working folder>"
//                               "open\t<address>"
//                               "probe\t<library file name>\t<1 present, 0 absent>"
// Inside drive_c: WINDOWS\SYSTEM32 (system folder; a library is present
// when a file of its name lies there), WINDOWS\TEMP (temporary
// folder), Documents and Settings\User\Desktop and ...\Start Menu\Programs.
//
// The root in use is the one set last; when none was set, the environment
// variable SETUP_MACHINE_ROOT names it, else $HOME/.local/share/demodisc/machine.
// It is created on first use.
#pragma once

#include <cstddef>
#include <cstdint>

// Switches to another root (created with its standard folders when missing)
// and forgets everything cached from the previous one: the current directory
// becomes C:\ and the registry is read again from disk, as after a restart.
// 0 goes back to the default root. false when the folder cannot be made.
bool SYS_SetMachineRoot(const char *host_folder);
// The host folder of the root in use (set up on first use); "" on failure.
// The text stays valid until the root is switched.
const char *SYS_GetMachineRoot();

// The host path a Windows path maps to (entries resolved without regard to
// case; the last component need not exist). 0 when the path is refused.
size_t SYS_MapPath(const char *windows_path, char *host, size_t size);

// Drive configuration. A drive exists when its folder drive_x exists; this
// creates the folder and records the type (SYS_DRIVE_*; default fixed) and
// the free space reported for it (SYS_FREE_FROM_HOST: the host file
// system's, from statvfs; SYS_FREE_FAILS: the query fails, as it can for a
// drive that is not ready). SYS_DRIVE_NO_ROOT removes the record (the folder
// stays and the drive reads as fixed again).
// A recorded figure is also the room left: writes that make files on the
// drive longer use it up (the free space reported shrinks with them) and
// fail once it is gone, as on a full disk. Deleting or truncating files does
// not give it back; setting the record again (or switching roots) starts
// the count afresh. A CDROM drive is read-only: creating, writing, deleting,
// moving files or folders and setting attributes on it fail.
static const uint64_t SYS_FREE_FROM_HOST = ~uint64_t(0);
static const uint64_t SYS_FREE_FAILS = ~uint64_t(0) - 1;
bool SYS_SetDrive(char letter, uint32_t type, uint64_t free_bytes);

// The platform identifier SYS_GetPlatformId reports: 2 (the NT family)
// unless a test sets another, e.g. 1 to cover the older family. Process-wide,
// and back to 2 whenever the machine root is switched.
void SYS_SetPlatformId(uint32_t id);
// The user's interface language SYS_GetUILanguage reports (a Windows
// language id): 0x0409, English (United States), unless a test sets
// another. Process-wide, and back to 0x0409 whenever the root is switched.
void SYS_SetUILanguage(uint16_t language);

// A registry that refuses every change (new keys, values set or deleted,
// keys deleted), as for a user without the rights; existing keys still open
// and read. Until called with false or the root is switched.
void SYS_SetRegistryReadOnly(bool read_only);

// The restart: carries out the moves and deletions recorded by SYS_MoveFile
// with delay_until_reboot, in order, and forgets them. The record file
// pending_moves has one line per request: "D\t<path>" to delete (a file, or
// an empty folder) or "M\t<from>\t<to>" to move; the paths are full Windows
// paths. Returns false when one of them failed (the others are still done).
bool SYS_RunPendingMoves();
