// SHA-256 of a byte string, as 64 lower-case hex digits (FIPS 180-4).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

std::string Sha256Hex(const void *data, size_t size);
