#include "wine/test_support.h"

#include <shellapi.h>

#include <vector>

#include "host/text_file.h"

namespace {
std::atomic<int> gScratchCounter{0};
}

ScratchDir::ScratchDir() {
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof(temp), temp);
  path_ = std::string(temp) + "nimvara-test-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(gScratchCounter++) + "\\";
  RemoveTree(path_);
  CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchDir::~ScratchDir() { RemoveTree(path_); }

std::string ReadFileBytes(const std::string& path) { return ReadWholeFile(path); }

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

bool FileExists(const std::string& path) { return PathExists(path); }

void RemoveTree(const std::string& path) {
  std::string trimmed = path;
  while (!trimmed.empty() && trimmed.back() == '\\') trimmed.pop_back();
  if (trimmed.empty() || !FileExists(trimmed)) return;
  std::vector<char> from(trimmed.begin(), trimmed.end());
  from.push_back('\0');
  from.push_back('\0');
  SHFILEOPSTRUCTA op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.data();
  op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
  SHFileOperationA(&op);
}

std::string EnvVar(const char* name) {
  char buffer[2048] = {};
  const DWORD n = GetEnvironmentVariableA(name, buffer, sizeof(buffer));
  return n > 0 && n < sizeof(buffer) ? std::string(buffer, n) : std::string();
}

std::string BuildDir() {
  std::string dir = EnvVar("NIMVARA_BUILD_DIR");
  if (!dir.empty() && dir.back() != '\\') dir += '\\';
  return dir;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() > end) return false;
    Sleep(20);
  }
}

HWND FindDialog(const std::string& caption) { return FindWindowA("#32770", caption.c_str()); }

std::string DialogText(HWND dialog) {
  std::string best;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char cls[32] = {};
    GetClassNameA(child, cls, sizeof(cls));
    if (lstrcmpiA(cls, "Static") != 0 || (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
      continue;
    char text[1024] = {};
    GetWindowTextA(child, text, sizeof(text));
    if (strlen(text) > best.size()) best = text;
  }
  return best;
}

void ClickDialogButton(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  if (button)
    PostMessageA(button, BM_CLICK, 0, 0);
  else
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

DialogAnswerer::DialogAnswerer(std::string caption, int buttonId)
    : caption_(std::move(caption)), buttonId_(buttonId) {
  InitializeCriticalSection(&lock_);
  thread_ = std::thread([this] { Run(); });
}

DialogAnswerer::~DialogAnswerer() {
  stop_ = true;
  thread_.join();
  DeleteCriticalSection(&lock_);
}

std::string DialogAnswerer::LastText() const {
  EnterCriticalSection(&lock_);
  std::string text = lastText_;
  LeaveCriticalSection(&lock_);
  return text;
}

void DialogAnswerer::Run() {
  HWND answered = nullptr;
  while (!stop_) {
    HWND dialog = FindDialog(caption_);
    if (dialog && dialog != answered && IsWindowVisible(dialog)) {
      const std::string text = DialogText(dialog);
      EnterCriticalSection(&lock_);
      lastText_ = text;
      LeaveCriticalSection(&lock_);
      ++count_;
      answered = dialog;
      ClickDialogButton(dialog, buttonId_);
    }
    if (answered && !IsWindow(answered)) answered = nullptr;
    Sleep(20);
  }
}

ScratchRegKey::ScratchRegKey(std::string subKey) : subKey_(std::move(subKey)) {
  RegDeleteTreeA(HKEY_CURRENT_USER, subKey_.c_str());
}

ScratchRegKey::~ScratchRegKey() { RegDeleteTreeA(HKEY_CURRENT_USER, subKey_.c_str()); }
