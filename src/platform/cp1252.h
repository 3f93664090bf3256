// Windows-1252, the 8-bit code page of every text the program shows: its
// bytes 0x80-0x9F stand for the characters below (0 where the code page has
// none); every other byte is the Unicode character of the same number.
#pragma once

#include <cstdint>

constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The Unicode character of a Windows-1252 byte; 0 for the five it lacks.
constexpr uint32_t Cp1252ToUnicode(uint32_t c) {
  return c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c;
}
