// The text table: the fallback rules and owned copies.
#include "installer/texts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const char kFallback[] = "*** no text ***";

class Texts : public ::testing::Test {
 protected:
  void SetUp() override { INST_InitTexts(); }
  void TearDown() override { INST_FreeTexts(); }
};

TEST_F(Texts, EmptyAndOutOfRangeIdsFallBackButEmptyStringsDoNot) {
  for (int32_t id : {-1, 501, 7, 0, 499, INT32_MIN})
    EXPECT_STREQ(INST_GetText(id), kFallback) << id;
  for (int32_t id : {29, 89, 199}) EXPECT_STREQ(INST_GetText(id), "") << id;
  const char *text = nullptr;
  EXPECT_EQ(INST_GetTextLen(405, &text), 16u);
  EXPECT_STREQ(text, "Ashgrove MP demo");
  EXPECT_EQ(INST_GetTextLen(600, &text), 15u);
  EXPECT_STREQ(text, kFallback);
  // Shared texts are separate copies.
  EXPECT_STREQ(INST_GetText(2), INST_GetText(10));
  EXPECT_NE(INST_GetText(2), INST_GetText(10));
}

TEST_F(Texts, SettingReplacesEmptiesAndIgnoresIdsPastTheTable) {
  INST_SetText(501, "never");
  INST_SetText(0xFFFFFFFFu, "never");
  EXPECT_STREQ(INST_GetText(500), kFallback);
  INST_SetText(42, "first");
  INST_SetText(42, "second, longer");
  const char *text = nullptr;
  EXPECT_EQ(INST_GetTextLen(42, &text), 14u);
  EXPECT_STREQ(text, "second, longer");
  INST_SetText(42, nullptr);
  EXPECT_STREQ(INST_GetText(42), kFallback);
  INST_FreeTexts();
  for (int32_t id : {1, 29, 500}) EXPECT_EQ(INST_GetTextLen(id, &text), 0u) << id;
}

// A text's printf conversions in order ("%s %u "): what its callers pass.
std::string Conversions(const char *text) {
  std::string out;
  for (const char *c = std::strchr(text, '%'); c; c = std::strchr(c + 1, '%')) {
    const char *end = c + 1;
    while (*end && !std::strchr("diouxXeEfFgGaAcspn%", *end)) ++end;
    if (!*end) return out + c;
    out.append(c, end + 1) += ' ';
    c = end;
  }
  return out;
}

TEST(TextLanguages, EveryLanguageHasEveryTextWithTheSameConversions) {
  std::vector<std::string> english;
  INST_InitTextsIn(INST_LANG_EN);
  for (int32_t id = 0; id < int32_t(INST_TEXT_COUNT); ++id)
    english.push_back(Conversions(INST_GetText(id)));
  for (uint32_t l = 0; l < INST_LANG_COUNT; ++l) {
    EXPECT_EQ(INST_FirstMissingText(INST_Language(l)), -1) << "language " << l;
    INST_InitTextsIn(INST_Language(l));
    for (int32_t id = 0; id < int32_t(INST_TEXT_COUNT); ++id)
      EXPECT_EQ(Conversions(INST_GetText(id)), english[id]) << "language " << l << ", text " << id;
  }
  INST_FreeTexts();
}

}  // namespace
