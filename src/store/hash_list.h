// An archive's record of the SHA-256 of its files: one entry named after the
// folder they lie in ("DISK01\..." are listed in "DISK01.SHA256"), beside
// that folder and not in it, so an install that copies the folder never
// copies the list. It is text, one line per file in the archive's order: 64
// lower-case hex digits, two spaces, the file's archive name, a line feed.
// The archive tool writes and checks it; the install worker checks every
// file of the folder against it while copying. Archives without one (older
// discs, other writers) are read as before.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "platform/sha256.h"

using BF_Digest = std::array<uint8_t, SYS_SHA256_SIZE>;
using BF_HashList = std::map<std::string, BF_Digest>;  // by upper-case archive name

static const char BF_HASH_LIST_SUFFIX[] = ".SHA256";
// The longest list of the most entries with the longest names the store holds.
static const uint64_t BF_MAX_HASH_LIST = uint64_t(16384) * (64 + 2 + 255 + 1);

// One line of a list.
std::string BF_HashListLine(const uint8_t digest[SYS_SHA256_SIZE], const std::string &name);

// Adds the lines of a list's text to out. false when a line is malformed
// (the list was damaged): the lines before it stay added.
bool BF_ParseHashList(const char *text, size_t size, BF_HashList *out);

// Reads the list named `entry` from the store (no "Disk error" box when it
// is missing). 1: read; 0: there is none; -1: it is there but cannot be read
// or is malformed.
int BF_LoadHashList(const char *entry, BF_HashList *out);
