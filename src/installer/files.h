// Files the installer writes: creating a file together with its missing
// folders, and copying one file out of the store to disk (used for the
// temporary copy of the installer's archive and for single files of an
// install).
#pragma once

#include "platform/platform.h"

// out = folder, a backslash unless folder is empty or already ends in one,
// then name. false (out untouched) when that does not fit size bytes: a path
// is never cut short.
bool INST_JoinPath(char *out, size_t size, const char *folder, const char *name);

// Creates (or truncates) a file for writing, making its missing folders
// first when needed. The open handle, or 0.
SYS_Handle INST_CreateFileWithFolders(const char *path);

// Copies the store file `store_name` to the disk file `destination` in
// 64 KiB pieces. 1 on success; 0 on failure, in which case no partial
// destination file is left behind.
int INST_CopyStoreFile(const char *destination, const char *store_name);

// Copies a store file into this run's folder (INST_OpenRunFolder) under its
// own file name and puts the copy's path into `out` (SYS_MAX_PATH bytes).
// 1 or 0.
int INST_CopyToTemp(const char *store_name, char *out);

// This run's private folder in the temporary folder, which holds the copy
// of setup.cbf and the add-ons. Opening removes the folders earlier runs
// left behind (found by the same name prefix) and makes a fresh one; 1 or
// 0. Closing removes the folder and what it holds. GUI thread only.
int INST_OpenRunFolder();
void INST_CloseRunFolder();
