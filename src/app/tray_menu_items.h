// The tray menu ppmMain: its items in order, their captions and command ids.
#pragma once

#include <array>

enum TrayCommand : int {
  kCmdUmbrix = 101,
  kCmdStopUmbrix,
  kCmdSelectIP,
  kCmdSeeMyIP,
  kCmdOptions,
  kCmdReport,
  kCmdHelp,
  kCmdAbout,
  kCmdExit,
};

struct TrayMenuItem {
  TrayCommand id;
  const char* name;
  const char* caption;
  bool enabledAtStart;
};

// No separators and no default item.
inline constexpr std::array<TrayMenuItem, 9> kTrayMenu{{
    {kCmdUmbrix, "Umbrix1", "&Umbrix", false},
    {kCmdStopUmbrix, "StopUmbrix1", "&Stop Umbrix", false},
    {kCmdSelectIP, "SelectIP1", "Select I&P", false},
    {kCmdSeeMyIP, "SeeMyIP1", "SEE my &IP...", true},
    {kCmdOptions, "Options1", "&Options...", true},
    {kCmdReport, "Report1", "&Report...", true},
    {kCmdHelp, "Help1", "Hel&p...", true},
    {kCmdAbout, "About1", "&About...", true},
    {kCmdExit, "Exit1", "&Exit", true},
}};
