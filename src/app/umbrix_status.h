// What each status looks like: tray image, hint, balloon and the three session
// items of the tray menu. Decided here, applied by TfrmMain::SetUmbrixStatus.
#pragma once

#include <optional>
#include <string>
#include <string_view>

inline constexpr int kStatusBusy = 0;
inline constexpr int kStatusOn = 1;
inline constexpr int kStatusOff = 2;

// imlStatus image indexes.
inline constexpr int kOnImage = 0;
inline constexpr int kOffImage = 1;

inline constexpr int kBusyFrameCount = 7;
inline constexpr unsigned kBusyFrameMs = 300;

// Balloon icons, the shell's own numbering (NIIF_NONE .. NIIF_ERROR).
inline constexpr int kBalloonNone = 0;
inline constexpr int kBalloonInformation = 1;
inline constexpr int kBalloonWarning = 2;
inline constexpr int kBalloonError = 3;

struct SessionItems {
  bool umbrix = false;
  bool stopUmbrix = false;
  bool selectIP = false;
  bool operator==(const SessionItems&) const = default;
};

struct StatusLook {
  bool busy = false;      // animate the busy frames, from the first one
  int statusImage = 0;    // imlStatus image when not busy
  std::string hint;
  std::optional<SessionItems> items;  // empty: the menu stays as it is
};

// Empty for a state other than busy, on and off: such a status changes nothing.
// "&Umbrix" re-applies the current server, so the off status offers it only
// once a server has been chosen in this run.
std::optional<StatusLook> StatusLookFor(int state, std::string_view text, std::string_view hint,
                                        bool serverChosen);

// The session items before the first status.
inline constexpr SessionItems kSessionItemsAtStart{false, false, false};

struct Balloon {
  std::string title;
  std::string text;
  int icon = kBalloonNone;
  unsigned timeoutMs = 0;
};

// Every status shows one; an icon outside 0..3 shows none.
Balloon BalloonFor(std::string_view text, int icon);

// The frame after `frame` in the busy animation, wrapping to the first.
int NextBusyFrame(int frame);
