#include "graphics/record_store.h"

#include <cstring>

#include "platform/platform.h"
#include "store/store.h"

namespace {

const uint32_t CAPACITY = 0x1000000;   // an empty store's reservation: 16 MB
const uint32_t MAX_FILE = 0x10000000;  // larger files are not font files: refused
const uint32_t RECORD_HEADER = 24;

// Header fields, as word offsets.
enum { F_MAGIC, F_TYPE, F_ID, F_HEADER, F_SIZE, F_KIND };

uint32_t Word(const uint8_t *entry, int field) {
  uint32_t v;
  std::memcpy(&v, entry + field * 4, 4);
  return v;
}

void SetWord(uint8_t *entry, int field, uint32_t v) {
  std::memcpy(entry + field * 4, &v, 4);
}

}  // namespace

c_GUIB_RecordStore::c_GUIB_RecordStore() {
  Reserve(CAPACITY);
}

c_GUIB_RecordStore::c_GUIB_RecordStore(const void *bytes, uint32_t size) {
  Adopt(bytes, size);
}

c_GUIB_RecordStore::c_GUIB_RecordStore(const char *file_name) {
  BF_Handle f = BF_OpenRetry(file_name, BF_OPEN_READ);
  if (!f) return;
  const uint64_t size = BF_GetSize(f);
  if (size != BF_BAD_POS && size < MAX_FILE && Reserve(((size >> 24) + 1) << 24)) {
    const uint32_t s = uint32_t(size);
    const uint32_t commit = ((s >> 12) + 1) << 12;
    if (SYS_Commit(m_buffer, 0, commit)) {
      m_committed = commit;
      // Only a file read in full counts; anything less leaves the store empty.
      if (BF_Read(f, m_buffer, s) == s) m_used = s;
    }
  }
  BF_Close(f);
}

c_GUIB_RecordStore::~c_GUIB_RecordStore() {
  if (m_buffer) SYS_ReleaseReserved(m_buffer, m_reserved);
}

bool c_GUIB_RecordStore::Reserve(uint64_t bytes) {
  m_buffer = static_cast<uint8_t *>(SYS_Reserve(size_t(bytes)));
  if (!m_buffer) return false;
  m_reserved = uint32_t(bytes);
  return true;
}

void c_GUIB_RecordStore::Adopt(const void *bytes, uint32_t size) {
  if (size >= MAX_FILE || !Reserve((uint64_t(size >> 24) + 1) << 24)) return;
  const uint32_t commit = ((size >> 12) + 1) << 12;
  if (!SYS_Commit(m_buffer, 0, commit)) return;
  m_committed = commit;
  if (size) SYS_Copy(m_buffer, bytes, size);
  m_used = size;
}

uint8_t *c_GUIB_RecordStore::Append(const void *bytes, uint32_t n) {
  if (!m_buffer || uint64_t(m_used) + n > m_reserved) return nullptr;
  if (m_used + n > m_committed) {
    uint64_t more = ((uint64_t(m_used - m_committed + n) >> 12) + 1) << 12;
    if (m_committed + more > m_reserved) more = m_reserved - m_committed;
    if (!SYS_Commit(m_buffer, m_committed, size_t(more))) return nullptr;
    m_committed += uint32_t(more);
  }
  uint8_t *at = m_buffer + m_used;
  if (n) SYS_Copy(at, bytes, n);
  m_used += n;
  return at;
}

uint32_t c_GUIB_RecordStore::BeginEntry(uint32_t type, uint32_t id, uint32_t kind,
                                        const char *name) {
  if (m_record != NONE || (m_chunk != NONE && !m_writing)) return GUIB_ERR_WRONG_MODE;
  const uint32_t start = m_used;
  uint32_t name_len = 0;
  if (kind == GUIB_RS_CHUNK) name_len = uint32_t(name ? SYS_StrLen(name) : 0) + 1;
  // The content-size field holds the entry's start until the entry ends.
  uint8_t head[RECORD_HEADER];
  SetWord(head, F_MAGIC, GUIB_RS_MAGIC);
  SetWord(head, F_TYPE, type);
  SetWord(head, F_ID, id);
  SetWord(head, F_HEADER, RECORD_HEADER + name_len);
  SetWord(head, F_SIZE, start);
  SetWord(head, F_KIND, kind);
  if (!Append(head, RECORD_HEADER)) return GUIB_ERR_NOMEM;
  if (name_len) {
    const char zero = 0;
    if (!(name_len > 1 ? Append(name, name_len) : Append(&zero, 1))) {
      m_used = start;
      return GUIB_ERR_NOMEM;
    }
  }
  m_writing = true;
  return GUIB_OK;
}

void c_GUIB_RecordStore::FinishEntry(uint32_t start) {
  uint8_t *entry = m_buffer + start;
  SetWord(entry, F_SIZE, m_used - Word(entry, F_HEADER) - start);
}

uint32_t c_GUIB_RecordStore::BeginChunk(uint32_t type, uint32_t id, const char *name) {
  const uint32_t start = m_used;
  const uint32_t rc = BeginEntry(type, id, GUIB_RS_CHUNK, name);
  if (rc != GUIB_OK) return rc;
  m_stack.push_back(m_chunk);
  m_chunk = start;
  return GUIB_OK;
}

uint32_t c_GUIB_RecordStore::EndChunk() {
  if (m_chunk == NONE) return GUIB_ERR_NOTHING_OPEN;
  if (m_writing) FinishEntry(m_chunk);
  m_chunk = m_stack.empty() ? NONE : m_stack.back();
  if (!m_stack.empty()) m_stack.pop_back();
  if (m_chunk == NONE) m_writing = false;
  return GUIB_OK;
}

uint32_t c_GUIB_RecordStore::BeginRecord(uint32_t id) {
  const uint32_t start = m_used;
  const uint32_t rc = BeginEntry(0, id, GUIB_RS_RECORD, nullptr);
  if (rc == GUIB_OK) m_record = start;
  return rc;
}

uint32_t c_GUIB_RecordStore::AppendData(const void *bytes, uint32_t length) {
  if (m_record == NONE) return GUIB_ERR_NOTHING_OPEN;
  if (length && !bytes) return GUIB_ERR_NOTHING_OPEN;
  return Append(bytes, length) || length == 0 ? GUIB_OK : GUIB_ERR_NOMEM;
}

uint32_t c_GUIB_RecordStore::EndRecord() {
  if (m_record == NONE) return GUIB_ERR_NOTHING_OPEN;
  if (m_writing) FinishEntry(m_record);
  m_record = NONE;
  if (m_chunk == NONE) m_writing = false;
  return GUIB_OK;
}

uint32_t c_GUIB_RecordStore::WriteRecord(uint32_t id, const void *bytes, uint32_t length) {
  uint32_t rc = BeginRecord(id);
  if (rc != GUIB_OK) return rc;
  rc = AppendData(bytes, length);
  const uint32_t end = EndRecord();
  return rc != GUIB_OK ? rc : end;
}

// Searches the direct entries of the current scope for the first entry of
// that kind (and, for chunks, type) with that id. Every header and every
// entry must lie inside the scope; anything else is a corrupted entry.
uint32_t c_GUIB_RecordStore::Find(uint32_t kind, uint32_t type, uint32_t id,
                                  uint32_t *found) const {
  if (m_writing) return GUIB_ERR_WRONG_MODE;
  uint64_t pos = 0, end = m_used;
  if (m_chunk != NONE) {
    const uint8_t *chunk = m_buffer + m_chunk;
    pos = uint64_t(m_chunk) + Word(chunk, F_HEADER);
    end = pos + Word(chunk, F_SIZE);
  }
  if (pos >= end) return GUIB_ERR_NOT_FOUND;
  while (pos < end) {
    if (end - pos < RECORD_HEADER) return GUIB_ERR_CORRUPT;
    const uint8_t *entry = m_buffer + pos;
    if (Word(entry, F_MAGIC) != GUIB_RS_MAGIC) return GUIB_ERR_CORRUPT;
    const uint64_t header = Word(entry, F_HEADER);
    const uint64_t next = pos + header + Word(entry, F_SIZE);
    if (header < RECORD_HEADER || next > end) return GUIB_ERR_CORRUPT;
    const uint32_t k = Word(entry, F_KIND);
    if ((k & kind) && Word(entry, F_ID) == id &&
        (kind != GUIB_RS_CHUNK || Word(entry, F_TYPE) == type)) {
      *found = uint32_t(pos);
      return GUIB_OK;
    }
    pos = next;
  }
  return GUIB_ERR_NOT_FOUND;
}

uint32_t c_GUIB_RecordStore::OpenChunk(uint32_t type, uint32_t id) {
  uint32_t at = 0;
  const uint32_t rc = Find(GUIB_RS_CHUNK, type, id, &at);
  if (rc != GUIB_OK) return rc;
  m_stack.push_back(m_chunk);
  m_chunk = at;
  return GUIB_OK;
}

uint32_t c_GUIB_RecordStore::ReadRecord(uint32_t id, const uint8_t **data, uint32_t *length) {
  uint32_t at = 0;
  const uint32_t rc = Find(GUIB_RS_RECORD, 0, id, &at);
  if (rc != GUIB_OK) return rc;
  const uint8_t *entry = m_buffer + at;
  if (data) *data = entry + Word(entry, F_HEADER);
  if (length) *length = Word(entry, F_SIZE);
  return GUIB_OK;
}
