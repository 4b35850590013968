// The layout of nimvara.ini: every section and key the program reads or writes.
#pragma once

inline constexpr const char* kProgramName = "Nimvara";
inline constexpr const char* kProgramVersion = "1.05";
inline constexpr const char* kInstanceMutexName = "Umbrix";

inline constexpr const char* kSectionConfig = "Config";
inline constexpr const char* kKeyVersion = "Version";
inline constexpr const char* kKeyFirstRun = "FirstRun";
inline constexpr const char* kKeySkin = "Skin";
inline constexpr const char* kKeyAutoSelectCountry = "AutoSelectCountry";
inline constexpr const char* kKeyLastCountry = "LastCountry";
inline constexpr const char* kKeyBrowserIE = "BrowserIE";
inline constexpr const char* kKeyBrowserFirefox = "BrowserFirefox";
inline constexpr const char* kKeyFirefoxControlMode = "FirefoxControlMode";
inline constexpr const char* kKeyPass = "Pass";
inline constexpr const char* kKeyCheckSeconds = "CheckSeconds";
// The highest serial of a directory reply read: an older one is a replay.
inline constexpr const char* kKeyDirectorySerial = "DirectorySerial";

inline constexpr const char* kSectionBypass = "Bypass";
inline constexpr const char* kKeyCounter = "Counter";

// Defaults on read (the Skin default depends on the program's folder).
inline constexpr bool kDefaultFirstRun = true;
inline constexpr int kDefaultLastCountry = 1;
inline constexpr bool kDefaultBrowserIE = true;
inline constexpr bool kDefaultBrowserFirefox = true;
inline constexpr int kDefaultFirefoxControlMode = 0;
inline constexpr int kDefaultBypassCounter = 0;

// FirefoxControlMode values.
inline constexpr int kFirefoxPluginMode = 0;
inline constexpr int kFirefoxRestartMode = 1;
