// Text, byte, number and process operations of the platform layer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/platform.h"

TEST(Text, NullPointersAreToleratedAndCountAsEmpty) {
  EXPECT_EQ(SYS_StrLen(nullptr), 0u);
  EXPECT_EQ(SYS_StrCmp(nullptr, nullptr), 0);
  EXPECT_EQ(SYS_StrCmp(nullptr, ""), 0);
  EXPECT_EQ(SYS_StrCmp(nullptr, "x"), -1);
  EXPECT_EQ(SYS_StrUpper(nullptr), 0u);
  EXPECT_EQ(SYS_StrLower(nullptr), 0u);
  EXPECT_EQ(SYS_StrCopy(nullptr, 4, "abc"), 0u);
  char buffer[8] = "junk";
  EXPECT_EQ(SYS_StrCopy(buffer, sizeof buffer, nullptr), 0u);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(SYS_WStrLen(nullptr), 0u);
  EXPECT_EQ(SYS_Widen(nullptr, "abc"), 0u);
  SYS_Fill(nullptr, 4, 10, 1);
  SYS_Zero(nullptr, 10);
  SYS_Copy(nullptr, buffer, 4);
  SYS_Copy(buffer, nullptr, 4);
  SYS_FreeSafe(nullptr);
}

TEST(Text, CompareIsUnsignedAndPrefixesComeFirst) {
  EXPECT_EQ(SYS_StrCmp("ab", "abc"), -1);
  EXPECT_EQ(SYS_StrCmp("abc", "ab"), 1);
  EXPECT_EQ(SYS_StrCmp("", "x"), -1);
  EXPECT_EQ(SYS_StrCmp("same", "same"), 0);
  EXPECT_EQ(SYS_StrCmp("\xE9", "z"), 1);  // 0xE9 is above 'z' as an unsigned byte
  EXPECT_EQ(SYS_StrCmp("B", "a"), -1);    // no case folding
}

TEST(Text, CaseChangesOnlyAsciiLetters) {
  char text[] = "Setup.EXE \xE9[z]@";
  EXPECT_EQ(SYS_StrUpper(text), 15u);
  EXPECT_STREQ(text, "SETUP.EXE \xE9[Z]@");
  EXPECT_EQ(SYS_StrLower(text), 15u);
  EXPECT_STREQ(text, "setup.exe \xE9[z]@");
}

TEST(Text, DirectoryAndFileParts) {
  char out[SYS_MAX_PATH];
  EXPECT_EQ(SYS_DirPart(out, sizeof out, "setup.exe"), 0u);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(SYS_DirPart(out, sizeof out, "C:\\Games\\Ashgrove\\setup.exe"), 18u);
  EXPECT_STREQ(out, "C:\\Games\\Ashgrove\\");
  EXPECT_EQ(SYS_FilePart(out, sizeof out, "C:\\Games\\Ashgrove\\setup.exe"), 9u);
  EXPECT_STREQ(out, "setup.exe");
  EXPECT_EQ(SYS_FilePart(out, sizeof out, "bare.txt"), 8u);
  EXPECT_STREQ(out, "bare.txt");
  EXPECT_EQ(SYS_FilePart(out, sizeof out, "C:\\folder\\"), 0u);
  EXPECT_STREQ(out, "");
  // A part that does not fit is not cut.
  char small[8];
  EXPECT_EQ(SYS_DirPart(small, sizeof small, "C:\\Games\\setup.exe"), 0u);
  EXPECT_STREQ(small, "");
  EXPECT_EQ(SYS_FilePart(small, sizeof small, "C:\\setup.exe"), 0u);
  EXPECT_STREQ(small, "");
  EXPECT_EQ(SYS_FilePart(small, sizeof small, "C:\\a.exe"), 5u);
}

TEST(Text, BoundedCopyAndFormatNeverOverflow) {
  char small[6];
  std::memset(small, 'x', sizeof small);
  EXPECT_EQ(SYS_StrCopy(small, sizeof small, "abcdefgh"), 5u);
  EXPECT_STREQ(small, "abcde");
  EXPECT_EQ(SYS_StrCopy(small, sizeof small, "ab"), 2u);
  EXPECT_STREQ(small, "ab");
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

TEST(Text, ToNumber) {
  int32_t value = 99;
  EXPECT_EQ(SYS_StrToInt(&value, "-12"), SYS_OK);
  EXPECT_EQ(value, -12);
  EXPECT_EQ(SYS_StrToInt(&value, "4096"), SYS_OK);
  EXPECT_EQ(value, 4096);
  value = 7;
  EXPECT_EQ(SYS_StrToInt(&value, "1x"), SYS_ERR_BADARG);
  EXPECT_EQ(value, 7);
  EXPECT_EQ(SYS_StrToInt(&value, "+1"), SYS_ERR_BADARG);
  EXPECT_EQ(SYS_StrToInt(&value, " 1"), SYS_ERR_BADARG);
  EXPECT_EQ(value, 7);
}

TEST(Text, WideTexts) {
  uint16_t wide[8];
  EXPECT_EQ(SYS_Widen(wide, "A\xE9z"), 3u);
  EXPECT_EQ(wide[0], 'A');
  EXPECT_EQ(wide[1], 0xE9);  // each byte as it is, no code page
  EXPECT_EQ(wide[3], 0);
  EXPECT_EQ(SYS_WStrLen(wide), 3u);
  EXPECT_EQ(SYS_WStrSize(wide), 6u);
}

TEST(Text, ReleaseFreeKeyFreesTheKey) {
  char *key = static_cast<char *>(SYS_Alloc(16, "key"));
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(SYS_ReleaseFreeKey(reinterpret_cast<uintptr_t>(key), 0), SYS_OK);
  EXPECT_EQ(SYS_ReleaseFreeKey(0, 0), SYS_OK);
}

TEST(Numbers, RoundHalvesToEvenAndTruncateTowardZero) {
  EXPECT_EQ(SYS_Round(0.5), 0);
  EXPECT_EQ(SYS_Round(1.5), 2);
  EXPECT_EQ(SYS_Round(2.5), 2);
  EXPECT_EQ(SYS_Round(-0.5), 0);
  EXPECT_EQ(SYS_Round(-1.5), -2);
  EXPECT_EQ(SYS_Round(-2.5), -2);
  EXPECT_EQ(SYS_Round(2.4999), 2);
  EXPECT_EQ(SYS_Round(-2.5001), -3);
  EXPECT_EQ(SYS_Round(2147483647.0), 2147483647);
  EXPECT_EQ(SYS_Round(-2147483648.0), INT32_MIN);
  EXPECT_EQ(SYS_Round(1e12), INT32_MIN);  // out of range, as the processor's conversion
  EXPECT_EQ(SYS_Trunc(2.9), 2.0);
  EXPECT_EQ(SYS_Trunc(-2.9), -2.0);
  EXPECT_EQ(SYS_Trunc(1e15 + 0.5), 1e15);
}

TEST(Memory, FillByUnit) {
  uint8_t bytes[12];
  std::memset(bytes, 0xEE, sizeof bytes);
  SYS_Fill(bytes, 4, 2, 0x11223344);
  uint32_t words[2];
  std::memcpy(words, bytes, 8);
  EXPECT_EQ(words[0], 0x11223344u);
  EXPECT_EQ(words[1], 0x11223344u);
  EXPECT_EQ(bytes[8], 0xEE);

  std::memset(bytes, 0xEE, sizeof bytes);
  SYS_Fill(bytes, 2, 3, 0xAABBCCDD);
  uint16_t halves[3];
  std::memcpy(halves, bytes, 6);
  EXPECT_EQ(halves[0], 0xCCDD);
  EXPECT_EQ(halves[2], 0xCCDD);
  EXPECT_EQ(bytes[6], 0xEE);

  std::memset(bytes, 0xEE, sizeof bytes);
  SYS_Fill(bytes, 1, 5, 0x1234);  // any other unit: bytes of the low byte
  EXPECT_EQ(bytes[0], 0x34);
  EXPECT_EQ(bytes[4], 0x34);
  EXPECT_EQ(bytes[5], 0xEE);
}

TEST(Memory, ZeroAndCopyEveryTailLength) {
  for (size_t n = 0; n <= 11; n++) {
    uint8_t src[16], dst[16];
    for (size_t i = 0; i < 16; i++) {
      src[i] = uint8_t(i + 1);
      dst[i] = 0xEE;
    }
    SYS_Copy(dst, src, n);
    for (size_t i = 0; i < 16; i++)
      EXPECT_EQ(dst[i], i < n ? src[i] : 0xEE) << "n=" << n << " i=" << i;
    SYS_Zero(dst, n);
    for (size_t i = 0; i < 16; i++) EXPECT_EQ(dst[i], i < n ? 0 : 0xEE) << "n=" << n << " i=" << i;
  }
}

TEST(Memory, OverlappingCopyRunsForward) {
  // A forward copy onto itself four bytes up repeats the first word, where
  // memmove would shift the bytes.
  uint8_t buf[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  SYS_Copy(buf + 4, buf, 8);
  const uint8_t expected[12] = {1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4};
  EXPECT_EQ(std::memcmp(buf, expected, 12), 0);
}

TEST(Memory, GlobalAllocIsZeroFilledWithPadding) {
  uint8_t *p = static_cast<uint8_t *>(SYS_GlobalAlloc(100));
  ASSERT_NE(p, nullptr);
  for (size_t i = 0; i < 116; i++) ASSERT_EQ(p[i], 0) << i;
  SYS_GlobalFree(p);
}

TEST(Memory, ReservedRangeCommitsInStepsAndReadsZero) {
  const size_t reserve = 5 * 1024 * 1024, step = 32 * 1024;
  uint8_t *base = static_cast<uint8_t *>(SYS_Reserve(reserve));
  ASSERT_NE(base, nullptr);
  ASSERT_TRUE(SYS_Commit(base, 0, step));
  EXPECT_EQ(base[0], 0);
  EXPECT_EQ(base[step - 1], 0);
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
  EXPECT_TRUE(SYS_IsStarted());
  EXPECT_EQ(SYS_Init(&info), 1u);
  SYS_Shutdown();
  EXPECT_FALSE(SYS_IsStarted());
  EXPECT_EQ(SYS_Init(&info), SYS_OK);
  if (!was_started) SYS_Shutdown();
}

static uint32_t g_manual_clock = 0;
static uint32_t ManualClock() {
  return g_manual_clock;
}

TEST(Process, TickSourceIsReplaceable) {
  SYS_SetTickSource(ManualClock);
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

TEST(Process, CommandLineReplacement) {
  const char *own = SYS_GetCommandLine();
  ASSERT_NE(own, nullptr);
  std::string saved = own;
  SYS_SetCommandLine("\"C:\\Program Files\\Demo\\setup.exe\" /ignored");
  EXPECT_STREQ(SYS_GetCommandLine(), "\"C:\\Program Files\\Demo\\setup.exe\" /ignored");
  SYS_SetCommandLine(nullptr);
  EXPECT_EQ(std::string(SYS_GetCommandLine()), saved);
}

static std::string g_box_text, g_box_caption;
static uint32_t AnswerOk(const char *text, const char *caption, uint32_t) {
  g_box_text = text;
  g_box_caption = caption;
  return SYS_ID_OK;
}

TEST(Process, MessageBoxGoesToTheAnswerer) {
  SYS_SetMessageBoxAnswerer(AnswerOk);
  EXPECT_EQ(SYS_MessageBox("Failed access to file\n(a.bin)", "Disk error", SYS_MB_OKCANCEL, true),
            SYS_ID_OK);
  EXPECT_EQ(g_box_text, "Failed access to file\n(a.bin)");
  EXPECT_EQ(g_box_caption, "Disk error");
  SYS_SetMessageBoxAnswerer(nullptr);
}

static std::string g_log;
static void Sink(uint32_t channel, uint32_t level, const char *line) {
  char head[32];
  SYS_Format(head, sizeof head, "%x/%u:", channel, level);
  g_log += std::string(head) + line + "\n";
}

TEST(Logging, DiscardsUnlessASinkIsSet) {
  g_log.clear();
  EXPECT_EQ(SYS_LogOpen(SYS_LOG_GUIB, "GUIB"), SYS_OK);
  SYS_LogPrint(SYS_LOG_GUIB, 1, "dropped %d", 1);
  SYS_SetLogSink(Sink);
  SYS_LogPrint(SYS_LOG_MAIN, 2, "iDrawUpdateList() updating %d rectangles.", 3);
  SYS_SetLogSink(nullptr);
  SYS_LogPrint(SYS_LOG_MAIN, 2, "dropped too");
  SYS_LogClose(SYS_LOG_GUIB);
  EXPECT_EQ(g_log, "42526272/2:iDrawUpdateList() updating 3 rectangles.\n");
}
