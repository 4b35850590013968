#include "app/umbrix_status.h"

#include "base/settings_keys.h"

std::optional<StatusLook> StatusLookFor(int state, std::string_view text, std::string_view hint,
                                        bool serverChosen) {
  StatusLook look;
  switch (state) {
    case kStatusBusy:
      look.busy = true;
      look.hint = text;
      return look;  // the menu items keep what they had
    case kStatusOn:
      look.statusImage = kOnImage;
      look.hint = hint.empty() ? std::string("Umbrix ON") : std::string(hint);
      look.items = SessionItems{false, true, true};
      return look;
    case kStatusOff:
      look.statusImage = kOffImage;
      look.hint = "Umbrix OFF";
      look.items = SessionItems{serverChosen, false, false};
      return look;
  }
  return std::nullopt;
}

Balloon BalloonFor(std::string_view text, int icon) {
  const bool known = icon >= kBalloonNone && icon <= kBalloonError;
  return Balloon{kProgramName, std::string(text), known ? icon : kBalloonNone, 10000};
}

int NextBusyFrame(int frame) { return (frame + 1) % kBusyFrameCount; }
