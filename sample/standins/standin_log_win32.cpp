// The stand-ins' log line, written with one appending write so that lines of
// programs running one after another never mix.
#include <windows.h>

#include <string>

#include "standin_log.h"

namespace {

const char kLogPath[] = "C:\\standins.log";

class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : h_(h) {}
  ~FileHandle() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  FileHandle(const FileHandle &) = delete;
  FileHandle &operator=(const FileHandle &) = delete;
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

}  // namespace

bool StandinLogStart() {
  char path[MAX_PATH] = "";
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return false;
  const char *name = path;
  for (const char *p = path; *p; ++p)
    if (*p == '\\' || *p == '/') name = p + 1;

  char folder[MAX_PATH] = "";
  const DWORD m = GetCurrentDirectoryA(MAX_PATH, folder);
  if (m == 0 || m >= MAX_PATH) return false;

  const std::string line = std::string(name) + " started in " + folder + "\r\n";
  // FILE_APPEND_DATA without FILE_WRITE_DATA: every write goes to the end.
  FileHandle f(CreateFileA(kLogPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (f.get() == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  return WriteFile(f.get(), line.data(), DWORD(line.size()), &written, nullptr) &&
         written == line.size();
}
