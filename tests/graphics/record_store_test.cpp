// Record store: its size limit, damaged content, and files that are empty
// or missing.
#include <cstring>
#include <vector>

#include "graphics_test_util.h"
#include "store/store.h"
#include "support/scratch.h"

using namespace gtest_util;

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
