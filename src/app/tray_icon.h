// ctiControl: the notification-area icon of the main window with its two image
// lists (the busy animation and the on/off icons), the hint and the balloon.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <array>
#include <string>

#include "app/umbrix_status.h"
#include "host/unique_handle.h"

class TrayIcon {
 public:
  static constexpr UINT kIconId = 1;
  static constexpr UINT_PTR kAnimationTimer = 1;

  TrayIcon() = default;
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;
  ~TrayIcon() { Remove(); }

  // Draws the images; the icon starts as the first busy image, no animation.
  void Create(HWND owner, UINT callbackMessage);
  // Once the common controls are loaded: whether the shell's restart message
  // is one to listen for depends on their version.
  void ListenForShellRestart();
  // Adds the icon to the notification area; false when the shell refuses.
  bool Show();
  void Remove();

  void ShowBusy();                   // imlBusy from its first image, cycling
  void ShowStatusImage(int index);  // imlStatus, no cycling
  void SetHint(const std::string& hint);
  void ShowBalloon(const Balloon& balloon);
  void NextFrame();        // the animation timer ticked
  void TaskbarCreated();  // the shell came back: add the icon again as it was

  // 0 when the common controls are too old for the shell to announce itself.
  UINT TaskbarCreatedMessage() const { return taskbarCreated_; }
  const std::string& Hint() const { return hint_; }
  const std::string& BalloonText() const { return balloonText_; }
  std::string ImageText() const;
  bool Shown() const { return shown_; }

 private:
  NOTIFYICONDATAA Data(UINT flags) const;
  HICON CurrentIcon() const;
  bool Notify(DWORD action, UINT flags);
  void StopCycling();

  HWND owner_ = nullptr;
  UINT callbackMessage_ = 0;
  UINT taskbarCreated_ = 0;
  std::array<UniqueIcon, kBusyFrameCount> imlBusy_;
  std::array<UniqueIcon, 2> imlStatus_;
  bool busyImages_ = true;
  int imageIndex_ = 0;
  bool cycling_ = false;
  std::string hint_;
  std::string balloonText_;
  bool shown_ = false;
};
