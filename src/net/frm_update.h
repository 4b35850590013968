// TfrmUpdate: downloads the new installer and starts it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "host/unique_handle.h"
#include "net/http_get.h"

// Shows the update dialog modally. True when the new installer has been
// started: the caller then ends the program with the browsers restored.
bool ShowUpdateDialog(HWND owner);

// What one chunk of a download shows: the progress bar and its percentage.
void ShowDownloadProgress(HWND bar, HWND caption, std::int32_t totalSize, std::int32_t readed);

class TfrmUpdate {
 public:
  // The installer at `url` goes to `fileName`.
  TfrmUpdate(std::string url, std::string fileName);
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
  HWND hwnd_ = nullptr;
  HWND suiProgressBar1 = nullptr, lblPercent = nullptr, btnCancel = nullptr;
  UniqueGdiObject font_;
  std::unique_ptr<THTTPGet> HTTPGet;
  bool started_ = false;
};
