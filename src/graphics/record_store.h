// c_GUIB_RecordStore: a tree of typed, numbered chunks and data records in
// one growable block of memory; the format of font files and of serialised
// bitmaps.
//
// Every entry is a 24-byte little-endian header (magic 0x2E5C2F2E, type, id,
// header size, content size, kind 1 = chunk / 2 = data record), a chunk also
// carries a zero-terminated name, and then its content; a chunk's content is
// again a sequence of entries. A store is either read whole from a file (and
// then only read: OpenChunk / ReadRecord / CloseChunk) or created empty (and
// then only written: BeginChunk / BeginRecord / AppendData / EndRecord /
// EndChunk). The content is the file image and can be written out as it is.
//
// Everything read is treated as untrusted: an entry whose header or sizes
// leave the scope that holds it ends a search with GUIB_ERR_CORRUPT.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/object.h"

static const uint32_t GUIB_RS_MAGIC = 0x2E5C2F2E;
static const uint32_t GUIB_RS_CHUNK = 1;
static const uint32_t GUIB_RS_RECORD = 2;

class c_GUIB_RecordStore : public c_GUIB_BasicObject {
 public:
  c_GUIB_RecordStore();                                  // empty, for writing (16 MB capacity)
  explicit c_GUIB_RecordStore(const char *file_name);    // read whole through the store
  c_GUIB_RecordStore(const void *bytes, uint32_t size);  // a copy of a file image

  // Writing. Begin*: GUIB_OK, GUIB_ERR_WRONG_MODE (a record is open, or the
  // store is being read), GUIB_ERR_NOMEM (the capacity is used up).
  // AppendData: GUIB_OK, GUIB_ERR_NOTHING_OPEN (no record open, or bytes null
  // with a length), GUIB_ERR_NOMEM. End*: GUIB_OK or GUIB_ERR_NOTHING_OPEN.
  // WriteRecord is BeginRecord, AppendData, EndRecord: the first failure.
  uint32_t BeginChunk(uint32_t type, uint32_t id, const char *name);
  uint32_t EndChunk();
  uint32_t BeginRecord(uint32_t id);
  uint32_t AppendData(const void *bytes, uint32_t length);
  uint32_t EndRecord();
  uint32_t WriteRecord(uint32_t id, const void *bytes, uint32_t length);

  // Reading, in the open chunk (or at the top): GUIB_OK, GUIB_ERR_NOT_FOUND,
  // GUIB_ERR_CORRUPT, GUIB_ERR_WRONG_MODE while writing. CloseChunk: GUIB_OK
  // or GUIB_ERR_NOTHING_OPEN.
  uint32_t OpenChunk(uint32_t type, uint32_t id);
  // Points *data at the record's content inside the store; length optional.
  uint32_t ReadRecord(uint32_t id, const uint8_t **data, uint32_t *length);
  uint32_t CloseChunk() { return EndChunk(); }

  const uint8_t *Data() const { return m_buffer; }
  uint32_t Size() const { return m_used; }

 protected:
  ~c_GUIB_RecordStore() override;

 private:
  static const uint32_t NONE = 0xFFFFFFFFu;  // "top level" / "no record"

  bool Reserve(uint64_t bytes);
  void Adopt(const void *bytes, uint32_t size);
  uint8_t *Append(const void *bytes, uint32_t n);  // 0 when it does not fit
  uint32_t BeginEntry(uint32_t type, uint32_t id, uint32_t kind, const char *name);
  void FinishEntry(uint32_t start);
  uint32_t Find(uint32_t kind, uint32_t type, uint32_t id, uint32_t *found) const;

  uint8_t *m_buffer = nullptr;
  uint32_t m_reserved = 0;
  uint32_t m_used = 0;
  uint32_t m_committed = 0;
  std::vector<uint32_t> m_stack;  // offsets of the enclosing chunks, NONE = top level
  bool m_writing = false;
  uint32_t m_record = NONE;  // offset of the record being written
  uint32_t m_chunk = NONE;   // offset of the innermost open chunk
};
