/* Stands in for a downloaded installer: leaves "<its own path>.ran" behind,
   holding its command line. */
#include <windows.h>

int main(void) {
  char path[MAX_PATH + 8];
  DWORD n = GetModuleFileNameA(NULL, path, MAX_PATH);
  lstrcpyA(path + n, ".ran");
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
  if (file != INVALID_HANDLE_VALUE) {
    const char* line = GetCommandLineA();
    DWORD written;
    WriteFile(file, line, lstrlenA(line), &written, NULL);
    CloseHandle(file);
  }
#ifdef OTHER_PROGRAM
  return 3;
#else
  return 0;
#endif
}
