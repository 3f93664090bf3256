// The bounded text and memory helpers: null input, output that does not
// fit, and writes that stay inside what they are given.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/platform.h"

TEST(Text, NullPointersCountAsEmpty) {
  EXPECT_EQ(SYS_StrLen(nullptr), 0u);
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

TEST(Text, PartsThatDoNotFitAreEmptyNeverCut) {
  const struct {
    size_t size;
    const char *path, *dir, *file;
  } cases[] = {
      {SYS_MAX_PATH, "setup.exe", "", "setup.exe"},
      {SYS_MAX_PATH, "C:\\Games\\Ashgrove\\setup.exe", "C:\\Games\\Ashgrove\\", "setup.exe"},
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
  char guard[16];
  std::memset(guard, '#', sizeof guard);
  EXPECT_EQ(SYS_StrCopy(guard, 6, "abcdefgh"), 5u);
  EXPECT_STREQ(guard, "abcde");
  EXPECT_EQ(guard[6], '#');
  EXPECT_EQ(SYS_StrCopy(guard, 0, "ab"), 0u);
  EXPECT_EQ(SYS_Format(guard, 8, "%s-%d", "volume", 12), 7);
  EXPECT_STREQ(guard, "volume-");
  EXPECT_EQ(guard[8], '#');
  // Numbers: plain decimals only; a refused one leaves the value alone.
  int32_t value = 99;
  EXPECT_EQ(SYS_StrToInt(&value, "-12"), SYS_OK);
  for (const char *bad : {"1x", "+1", " 1"}) {
    EXPECT_EQ(SYS_StrToInt(&value, bad), SYS_ERR_BADARG) << bad;
    EXPECT_EQ(value, -12) << bad;
  }
}

TEST(Memory, FillCopyAndZeroStayInside) {
  for (size_t n = 0; n <= 11; n++) {
    uint8_t src[16], dst[16];
    for (size_t i = 0; i < 16; i++) src[i] = uint8_t(i + 1), dst[i] = 0xEE;
    SYS_Copy(dst, src, n);
    for (size_t i = 0; i < 16; i++) EXPECT_EQ(dst[i], i < n ? src[i] : 0xEE) << n << " " << i;
    SYS_Zero(dst, n);
    for (size_t i = 0; i < 16; i++) EXPECT_EQ(dst[i], i < n ? 0 : 0xEE) << n << " " << i;
  }
  uint8_t bytes[8];
  std::memset(bytes, 0xEE, sizeof bytes);
  SYS_Fill(bytes, 2, 3, 0xAABBCCDD);
  const uint8_t filled[8] = {0xDD, 0xCC, 0xDD, 0xCC, 0xDD, 0xCC, 0xEE, 0xEE};
  EXPECT_EQ(std::memcmp(bytes, filled, 8), 0);
}

TEST(Memory, GlobalAllocIsZeroFilledWithPaddingAndCommitKeepsContents) {
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
  EXPECT_EQ(base[10], 42);
  SYS_ReleaseReserved(base, reserve);
}
