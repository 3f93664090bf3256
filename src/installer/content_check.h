// Checks the files of a volume against the SHA-256 its archive recorded
// (store/hash_list.h) while the install worker writes them: Begin with a
// file, Piece for every piece written, End when it is complete. A volume
// without a list is not checked; the installer's own files (Uninstall.exe,
// setup.cbf) lie outside the volume folder and never are.
#pragma once

#include <string>

#include "installer/engine.h"
#include "store/hash_list.h"

class ContentCheck {
 public:
  // Reads the list beside the store folder ("disk01" -> "disk01.SHA256").
  // false when the list is there but damaged.
  bool Load(const char *store_folder);
  void Begin(const FileItem &item);
  void Piece(const void *data, size_t size);
  // false when the file just written is not what the archive recorded (or
  // a listed volume has no hash for it).
  bool End();

 private:
  BF_HashList hashes_;
  bool listed_ = false;  // the volume has a list
  std::string folder_;   // "DISK01\", upper case
  bool checking_ = false;
  const BF_Digest *expected_ = nullptr;
  SYS_Sha256 sha_;
};
