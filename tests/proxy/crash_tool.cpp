// A crash that only this test build has: switches the browsers as a hide
// session would, then fails with an access violation, so that a test can see
// what the program's crash restore leaves behind. With "throw" it fails with a
// C++ exception that nothing catches instead.
//   proxy_crash_tool <nimvara.ini> HOST:PORT [throw]
#include <windows.h>

#include <stdexcept>
#include <string>

#include "base/program.h"
#include "base/settings.h"
#include "proxy/crash_restore.h"
#include "proxy/switchboard.h"

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  IniSettings settings(argv[1]);
  SetSettings(&settings);
  InstallCrashRestore();
  SetBrowserProxy(true, argv[2], "Test #1", "a.example,");
  if (argc > 3 && std::string(argv[3]) == "throw") throw std::runtime_error("nobody catches this");
  volatile int* volatile nowhere = nullptr;
  *nowhere = 1;
  return 0;
}
