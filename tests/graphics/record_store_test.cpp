// Record store: layout of what is written, nesting and scopes, every result
// code, and damaged content.
#include <cstring>

#include "graphics_test_util.h"
#include "store/store.h"
#include "support/scratch.h"

using namespace gtest_util;

namespace {

uint32_t WordAt(const c_GUIB_RecordStore *s, uint32_t offset) {
  uint32_t v;
  std::memcpy(&v, s->Data() + offset, 4);
  return v;
}

// A reading copy of what a writing store holds.
c_GUIB_RecordStore *Reopen(const c_GUIB_RecordStore *written) {
  return new c_GUIB_RecordStore(written->Data(), written->Size());
}

}  // namespace

TEST(RecordStore, WrittenLayout) {
  GUIB_Ref<c_GUIB_RecordStore> s(new c_GUIB_RecordStore());
  ASSERT_EQ(s->BeginChunk(0x1002, 9, "ab"), 0u);
  ASSERT_EQ(s->BeginRecord(1), 0u);
  ASSERT_EQ(s->AppendData("xyz", 3), 0u);
  ASSERT_EQ(s->AppendData("12345", 5), 0u);
  ASSERT_EQ(s->EndRecord(), 0u);
  ASSERT_EQ(s->EndChunk(), 0u);
  // Chunk header at 0: magic, type, id, header size (24 + "ab" + 0),
  // content size (record header 24 + 8 bytes), kind; the record at 27.
  const std::pair<uint32_t, uint32_t> words[] = {
      {0, GUIB_RS_MAGIC},       {4, 0x1002}, {8, 9},      {12, 27},      {16, 32},
      {20, GUIB_RS_CHUNK},      {27 + 4, 0}, {27 + 8, 1}, {27 + 12, 24}, {27 + 16, 8},
      {27 + 20, GUIB_RS_RECORD}};
  for (const auto &w : words) EXPECT_EQ(WordAt(s.get(), w.first), w.second) << "at " << w.first;
  EXPECT_EQ(std::memcmp(s->Data(), "./\\.", 4), 0);
  EXPECT_STREQ(reinterpret_cast<const char *>(s->Data() + 24), "ab");
  EXPECT_EQ(std::string(reinterpret_cast<const char *>(s->Data()) + 51, s->Size() - 51),
            "xyz12345");
  // Without a name the header is 25 bytes.
  ASSERT_EQ(s->BeginChunk(1, 1, nullptr), 0u);
  ASSERT_EQ(s->EndChunk(), 0u);
  EXPECT_EQ(WordAt(s.get(), 59 + 12), 25u);
  EXPECT_EQ(WordAt(s.get(), 59 + 16), 0u);
}

TEST(RecordStore, NestingAndScopes) {
  GUIB_Ref<c_GUIB_RecordStore> w(new c_GUIB_RecordStore());
  w->WriteRecord(1, "top", 3);
  w->BeginChunk(0x10, 1, "outer");
  w->WriteRecord(1, "outer1", 6);
  w->BeginChunk(0x20, 2, nullptr);
  w->WriteRecord(1, "inner1", 6);
  w->WriteRecord(5, "inner5", 6);
  w->EndChunk();
  w->WriteRecord(5, "outer5", 6);
  w->EndChunk();
  w->BeginChunk(0x10, 2, nullptr);
  w->EndChunk();

  GUIB_Ref<c_GUIB_RecordStore> r(Reopen(w.get()));
  const std::string not_found = "<error " + std::to_string(GUIB_ERR_NOT_FOUND) + ">";
  EXPECT_EQ(RecordText(r.get(), 1), "top");
  // Records and chunks of sub-chunks are not seen from outside them.
  EXPECT_EQ(RecordText(r.get(), 5), not_found);
  EXPECT_EQ(r->OpenChunk(0x20, 2), GUIB_ERR_NOT_FOUND);
  EXPECT_EQ(r->OpenChunk(0x10, 3), GUIB_ERR_NOT_FOUND);
  ASSERT_EQ(r->OpenChunk(0x10, 1), 0u);
  const uint8_t *data = nullptr;
  ASSERT_EQ(r->ReadRecord(5, &data, nullptr), 0u);  // the length is optional
  EXPECT_EQ(RecordText(r.get(), 5), "outer5");
  ASSERT_EQ(r->OpenChunk(0x20, 2), 0u);
  EXPECT_EQ(RecordText(r.get(), 1), "inner1");
  EXPECT_EQ(r->OpenChunk(0x10, 2), GUIB_ERR_NOT_FOUND);  // a top-level chunk
  ASSERT_EQ(r->CloseChunk(), 0u);
  EXPECT_EQ(RecordText(r.get(), 1), "outer1");
  ASSERT_EQ(r->CloseChunk(), 0u);
  EXPECT_EQ(r->CloseChunk(), GUIB_ERR_NOTHING_OPEN);
  // An empty chunk is an empty scope.
  ASSERT_EQ(r->OpenChunk(0x10, 2), 0u);
  EXPECT_EQ(RecordText(r.get(), 1), not_found);
  EXPECT_EQ(r->CloseChunk(), 0u);
}

TEST(RecordStore, ModesAndResultCodes) {
  GUIB_Ref<c_GUIB_RecordStore> s(new c_GUIB_RecordStore());
  EXPECT_EQ(s->EndChunk(), GUIB_ERR_NOTHING_OPEN);
  EXPECT_EQ(s->EndRecord(), GUIB_ERR_NOTHING_OPEN);
  EXPECT_EQ(s->AppendData("a", 1), GUIB_ERR_NOTHING_OPEN);
  ASSERT_EQ(s->BeginChunk(1, 1, nullptr), 0u);
  // Reads are refused while writing.
  EXPECT_EQ(s->OpenChunk(1, 1), GUIB_ERR_WRONG_MODE);
  EXPECT_EQ(s->ReadRecord(1, nullptr, nullptr), GUIB_ERR_WRONG_MODE);
  ASSERT_EQ(s->BeginRecord(1), 0u);
  // No chunk or record may begin inside an open record.
  EXPECT_EQ(s->BeginChunk(2, 2, nullptr), GUIB_ERR_WRONG_MODE);
  EXPECT_EQ(s->BeginRecord(2), GUIB_ERR_WRONG_MODE);
  EXPECT_EQ(s->WriteRecord(2, "x", 1), GUIB_ERR_WRONG_MODE);
  ASSERT_EQ(s->EndRecord(), 0u);
  ASSERT_EQ(s->EndChunk(), 0u);
  // Back at the top level, reading works on what was written.
  EXPECT_EQ(s->OpenChunk(1, 1), 0u);
  // A chunk opened for reading blocks writing.
  EXPECT_EQ(s->BeginChunk(3, 3, nullptr), GUIB_ERR_WRONG_MODE);
  EXPECT_EQ(s->BeginRecord(3), GUIB_ERR_WRONG_MODE);
  EXPECT_EQ(s->CloseChunk(), 0u);
}

TEST(RecordStore, CapacityIsSixteenMegabytes) {
  GUIB_Ref<c_GUIB_RecordStore> s(new c_GUIB_RecordStore());
  std::vector<uint8_t> block(1 << 20, 0xAB);
  ASSERT_EQ(s->BeginRecord(1), 0u);
  uint32_t rc = 0;
  int blocks = 0;
  while ((rc = s->AppendData(block.data(), uint32_t(block.size()))) == 0) ++blocks;
  EXPECT_EQ(rc, GUIB_ERR_NOMEM);
  EXPECT_EQ(blocks, 15);  // the 24-byte header leaves room for 15 whole megabytes
  const uint32_t used = s->Size();
  EXPECT_EQ(s->AppendData(block.data(), 0x1000000 - used), 0u);  // exactly full
  EXPECT_EQ(s->AppendData("x", 1), GUIB_ERR_NOMEM);
  EXPECT_EQ(s->EndRecord(), 0u);
  EXPECT_EQ(s->Size(), 0x1000000u);
  // No room for another header.
  EXPECT_EQ(s->WriteRecord(2, "y", 1), GUIB_ERR_NOMEM);
  EXPECT_EQ(s->BeginRecord(3), GUIB_ERR_NOMEM);
}

TEST(RecordStore, DamagedEntries) {
  // Chunk 7 (header 25 bytes) holding record 1 "abcd", then record 2 "efgh".
  GUIB_Ref<c_GUIB_RecordStore> w(new c_GUIB_RecordStore());
  w->BeginChunk(7, 1, nullptr);
  w->WriteRecord(1, "abcd", 4);
  w->EndChunk();
  w->WriteRecord(2, "efgh", 4);
  const std::string good(reinterpret_cast<const char *>(w->Data()), w->Size());
  struct Case {
    const char *what;
    uint32_t offset, value;       // a word written over the good bytes
    uint32_t top, chunk, inside;  // results: record 2, chunk 7, record 1 in it
  } cases[] = {
      {"magic gone", 0, 0x12345678, GUIB_ERR_CORRUPT, GUIB_ERR_CORRUPT, 0},
      {"chunk past the end", 16, 0x7FFFFFF0, GUIB_ERR_CORRUPT, GUIB_ERR_CORRUPT, 0},
      {"record past its chunk", 25 + 16, 1000, 0, 0, GUIB_ERR_CORRUPT},
      {"header below 24", 12, 3, GUIB_ERR_CORRUPT, GUIB_ERR_CORRUPT, 0},
      {"header wraps", 12, 0xFFFFFFFF, GUIB_ERR_CORRUPT, GUIB_ERR_CORRUPT, 0},
  };
  const std::string corrupt = "<error " + std::to_string(GUIB_ERR_CORRUPT) + ">";
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes = good;
    std::memcpy(&bytes[c.offset], &c.value, 4);
    GUIB_Ref<c_GUIB_RecordStore> r(new c_GUIB_RecordStore(bytes.data(), uint32_t(bytes.size())));
    EXPECT_EQ(RecordText(r.get(), 2), c.top ? corrupt : "efgh");
    EXPECT_EQ(r->OpenChunk(7, 1), c.chunk);
    if (c.chunk != 0) continue;
    EXPECT_EQ(RecordText(r.get(), 1), c.inside ? corrupt : "abcd");
    EXPECT_EQ(r->CloseChunk(), 0u);
  }
  // Trailing bytes too few for a header: found before the garbage, then not.
  std::string bytes = good + "xyz";
  GUIB_Ref<c_GUIB_RecordStore> r(new c_GUIB_RecordStore(bytes.data(), uint32_t(bytes.size())));
  EXPECT_EQ(RecordText(r.get(), 2), "efgh");
  EXPECT_EQ(RecordText(r.get(), 3), corrupt);
}

TEST_F(ScratchTest, RecordStoreFromFiles) {
  GUIB_Ref<c_GUIB_RecordStore> w(new c_GUIB_RecordStore());
  w->WriteRecord(4, "data", 4);
  ASSERT_TRUE(machine.WriteFile(machine.Path("full.bin"),
                                std::string(reinterpret_cast<const char *>(w->Data()), w->Size())));
  ASSERT_TRUE(machine.WriteFile(machine.Path("empty.bin"), ""));
  const std::string root = machine.Work() + "\\";
  BF_MountParams params = {"*.cbf", root.c_str(), nullptr, 1, 1, 0};
  ASSERT_EQ(BF_Mount(&params), 1u);
  {
    GUIB_Ref<c_GUIB_RecordStore> r(new c_GUIB_RecordStore("full.bin"));
    EXPECT_EQ(RecordText(r.get(), 4), "data");
    for (const char *name : {"empty.bin", "missing.bin"}) {
      GUIB_Ref<c_GUIB_RecordStore> e(new c_GUIB_RecordStore(name));
      EXPECT_EQ(e->OpenChunk(0x1002, 0), GUIB_ERR_NOT_FOUND) << name;
      EXPECT_EQ(e->Size(), 0u) << name;
    }
  }
  BF_Unmount();
}
