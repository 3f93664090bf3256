// The stand-ins' log line, written with one appending write so that lines of
// programs running one after another never mix.
#include <windows.h>
// After windows.h:
#include <tlhelp32.h>
#include <winternl.h>

#include <string>
#include <vector>

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

// The command line of the process that started this one ("" when it cannot
// be read): the parent's id from a process snapshot, its command line from
// the system's process information (ProcessCommandLineInformation).
std::string ParentCommandLine() {
  const DWORD self = GetCurrentProcessId();
  DWORD parent = 0;
  FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL ok = Process32First(snapshot.get(), &entry); ok;
       ok = Process32Next(snapshot.get(), &entry))
    if (entry.th32ProcessID == self) parent = entry.th32ParentProcessID;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, parent);
  if (!process) return "";
  FileHandle owner(process);
  typedef LONG(NTAPI * QueryFn)(HANDLE, ULONG, PVOID, ULONG, PULONG);
  const QueryFn query = reinterpret_cast<QueryFn>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  const ULONG kCommandLineInformation = 60;
  std::vector<char> buffer(1 << 16);
  ULONG size = 0;
  if (!query || query(process, kCommandLineInformation, buffer.data(), ULONG(buffer.size()),
                      &size) < 0)
    return "";
  const UNICODE_STRING *text = reinterpret_cast<const UNICODE_STRING *>(buffer.data());
  char line[4096] = "";
  WideCharToMultiByte(CP_ACP, 0, text->Buffer, text->Length / 2, line, sizeof line - 1, nullptr,
                      nullptr);
  return line;
}

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

  const std::string line = std::string(name) + " started in " + folder + "\r\n" + name +
                           " parent " + ParentCommandLine() + "\r\n";
  // FILE_APPEND_DATA without FILE_WRITE_DATA: every write goes to the end.
  FileHandle f(CreateFileA(kLogPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (f.get() == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  return WriteFile(f.get(), line.data(), DWORD(line.size()), &written, nullptr) &&
         written == line.size();
}
