// Lets a native tool open host files through the program's store, so that
// images and fonts are read exactly as the program reads them.
#pragma once

#include <string>

// Sets up the platform layer on a private machine root whose drive Z: is
// the host's "/", and mounts the store over the folder of host_file with
// loose files allowed. Returns the name under which the store opens the
// file (empty on failure).
std::string ToolOpenStoreFor(const std::string &host_file);
void ToolCloseStore();
