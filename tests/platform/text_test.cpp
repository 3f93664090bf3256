// Text, byte, number and process operations of the platform layer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/platform.h"

TEST(Text, NullPointersCountAsEmpty) {
  EXPECT_EQ(SYS_StrLen(nullptr), 0u);
  EXPECT_EQ(SYS_StrCmp(nullptr, ""), 0);
  EXPECT_EQ(SYS_StrCmp(nullptr, "x"), -1);
  EXPECT_EQ(SYS_StrUpper(nullptr), 0u);
  EXPECT_EQ(SYS_StrCopy(nullptr, 4, "abc"), 0u);
  char buffer[8] = "junk";
  EXPECT_EQ(SYS_StrCopy(buffer, sizeof buffer, nullptr), 0u);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(SYS_Widen(nullptr, "abc"), 0u);
  SYS_Fill(nullptr, 4, 10, 1);
  SYS_Copy(buffer, nullptr, 4);
  SYS_FreeSafe(nullptr);
}

TEST(Text, CompareIsUnsignedCaseSensitiveAndPrefixesComeFirst) {
  const struct {
    const char *a, *b;
    int expected;
  } cases[] = {{"ab", "abc", -1},   {"abc", "ab", 1}, {"", "x", -1},
               {"same", "same", 0}, {"\xE9", "z", 1}, {"B", "a", -1}};
  for (const auto &c : cases) EXPECT_EQ(SYS_StrCmp(c.a, c.b), c.expected) << c.a << " " << c.b;
}

TEST(Text, CaseChangesOnlyAsciiLetters) {
  char text[] = "Setup.EXE \xE9[z]@";
  EXPECT_EQ(SYS_StrUpper(text), 15u);
  EXPECT_STREQ(text, "SETUP.EXE \xE9[Z]@");
  EXPECT_EQ(SYS_StrLower(text), 15u);
  EXPECT_STREQ(text, "setup.exe \xE9[z]@");
}

TEST(Text, DirectoryAndFileParts) {
  const struct {
    size_t size;
    const char *path, *dir, *file;  // a part that does not fit gives "", never a cut one
  } cases[] = {
      {SYS_MAX_PATH, "setup.exe", "", "setup.exe"},
      {SYS_MAX_PATH, "C:\\Games\\Ashgrove\\setup.exe", "C:\\Games\\Ashgrove\\", "setup.exe"},
      {SYS_MAX_PATH, "C:\\folder\\", "C:\\folder\\", ""},
      {8, "C:\\Games\\setup.exe", "", ""},
      {8, "C:\\a.exe", "C:\\", "a.exe"}};
  for (const auto &c : cases) {
    char out[SYS_MAX_PATH];
    EXPECT_EQ(SYS_DirPart(out, c.size, c.path), std::strlen(c.dir)) << c.path;
    EXPECT_STREQ(out, c.dir);
    EXPECT_EQ(SYS_FilePart(out, c.size, c.path), std::strlen(c.file)) << c.path;
    EXPECT_STREQ(out, c.file);
  }
}

TEST(Text, BoundedCopyAndFormatNeverOverflow) {
  char small[6];
  std::memset(small, 'x', sizeof small);
  EXPECT_EQ(SYS_StrCopy(small, sizeof small, "abcdefgh"), 5u);
  EXPECT_STREQ(small, "abcde");
  EXPECT_EQ(SYS_StrCopy(small, 0, "ab"), 0u);

  char guard[16];
  std::memset(guard, '#', sizeof guard);
  EXPECT_EQ(SYS_Format(guard, 8, "%s-%d", "volume", 12), 7);
  EXPECT_STREQ(guard, "volume-");
  EXPECT_EQ(guard[8], '#');
  char out[64];
  EXPECT_EQ(SYS_Format(out, sizeof out, "%s%02d.%s|%c|%x|%ld", "disk", 1, "cbf", 'Q', 255, 70000L),
            21);
  EXPECT_STREQ(out, "disk01.cbf|Q|ff|70000");
}

TEST(Text, ToNumberTakesOnlyPlainDecimals) {
  int32_t value = 99;
  EXPECT_EQ(SYS_StrToInt(&value, "-12"), SYS_OK);
  EXPECT_EQ(value, -12);
  for (const char *bad : {"1x", "+1", " 1"}) {
    EXPECT_EQ(SYS_StrToInt(&value, bad), SYS_ERR_BADARG) << bad;
    EXPECT_EQ(value, -12) << bad;
  }
}

TEST(Text, WideningKeepsEachByte) {
  uint16_t wide[8];
  EXPECT_EQ(SYS_Widen(wide, "A\xE9z"), 3u);
  EXPECT_EQ(wide[1], 0xE9);  // no code page
  EXPECT_EQ(wide[3], 0);
  EXPECT_EQ(SYS_WStrLen(wide), 3u);
  EXPECT_EQ(SYS_WStrSize(wide), 6u);
}

TEST(Numbers, RoundHalvesToEvenAndTruncateTowardZero) {
  const struct {
    double in;
    int32_t out;
  } rounds[] = {{0.5, 0},
                {1.5, 2},
                {2.5, 2},
                {-0.5, 0},
                {-1.5, -2},
                {-2.5, -2},
                {2.4999, 2},
                {-2.5001, -3},
                {2147483647.0, 2147483647},
                {-2147483648.0, INT32_MIN},
                {1e12, INT32_MIN}};  // out of range, as the processor's conversion
  for (const auto &r : rounds) EXPECT_EQ(SYS_Round(r.in), r.out) << r.in;
  EXPECT_EQ(SYS_Trunc(-2.9), -2.0);
  EXPECT_EQ(SYS_Trunc(1e15 + 0.5), 1e15);
}

TEST(Memory, FillByUnit) {
  const struct {
    uint32_t unit, count, value;
    uint8_t expected[8];  // 0xEE: untouched
  } cases[] = {{4, 1, 0x11223344, {0x44, 0x33, 0x22, 0x11, 0xEE, 0xEE, 0xEE, 0xEE}},
               {2, 3, 0xAABBCCDD, {0xDD, 0xCC, 0xDD, 0xCC, 0xDD, 0xCC, 0xEE, 0xEE}},
               {1, 5, 0x1234, {0x34, 0x34, 0x34, 0x34, 0x34, 0xEE, 0xEE, 0xEE}}};
  for (const auto &c : cases) {
    uint8_t bytes[8];
    std::memset(bytes, 0xEE, sizeof bytes);
    SYS_Fill(bytes, c.unit, c.count, c.value);
    EXPECT_EQ(std::memcmp(bytes, c.expected, 8), 0) << "unit " << c.unit;
  }
}

TEST(Memory, ZeroAndCopyEveryTailLength) {
  for (size_t n = 0; n <= 11; n++) {
    uint8_t src[16], dst[16];
    for (size_t i = 0; i < 16; i++) {
      src[i] = uint8_t(i + 1);
      dst[i] = 0xEE;
    }
    SYS_Copy(dst, src, n);
    for (size_t i = 0; i < 16; i++) EXPECT_EQ(dst[i], i < n ? src[i] : 0xEE) << n << " " << i;
    SYS_Zero(dst, n);
    for (size_t i = 0; i < 16; i++) EXPECT_EQ(dst[i], i < n ? 0 : 0xEE) << n << " " << i;
  }
  // Overlapping, the copy runs forward: four bytes up repeats the first word.
  uint8_t buf[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  SYS_Copy(buf + 4, buf, 8);
  const uint8_t expected[12] = {1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4};
  EXPECT_EQ(std::memcmp(buf, expected, 12), 0);
}

TEST(Memory, GlobalAllocIsZeroFilledWithPaddingAndReservesCommitInSteps) {
  uint8_t *p = static_cast<uint8_t *>(SYS_GlobalAlloc(100));
  ASSERT_NE(p, nullptr);
  for (size_t i = 0; i < 116; i++) ASSERT_EQ(p[i], 0) << i;
  SYS_GlobalFree(p);

  const size_t reserve = 5 * 1024 * 1024, step = 32 * 1024;
  uint8_t *base = static_cast<uint8_t *>(SYS_Reserve(reserve));
  ASSERT_NE(base, nullptr);
  ASSERT_TRUE(SYS_Commit(base, 0, step));
  base[10] = 42;
  ASSERT_TRUE(SYS_Commit(base, step, step));
  EXPECT_EQ(base[2 * step - 1], 0);
  EXPECT_EQ(base[10], 42);  // earlier steps keep their contents and address
  SYS_ReleaseReserved(base, reserve);
}

TEST(Process, InitOnceThenAgainAfterShutdown) {
  SysStartupInfo info = {sizeof(SysStartupInfo), "inst.log", 0};
  bool was_started = SYS_IsStarted();
  if (was_started) SYS_Shutdown();
  EXPECT_EQ(SYS_Init(&info), SYS_OK);
  EXPECT_EQ(SYS_Init(&info), 1u);
  SYS_Shutdown();
  EXPECT_FALSE(SYS_IsStarted());
  EXPECT_EQ(SYS_Init(&info), SYS_OK);
  if (!was_started) SYS_Shutdown();
}

static uint32_t g_manual_clock = 0;

TEST(Process, TickSourceIsReplaceable) {
  SYS_SetTickSource([] { return g_manual_clock; });
  g_manual_clock = 0xFFFFFFF0u;
  EXPECT_EQ(SYS_GetTickCount(), 0xFFFFFFF0u);
  g_manual_clock += 0x20;  // wraps like GetTickCount
  EXPECT_EQ(SYS_GetTickCount(), 0x10u);
  SYS_SetTickSource(nullptr);
  uint32_t a = SYS_GetTickCount();
  SYS_Sleep(100);
  uint32_t elapsed = SYS_GetTickCount() - a;
  EXPECT_GE(elapsed, 70u);  // GetTickCount moves in steps of about 16 ms
  EXPECT_LT(elapsed, 5000u);
}
