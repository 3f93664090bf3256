// The decoder against hand-made and literal-only streams, its failure
// messages, and the packer against the decoder.
#include "store/lzw.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
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

std::string Pack(const std::string &data, std::vector<size_t> *block_sizes = nullptr) {
  LzwPacker packer;
  std::string all;
  size_t done = 0;
  do {
    std::vector<uint8_t> packed;
    size_t used = packer.Pack(reinterpret_cast<const uint8_t *>(data.data()) + done,
                              data.size() - done, &packed);
    std::string stream(packed.begin(), packed.end());
    Decoded d = Decode(stream, used);
    EXPECT_TRUE(d.ok) << d.messages;
    all += d.out;
    if (block_sizes) block_sizes->push_back(used);
    done += used;
  } while (done < data.size());
  return all;
}

// Bytes in which no pair of neighbours repeats, so a packer finds nothing to
// reuse and must emit one literal per byte.
std::string NoRepeatedPairs(size_t n) {
  std::set<std::pair<int, int>> used;
  std::string s(1, '\0');
  while (s.size() < n) {
    int last = uint8_t(s.back());
    int next = 255;
    while (next >= 0 && used.count({last, next})) next--;
    if (next < 0) break;
    used.insert({last, next});
    s += char(next);
  }
  return s;
}

std::string Random(size_t n, uint32_t seed, int range = 256) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (char &c : s) c = char(rng() % range);
  return s;
}

}  // namespace

TEST(LzwDecode, SmallStreams) {
  BitStream end;
  end.Put(256, 9);
  Decoded d = Decode(end.Bytes(), 10);
  EXPECT_TRUE(d.ok);
  EXPECT_EQ(d.out, "");
  EXPECT_EQ(d.messages, "");

  // 257 is the entry being defined: "c" + its own first byte, written at once.
  BitStream s;
  s.Put('c', 9);
  s.Put(257, 9);
  s.Put(256, 9);
  d = Decode(s.Bytes(), 10);
  EXPECT_TRUE(d.ok);
  EXPECT_EQ(d.out, "ccc");

  // A known code: "ab", then 257 = "ab" again, then 258 = "ba".
  BitStream k;
  for (uint32_t code : {uint32_t('a'), uint32_t('b'), 257u, 258u, 256u}) k.Put(code, 9);
  d = Decode(k.Bytes(), 10);
  EXPECT_TRUE(d.ok);
  EXPECT_EQ(d.out, "ababba");
}

TEST(LzwDecode, FailuresAndTheirMessages) {
  // No end code: the zero padding reads as literals until the source ends.
  BitStream noend;
  noend.Put('a', 9);
  noend.Put('b', 9);
  Decoded d = Decode(noend.Bytes(), 100);
  EXPECT_FALSE(d.ok);
  EXPECT_EQ(d.out.substr(0, 2), "ab");
  EXPECT_EQ(d.messages, "\n Selhala funkce LZW_Input\n");

  BitStream beyond;
  beyond.Put('a', 9);
  beyond.Put(300, 9);
  beyond.Put(256, 9);
  d = Decode(beyond.Bytes(), 100);
  EXPECT_FALSE(d.ok);
  EXPECT_EQ(d.messages,
            "Selhala funkce LZW_ComposeKey ( KeyCount = 257 Key = 300 )\n"
            "\n Selhala funkce LZW_AddKey\n");

  d = Decode(LiteralStream("abc"), 2);
  EXPECT_FALSE(d.ok);
  EXPECT_EQ(d.out, "ab");
  EXPECT_EQ(d.messages,
            "Selhala funkce LZW_ComposeKey ( KeyCount = 258 Key = 99 )\n"
            "\n Selhala funkce LZW_AddKey\n");

  // A copy that would pass the capacity fails without writing past it.
  BitStream over;
  for (uint32_t code : {uint32_t('a'), uint32_t('b'), 257u, 256u}) over.Put(code, 9);
  d = Decode(over.Bytes(), 3);
  EXPECT_FALSE(d.ok);
  EXPECT_EQ(d.out, "ab");

  // The entry being defined cannot be the first code.
  BitStream first;
  first.Put(257, 9);
  first.Put(256, 9);
  d = Decode(first.Bytes(), 10);
  EXPECT_FALSE(d.ok);
  EXPECT_EQ(d.messages, "Selhala funkce LZW_ComposeKey\n");

  EXPECT_TRUE(Decode(LiteralStream(""), 0).ok);
  EXPECT_FALSE(Decode(LiteralStream("a"), 0).ok);
}

TEST(LzwDecode, TableHoldsExactlyItsSlots) {
  // Every code after the first adds an entry: 65282 codes fill slots
  // 257..65537, one more would need a slot the table does not have.
  std::string full = Random(LzwPacker::kMaxCodes, 7);
  Decoded d = Decode(LiteralStream(full), full.size());
  EXPECT_TRUE(d.ok) << d.messages;
  EXPECT_EQ(d.out, full);

  std::string more = full + "x";
  d = Decode(LiteralStream(more), more.size());
  EXPECT_FALSE(d.ok);
  EXPECT_EQ(d.messages, "\n Selhala funkce LZW_AddKey\n");
}

TEST(LzwDecode, WidthSwitchPoints) {
  // Literal streams around the points where codes grow to 10, 11, 12 and 13 bits.
  std::string pairs = NoRepeatedPairs(9000);
  ASSERT_EQ(pairs.size(), 9000u);
  LzwPacker packer;
  for (size_t edge : {254u, 766u, 1790u, 3838u, 7934u}) {
    for (size_t n = edge - 3; n <= edge + 3; n++) {
      std::string data = pairs.substr(0, n);
      std::string stream = LiteralStream(data);
      Decoded d = Decode(stream, n);
      EXPECT_TRUE(d.ok) << n << d.messages;
      EXPECT_EQ(d.out, data) << n;
      // With nothing to reuse the packer emits exactly these codes.
      std::vector<uint8_t> packed;
      EXPECT_EQ(packer.Pack(reinterpret_cast<const uint8_t *>(data.data()), n, &packed), n);
      EXPECT_EQ(std::string(packed.begin(), packed.end()), stream) << n;
    }
  }
}

TEST(LzwPack, RoundTrips) {
  std::string text;
  while (text.size() < 300000)
    text += "The quick brown fox jumps over the lazy dog " + std::to_string(text.size()) + "\n";
  std::vector<std::string> inputs = {"", "a", "ab", std::string(1, '\0')};
  for (size_t n : {3u, 100u, 4095u, 65536u, 200000u}) {
    inputs.push_back(Random(n, uint32_t(n)));         // incompressible
    inputs.push_back(Random(n, uint32_t(n) + 1, 3));  // few symbols
    inputs.push_back(std::string(n, 'z'));            // a run of one byte
  }
  inputs.push_back(text);
  for (const std::string &in : inputs) EXPECT_EQ(Pack(in), in) << "size " << in.size();
}

TEST(LzwPack, EndsABlockWhenTheTableIsFull) {
  std::string data = Random(300000, 11);
  std::vector<size_t> blocks;
  EXPECT_EQ(Pack(data, &blocks), data);
  ASSERT_GE(blocks.size(), 2u);
  EXPECT_LT(blocks[0], data.size());

  // A long run needs few codes: one block holds it all.
  blocks.clear();
  std::string run(5000000, 'q');
  EXPECT_EQ(Pack(run, &blocks), run);
  EXPECT_EQ(blocks.size(), 1u);
}

TEST(LzwPack, IsDeterministic) {
  std::string data = Random(100000, 5, 16);
  LzwPacker a, b;
  std::vector<uint8_t> x, y, z;
  a.Pack(reinterpret_cast<const uint8_t *>(data.data()), data.size(), &x);
  b.Pack(reinterpret_cast<const uint8_t *>(data.data()), data.size(), &y);
  a.Pack(reinterpret_cast<const uint8_t *>(data.data()), data.size(), &z);
  EXPECT_EQ(x, y);
  EXPECT_EQ(x, z);
}
