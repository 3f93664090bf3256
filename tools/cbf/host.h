// What the archive tool needs from the host beyond the C++ library.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Prepares the platform layer so that the store can open host files.
bool HostInit();
void HostShutdown();
// The name under which the store opens a host file.
std::string HostStorePath(const std::string &host_path);
// Sets a C stream's position to a 64-bit offset from the start.
bool HostSeek(std::FILE *file, uint64_t offset);
// Whether standard error is a terminal (progress is shown only there).
bool HostIsTerminal();
