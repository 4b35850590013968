#include "app/tray_icon.h"

#include <shellapi.h>
#include <shlwapi.h>

#include "base/fixed_text.h"
#include "ui/tray_images.h"

namespace {

// The shell announces a new taskbar only to programs built on common controls
// 4.71 or later, so only those listen for it.
bool CommonControlsAtLeast471() {
  HMODULE comctl = GetModuleHandleA("comctl32.dll");
  if (!comctl) return false;
  using DllGetVersionFn = HRESULT(CALLBACK*)(DLLVERSIONINFO*);
  auto getVersion = reinterpret_cast<DllGetVersionFn>(
      reinterpret_cast<void*>(GetProcAddress(comctl, "DllGetVersion")));
  DLLVERSIONINFO version{};
  version.cbSize = sizeof(version);
  if (!getVersion || FAILED(getVersion(&version))) return false;
  return version.dwMajorVersion > 4 || (version.dwMajorVersion == 4 && version.dwMinorVersion >= 71);
}

}  // namespace

void TrayIcon::Create(HWND owner, UINT callbackMessage) {
  owner_ = owner;
  callbackMessage_ = callbackMessage;
  // The small-icon size follows the screen's scaling (16 at 100 %, 32 at 200 %).
  const int size = GetSystemMetrics(SM_CXSMICON) > 0 ? GetSystemMetrics(SM_CXSMICON) : 16;
  for (int i = 0; i < kBusyFrameCount; ++i) imlBusy_[i] = MakeTrayIcon(TrayArt::Busy, i, size);
  imlStatus_[kOnImage] = MakeTrayIcon(TrayArt::On, 0, size);
  imlStatus_[kOffImage] = MakeTrayIcon(TrayArt::Off, 0, size);
  busyImages_ = true;
  imageIndex_ = 0;
}

void TrayIcon::ListenForShellRestart() {
  if (CommonControlsAtLeast471()) taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
}

bool TrayIcon::Show() {
  shown_ = Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP);
  return shown_;
}

void TrayIcon::Remove() {
  StopCycling();
  if (shown_) Notify(NIM_DELETE, 0);
  shown_ = false;
  owner_ = nullptr;  // the window is going: nothing more reaches the shell
}

NOTIFYICONDATAA TrayIcon::Data(UINT flags) const {
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof(data);
  data.hWnd = owner_;
  data.uID = kIconId;
  data.uFlags = flags;
  data.uCallbackMessage = callbackMessage_;
  data.hIcon = CurrentIcon();
  CopyBounded(data.szTip, hint_);
  return data;
}

HICON TrayIcon::CurrentIcon() const {
  return busyImages_ ? imlBusy_[imageIndex_ % kBusyFrameCount].get() : imlStatus_[imageIndex_ % 2].get();
}

bool TrayIcon::Notify(DWORD action, UINT flags) {
  if (!owner_) return false;
  NOTIFYICONDATAA data = Data(flags);
  return Shell_NotifyIconA(action, &data) != FALSE;
}

void TrayIcon::StopCycling() {
  if (cycling_ && owner_) KillTimer(owner_, kAnimationTimer);
  cycling_ = false;
}

void TrayIcon::ShowBusy() {
  if (!owner_) return;
  busyImages_ = true;
  imageIndex_ = 0;  // every busy status starts the animation over
  Notify(NIM_MODIFY, NIF_ICON);
  cycling_ = SetTimer(owner_, kAnimationTimer, kBusyFrameMs, nullptr) != 0;
}

void TrayIcon::ShowStatusImage(int index) {
  StopCycling();
  busyImages_ = false;
  imageIndex_ = index;
  Notify(NIM_MODIFY, NIF_ICON);
}

void TrayIcon::SetHint(const std::string& hint) {
  hint_ = hint;
  Notify(NIM_MODIFY, NIF_TIP);
}

void TrayIcon::ShowBalloon(const Balloon& balloon) {
  NOTIFYICONDATAA data = Data(NIF_INFO);
  CopyBounded(data.szInfo, balloon.text);
  CopyBounded(data.szInfoTitle, balloon.title);
  data.uTimeout = balloon.timeoutMs;
  data.dwInfoFlags = static_cast<DWORD>(balloon.icon);
  if (Shell_NotifyIconA(NIM_MODIFY, &data)) balloonText_ = balloon.text;
}

void TrayIcon::NextFrame() {
  if (!cycling_ || !busyImages_) return;
  imageIndex_ = NextBusyFrame(imageIndex_);
  Notify(NIM_MODIFY, NIF_ICON);
}

void TrayIcon::TaskbarCreated() {
  // After a shell restart the icon is gone; a mere broadcast may find it there.
  shown_ = Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP) ||
           Notify(NIM_MODIFY, NIF_MESSAGE | NIF_ICON | NIF_TIP);
}

std::string TrayIcon::ImageText() const {
  std::string text = (busyImages_ ? "busy " : "status ") + std::to_string(imageIndex_);
  if (cycling_) text += " animating";
  return text;
}
