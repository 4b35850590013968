// The main window's control ids and fixed measures.
#pragma once

// Control ids of the main window.
enum MainControlId : int {
  kIdMenuButton = 201,
  kIdHelpButton,
  kIdTabs,
  kIdCountry,
  kIdStartWithWindows,
  kIdBrowsersGroup,
  kIdIE,
  kIdFirefox,
  kIdFirefoxModeGroup,
  kIdPluginMode,
  kIdRestartFirefox,
  kIdBypassLabel,
  kIdBypass,
  kIdAppName,
  kIdMaker,
  kIdWebsite,
  kIdContactUs,
  kIdSeeMyIP,
};

inline constexpr int kTitleAreaHeight = 40;
