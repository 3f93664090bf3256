// The decoder against hand-made and literal-only streams and its failure
// messages.
#include "store/lzw.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive_builder.h"
#include "lzw_pack.h"

namespace {

struct Decoded {
  bool ok;
  std::string out;
  std::string messages;
};

Decoded Decode(const std::string &stream, size_t capacity) {
  std::vector<uint8_t> source(stream.begin(), stream.end());
  source.resize(stream.size() + LZW_SOURCE_PADDING, 0);
  std::vector<uint8_t> out(capacity + 1, 0xEE);  // one guard byte behind
  testing::internal::CaptureStdout();
  LZW_Context *c = LZW_Create(out.data(), capacity, source.data(), stream.size());
  EXPECT_NE(c, nullptr);
  Decoded d{LZW_Decode(c), "", ""};
  size_t produced = LZW_BytesProduced(c);
  LZW_Free(c);
  d.messages = testing::internal::GetCapturedStdout();
  EXPECT_LE(produced, capacity);
  EXPECT_EQ(out[capacity], 0xEE) << "wrote past the capacity";
  d.out.assign(out.begin(), out.begin() + produced);
  return d;
}

std::string Codes9(std::initializer_list<uint32_t> codes) {
  BitStream s;
  for (uint32_t code : codes) s.Put(code, 9);
  return s.Bytes();
}

}  // namespace

TEST(LzwDecode, SmallStreamsAndFailures) {
  const std::string add_failed = "\n Selhala funkce LZW_AddKey\n";
  struct Case {
    const char *what;
    std::string stream;
    size_t capacity;
    bool ok;
    std::string out, messages;
  } cases[] = {
      {"end code only", Codes9({256}), 10, true, "", ""},
      // 257 is the entry being defined: "c" + its own first byte, at once.
      // Room enough for the decoder's fast loop, as in the cases at 100.
      {"entry in definition", Codes9({'c', 257, 256}), 100, true, "ccc", ""},
      {"entry in definition past the capacity", Codes9({'c', 257, 256}), 2, false, "c",
       "Selhala funkce LZW_ComposeKey\n"},
      // "ab", then 257 = "ab" again, then 258 = "ba".
      {"known codes", Codes9({'a', 'b', 257, 258, 256}), 100, true, "ababba", ""},
      // No end code: the zero padding reads as literals until the source ends.
      {"no end code", Codes9({'a', 'b'}), 100, false, std::string("ab\0\0", 4),
       "\n Selhala funkce LZW_Input\n"},
      {"code not yet defined", Codes9({'a', 300, 256}), 100, false, "a",
       "Selhala funkce LZW_ComposeKey ( KeyCount = 257 Key = 300 )\n" + add_failed},
      {"literal past the capacity", LiteralStream("abc"), 2, false, "ab",
       "Selhala funkce LZW_ComposeKey ( KeyCount = 258 Key = 99 )\n" + add_failed},
      // A copy that would pass the capacity fails without writing past it.
      {"copy past the capacity", Codes9({'a', 'b', 257, 256}), 3, false, "ab", ""},
      // The entry being defined cannot be the first code.
      {"defined entry first", Codes9({257, 256}), 10, false, "", "Selhala funkce LZW_ComposeKey\n"},
      {"empty", LiteralStream(""), 0, true, "", ""},
      {"no room at all", LiteralStream("a"), 0, false, "", ""},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    Decoded d = Decode(c.stream, c.capacity);
    EXPECT_EQ(d.ok, c.ok);
    EXPECT_EQ(d.out, c.out);
    if (c.ok || !c.messages.empty()) {
      EXPECT_EQ(d.messages, c.messages);
    }
  }
}

TEST(LzwDecode, TableHoldsExactlyItsSlots) {
  // Every code after the first adds an entry: 65282 codes fill slots
  // 257..65537, one more would need a slot the table does not have.
  std::string full = RandomBytes(LzwPacker::kMaxCodes, 7);
  Decoded d = Decode(LiteralStream(full), full.size());
  EXPECT_TRUE(d.ok) << d.messages;
  EXPECT_EQ(d.out, full);
  // With room to spare, so that the table fills where the output does not.
  d = Decode(LiteralStream(full + "x"), full.size() + 100);
  EXPECT_FALSE(d.ok);
  EXPECT_EQ(d.messages, "\n Selhala funkce LZW_AddKey\n");
}
