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

// The id and command line of the process that started this one: the id
// from a process snapshot, the command line from the parent's process
// parameters, read out of its memory ("" when it cannot be read, e.g. when
// the parent has ended already).
std::string Parent() {
  const DWORD self = GetCurrentProcessId();
  DWORD parent = 0;
  FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL ok = Process32First(snapshot.get(), &entry); ok;
       ok = Process32Next(snapshot.get(), &entry))
    if (entry.th32ProcessID == self) parent = entry.th32ParentProcessID;
  const std::string id = std::to_string(parent) + " ";
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, parent);
  if (!process) return id;
  FileHandle owner(process);
  typedef LONG(NTAPI * QueryFn)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  const QueryFn query = reinterpret_cast<QueryFn>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic = {};
  PEB peb = {};
  RTL_USER_PROCESS_PARAMETERS parameters = {};
  if (!query || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) < 0 ||
      !ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, nullptr) ||
      !ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters, nullptr))
    return id;
  std::vector<WCHAR> text(parameters.CommandLine.Length / 2 + 1, 0);
  if (!ReadProcessMemory(process, parameters.CommandLine.Buffer, text.data(),
                         parameters.CommandLine.Length, nullptr))
    return id;
  char line[4096] = "";
  WideCharToMultiByte(CP_ACP, 0, text.data(), -1, line, sizeof line - 1, nullptr, nullptr);
  return id + line;
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

  // The command line as the program got it: its first token must be the
  // quoted program path, or a folder with spaces cuts it short.
  const std::string line = std::string(name) + " started in " + folder + "\r\n" + name +
                           " command " + GetCommandLineA() + "\r\n" + name + " parent " + Parent() +
                           "\r\n";
  // FILE_APPEND_DATA without FILE_WRITE_DATA: every write goes to the end.
  FileHandle f(CreateFileA(kLogPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (f.get() == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  return WriteFile(f.get(), line.data(), DWORD(line.size()), &written, nullptr) &&
         written == line.size();
}
