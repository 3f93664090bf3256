#include "store/hash_list.h"

#include <vector>

#include "platform/platform.h"
#include "store/store.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string BF_HashListLine(const uint8_t digest[SYS_SHA256_SIZE], const std::string &name) {
  char hex[2 * SYS_SHA256_SIZE + 1];
  SYS_Sha256Hex(digest, hex);
  return std::string(hex) + "  " + name + "\n";
}

bool BF_ParseHashList(const char *text, size_t size, BF_HashList *out) {
  const size_t kHex = 2 * SYS_SHA256_SIZE;
  size_t at = 0;
  while (at < size) {
    size_t end = at;
    while (end < size && text[end] != '\n') end++;
    // Hex digits, two spaces, a name of at least one character, a line feed.
    if (end == size || end - at < kHex + 3 || text[at + kHex] != ' ' || text[at + kHex + 1] != ' ')
      return false;
    BF_Digest digest;
    for (size_t i = 0; i < SYS_SHA256_SIZE; i++) {
      const int high = HexDigit(text[at + 2 * i]), low = HexDigit(text[at + 2 * i + 1]);
      if (high < 0 || low < 0) return false;
      digest[i] = uint8_t(high << 4 | low);
    }
    std::string name(text + at + kHex + 2, end - at - kHex - 2);
    if (name.find('\0') != std::string::npos) return false;
    SYS_StrUpper(&name[0]);
    (*out)[name] = digest;
    at = end + 1;
  }
  return true;
}

int BF_LoadHashList(const char *entry, BF_HashList *out) {
  BF_Handle h = BF_Open(entry, BF_OPEN_READ, false);
  if (!h) return 0;
  const uint64_t size = BF_GetSize(h);
  bool ok = size != BF_BAD_POS && size <= BF_MAX_HASH_LIST;
  std::vector<char> text(ok ? size_t(size) : 0);
  for (size_t got = 0; ok && got < text.size();) {
    const uint32_t n = BF_Read(h, text.data() + got, uint32_t(text.size() - got));
    ok = n > 0;
    got += n;
  }
  BF_Close(h);
  return ok && BF_ParseHashList(text.data(), text.size(), out) ? 1 : -1;
}
