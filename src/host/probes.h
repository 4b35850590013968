// The program's window onto the machine: version, folders, default browser, time
// zone, the Run key and the shell's way of opening web pages. Nothing is cached.
#pragma once

#include <string>

std::string GetOSName();
std::string GetDefaultBrowser();
std::string GetTimeZone();
std::string GetWindowsDir();
std::string GetSpecialFolder(int csidl);
// Ends with "\"; a name the ANSI calls can open (the short name where the code
// page cannot spell the folder's own). Empty when there is none; `refusal` then
// says why, naming the folder, unless the shell named no folder at all.
std::string GetAppDataDir(std::wstring* refusal = nullptr);
// True when the folder exists afterwards; creates one level only.
bool EnsureFolder(const std::string& folder);

bool IsAutoStart(const std::string& valueName);
// False when the Run key cannot be created (for the "Failed to create key %s" message).
bool SetAutoStart(bool enable, const std::string& valueName, const std::string& command);
inline constexpr const char* kRunKeyParent = "Software\\Microsoft\\Windows\\CurrentVersion";
inline constexpr const char* kRunSubKey = "Run";

void OpenURL(const std::string& url);

std::string GetExePath();
