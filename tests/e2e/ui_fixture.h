// A running Nimvara past its first start (no tour), with its main window found
// and a first status set; ended as at the end of a Windows session.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "e2e/nimvara_process.h"

struct RunningNimvara : ::testing::Test {
  void SetUp() override;
  void TearDown() override;
  // Settings text the program starts on, besides Version and FirstRun.
  virtual std::string InitialSettings() const { return {}; }
  // Whether the unblock dialog is answered with Close before the test begins;
  // otherwise it stays open, and the status busy, as a user left it.
  virtual bool CloseUnblock() const { return false; }

  NimvaraProcess nimvara;
  HWND main = nullptr;
};

inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string SettingsText();
// The Run value "Nimvara", or "(none)".
std::string RunValue();
