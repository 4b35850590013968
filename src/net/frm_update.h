// TfrmUpdate: downloads the new installer and starts it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "host/unique_handle.h"
#include "net/http_get.h"
#include "net/sha256.h"

// Shows the update dialog modally; only the installer whose SHA-256 is
// `installer` may run. True when the new installer has been started: the
// caller then ends the program with the browsers restored.
bool ShowUpdateDialog(HWND owner, const Sha256Digest& installer);

// What one chunk of a download shows: the progress bar and its percentage.
void ShowDownloadProgress(HWND bar, HWND caption, std::int32_t totalSize, std::int32_t readed);

class TfrmUpdate {
 public:
  // The installer at `url` goes to `fileName`; it runs only when its SHA-256 is `installer`.
  TfrmUpdate(std::string url, std::string fileName, const Sha256Digest& installer);
  TfrmUpdate(const TfrmUpdate&) = delete;
  TfrmUpdate& operator=(const TfrmUpdate&) = delete;

  // True when the downloaded installer passed its check and was started.
  bool ShowModal(HWND owner);

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  void FormShow();
  void HTTPGetFileProgress(THTTPGetThread* sender, std::int32_t totalSize, std::int32_t readed);
  void HTTPGetFileDoneFile(THTTPGet* sender, const std::string& fileName, std::int32_t fileSize);
  void HTTPGetFileError(THTTPGet* sender);
  void btnCancelClick();

  const std::string url_, fileName_;
  const Sha256Digest installer_;
  HWND hwnd_ = nullptr;
  HWND suiProgressBar1 = nullptr, lblPercent = nullptr, btnCancel = nullptr;
  UniqueGdiObject font_;
  std::unique_ptr<THTTPGet> HTTPGet;
  bool started_ = false;
};
