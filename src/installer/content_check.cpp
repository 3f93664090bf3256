#include "installer/content_check.h"

#include "platform/platform.h"

namespace {

std::string Upper(const char *text) {
  std::string s = text;
  SYS_StrUpper(&s[0]);
  return s;
}

}  // namespace

bool ContentCheck::Load(const char *store_folder) {
  hashes_.clear();
  folder_ = Upper(store_folder) + "\\";
  const std::string name = Upper(store_folder) + BF_HASH_LIST_SUFFIX;
  const int loaded = BF_LoadHashList(name.c_str(), &hashes_);
  listed_ = loaded != 0;
  return loaded >= 0;
}

void ContentCheck::Begin(const FileItem &item) {
  const std::string source = Upper(item.source);
  checking_ = listed_ && source.compare(0, folder_.size(), folder_) == 0;
  auto found = checking_ ? hashes_.find(source) : hashes_.end();
  expected_ = found == hashes_.end() ? nullptr : &found->second;
  if (checking_) SYS_Sha256Init(&sha_);
}

void ContentCheck::Piece(const void *data, size_t size) {
  if (checking_) SYS_Sha256Update(&sha_, data, size);
}

bool ContentCheck::End() {
  if (!checking_) return true;
  checking_ = false;
  BF_Digest digest;
  SYS_Sha256Final(&sha_, digest.data());
  return expected_ && *expected_ == digest;
}
