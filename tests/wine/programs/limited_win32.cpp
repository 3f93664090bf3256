// limited.exe COMMAND_LINE: runs the command line with the limited token
// linked to this process's own, as the shell starts programs for a user
// who is an administrator on Windows (Wine starts every program with the
// full token), prints its process id, waits for it and ends with its exit
// code; 99 when it could not be started.
#include <windows.h>

#include <cstdio>

int main() {
  // The command line after this program's own name.
  const char *line = GetCommandLineA();
  const char end = *line == '"' ? '"' : ' ';
  for (++line; *line && *line != end;) ++line;
  if (*line) ++line;
  while (*line == ' ') ++line;

  HANDLE self = nullptr;
  TOKEN_LINKED_TOKEN linked = {};
  DWORD size = 0;
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &self) ||
      !GetTokenInformation(self, TokenLinkedToken, &linked, sizeof linked, &size) ||
      !DuplicateTokenEx(linked.LinkedToken, MAXIMUM_ALLOWED, nullptr, SecurityImpersonation,
                        TokenPrimary, &token))
    return 99;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  static char command[32768];
  lstrcpynA(command, line, sizeof command);
  if (!CreateProcessAsUserA(token, nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
    return 99;
  std::printf("%lu\n", process.dwProcessId);
  std::fflush(stdout);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 99;
  GetExitCodeProcess(process.hProcess, &code);
  return int(code);
}
